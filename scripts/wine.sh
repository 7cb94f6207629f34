#!/usr/bin/env bash
# Runs the Windows build under Wine, in a throwaway prefix of the build.
#   wine.sh PREFIX init              make the prefix, start its display and wineserver
#   wine.sh PREFIX up                the same, keeping a prefix made before
#   wine.sh PREFIX run PROGRAM ARGS  run a program in it
#   wine.sh PREFIX live OUT PROGRAM ARGS
#                                    run a program with its output going to the
#                                    file OUT (and OUT.err) as it prints
#   wine.sh PREFIX stop              stop the wineserver and the display
#   wine.sh PREFIX path UNIXPATH     the Windows form of a path
# Starting Wine is slow where 32-bit code is emulated, so the display, the
# wineserver and Wine's own services stay up from init to stop.
set -euo pipefail
prefix=$1
cmd=$2
shift 2
export WINEPREFIX=$prefix WINEDEBUG=-all WINEARCH=win32
# No Mono or Gecko installers: the checks need neither, and they would wait.
export WINEDLLOVERRIDES="mscoree=d;mshtml=d"
state=$prefix.state

stop() {
  if [ -d "$prefix" ]; then wineserver -k 2>/dev/null || true; fi
  if [ -f "$state/xvfb.pid" ]; then kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true; fi
  rm -rf "$state"
}

made() { [ -f "$prefix/system.reg" ] && [ -d "$prefix/drive_c/windows/system32" ]; }

# The font that draws the caption buttons (the close box's cross is the
# letter "r" of Marlett): Wine's own copy, from the Debian package
# fonts-wine, which this Wine does not find in its data folder by itself.
caption_font() {
  local font=/usr/share/wine/fonts/marlett.ttf fonts=$prefix/drive_c/windows/Fonts
  if [ -f "$font" ] && [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ]; then
    cp "$font" "$fonts/"
  fi
}

start_display() {
  mkdir -p "$state"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$state/display" >/dev/null 2>&1 &
  echo $! >"$state/xvfb.pid"
  for _ in $(seq 100); do [ -s "$state/display" ] && break; sleep 0.1; done
  export DISPLAY=:$(cat "$state/display")
}

case $cmd in
  up)
    if made; then
      caption_font
      if [ ! -s "$state/display" ]; then
        start_display
        wineserver -p </dev/null >/dev/null 2>&1
      fi
      exit 0
    fi
    exec "$0" "$prefix" init
    ;;
  init)
    stop
    rm -rf "$prefix"
    start_display
    mkdir -p "$prefix"
    wineserver -p </dev/null >/dev/null 2>&1
    # Emulated, a helper process of wineboot may crash on the way; what counts
    # is a prefix that runs programs, which the checks themselves show.
    # wineboot may also return before the wineserver has written the prefix
    # out, so wait for it a while.
    wine wineboot -i >/dev/null 2>&1 </dev/null || true
    for _ in $(seq 600); do
      made && break
      sleep 1
    done
    made || { echo "wineboot made no prefix in $prefix" >&2; exit 1; }
    caption_font
    ;;
  run)
    # Output through a file: Wine's own services may inherit the program's
    # standard output and keep a pipe open long after the program ended.
    export DISPLAY=:$(cat "$state/display")
    out=$(mktemp)
    err=$(mktemp)
    rc=0
    wine "$@" >"$out" 2>"$err" </dev/null || rc=$?
    if [ $rc -ne 0 ] && [ ! -s "$out" ]; then
      # Nothing printed at all: Wine itself failed to start the program
      # (emulated, it now and then does); try once more.
      rc=0
      wine "$@" >"$out" 2>"$err" </dev/null || rc=$?
    fi
    cat "$out"
    cat "$err" >&2
    rm -f "$out" "$err"
    exit $rc
    ;;
  live)
    out=$1
    shift
    export DISPLAY=:$(cat "$state/display")
    exec wine "$@" >"$out" 2>"$out.err" </dev/null
    ;;
  stop)
    stop
    ;;
  path)
    p=$(readlink -f "$1")
    echo "Z:${p//\//\\}"
    ;;
  *)
    echo "usage: wine.sh PREFIX init|up|run|live|stop|path ..." >&2
    exit 2
    ;;
esac
