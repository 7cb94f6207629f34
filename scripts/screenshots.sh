#!/usr/bin/env bash
# Pictures of the plug-in's dialogs as Windows draws them: the Windows build
# of the stand-in host runs under Wine on a virtual display (Xvfb), holds each
# dialog open (`hostsim dialogs --hold`, `hostsim run --hold` for the RS-232
# monitor with the traffic of a short measurement against simulated
# modules), and ImageMagick's `import` takes each dialog from the screen.
#
# Every picture goes to build/screenshots/KEY.png (those of the second walk
# to build/screenshots/groups/), in full colour; the ones the README shows
# are copied to docs/ when they changed: the setup dialog of an ND6018 block, its measurement settings, the
# serial-port dialog and the RS-232 monitor, and one setup dialog of each
# group of types: analog input (ND6017), analog output (ND6024), digital
# input and output (ND6050I, ND6050O), the multi-block types (ND6014's
# creation dialog and its setup dialog) and the counter (ND6080).
#
# The Wine prefix build/screenshots/wineprefix is made on the first run
# (several minutes where 32-bit code is emulated) and kept for the next; its
# display and wineserver stop when the script ends.
#   screenshots.sh [--hold SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."

hold=8
while [ $# -gt 0 ]; do
  case $1 in
    --hold) hold=$2; shift ;;
    *) echo "usage: screenshots.sh [--hold SECONDS]" >&2; exit 2 ;;
  esac
  shift
done

command -v import >/dev/null || { echo "screenshots: ImageMagick's import is missing (scripts/install-deps.sh screenshots)" >&2; exit 1; }
linux=build/linux/bin
win=build/win32/bin
for f in "$linux/modsim" "$linux/hostsim" "$linux/Telvio.so" "$win/hostsim.exe" "$win/Telvio.dll"; do
  [ -e "$f" ] || { echo "screenshots: $f is missing; build both presets first" >&2; exit 1; }
done

out=build/screenshots
prefix=$PWD/$out/wineprefix
wine_sh=scripts/wine.sh
mkdir -p "$out"
echo "Wine prefix $prefix (made once, several minutes where 32-bit code is emulated)"
"$wine_sh" "$prefix" up
export DISPLAY=:$(cat "$prefix.state/display")
# No window manager runs on the virtual display: Wine draws the captions and
# frames itself (set once per prefix).
if ! grep -q '"Decorated"="N"' "$prefix/user.reg" 2>/dev/null; then
  "$wine_sh" "$prefix" run reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/telvio-screenshots-XXXXXX")
com1=$prefix/dosdevices/com1
saved=
modsim_pid=
host_pid=
cleanup() {
  for p in $host_pid $modsim_pid; do kill "$p" 2>/dev/null || true; wait "$p" 2>/dev/null || true; done
  rm -f "$com1"
  if [ -n "$saved" ]; then ln -s "$saved" "$com1"; fi
  rm -rf "$work"
  "$wine_sh" "$prefix" stop
}
trap cleanup EXIT

cp "$win/hostsim.exe" "$win/Telvio.dll" examples/thermocouples.wks "$work/"
printf '[Com Ports]\r\nNumComPorts=2\r\nComPort#0=1,3,8,1,0,1\r\nComPort#1=2,5,8,1,0,2\r\n' >"$work/XX02.ini"

# Takes a picture of each dialog the host holds, as it reports it: a line
# "hold: KEY LEFT TOP WIDTH HEIGHT", into the folder given (default $out).
# The dialog is given a moment to draw.
shoot() {
  local log=$1 dir=${2:-$out} seen=0
  while kill -0 "$host_pid" 2>/dev/null || [ "$(grep -c '^hold: ' "$log" 2>/dev/null)" -gt "$seen" ]; do
    local n
    n=$(grep -c '^hold: ' "$log" 2>/dev/null || true)
    if [ "${n:-0}" -gt "$seen" ]; then
      seen=$((seen + 1))
      read -r _ key x y w h < <(grep '^hold: ' "$log" | sed -n "${seen}p" | tr -d '\r')
      sleep 2
      # Every colour as Wine drew it; no time stamps in the file, so the same
      # pixels give the same bytes.
      import -window root -crop "${w}x${h}+${x}+${y}" +repage -strip \
        -define png:compression-level=9 -define png:exclude-chunks=date,time "$dir/$key.png"
      echo "  $dir/$key.png (${w} x ${h})"
    else
      sleep 0.5
    fi
  done
}

exe=$("$wine_sh" "$prefix" path "$work/hostsim.exe")
dll=$("$wine_sh" "$prefix" path "$work/Telvio.dll")
echo "Dialogs of the ND6018 block type, the measurement settings, the serial ports"
"$wine_sh" "$prefix" live "$work/dialogs.log" "$exe" dialogs "$dll" --only 2955 --hold "$hold" &
host_pid=$!
shoot "$work/dialogs.log"
wait "$host_pid" || { cat "$work/dialogs.log.err" >&2; exit 1; }
host_pid=

echo "One setup dialog of each group of types"
mkdir -p "$out/groups"
"$wine_sh" "$prefix" live "$work/groups.log" "$exe" dialogs "$dll" --only 2954 --only 2968 \
  --only 2958 --only 2959 --only 2989 --only 2965 --hold "$hold" &
host_pid=$!
shoot "$work/groups.log" "$out/groups"
wait "$host_pid" || { cat "$work/groups.log.err" >&2; exit 1; }
host_pid=

echo "The RS-232 monitor after a measurement of simulated modules on COM1"
# Every module the worksheet names, as its blocks' fields give them.
modules=$("$linux/hostsim" modules examples/thermocouples.wks --port 1)
# shellcheck disable=SC2086 # the words of $modules are modsim's arguments
"$linux/modsim" --link "$work/com1" --quiet $modules --module 3:6018:cs \
  --wave 1:0:sine:180:6:20 --wave 1:1:ramp:172:4:10 --wave 1:2:sine:160:10:40 \
  --wave 2:0:square:95:8:16 --wave 2:3:sine:60:3:12 --wave 3:0:ramp:21.5:0.8:30 \
  >"$work/modsim.log" 2>&1 &
modsim_pid=$!
for _ in $(seq 100); do [ -L "$work/com1" ] && break; sleep 0.05; done
[ -L "$work/com1" ] || { echo "screenshots: modsim did not come up" >&2; exit 1; }
mkdir -p "$prefix/dosdevices"
if [ -L "$com1" ]; then saved=$(readlink "$com1"); fi
rm -f "$com1"
ln -s "$work/com1" "$com1"
wks=$("$wine_sh" "$prefix" path "$work/thermocouples.wks")
"$wine_sh" "$prefix" live "$work/run.log" "$exe" run "$wks" --seconds 3 --hold "$hold" &
host_pid=$!
shoot "$work/run.log"
wait "$host_pid" || { cat "$work/run.log" "$work/run.log.err" >&2; exit 1; }
tr -d '\r' <"$work/run.log" | grep -E '^(experiment|message boxes|warnings|RS-232 monitor)' || true
host_pid=

# A picture goes to docs/ only when it shows something else than the one
# there: another size, or another pixel outside the part that varies from run
# to run (the monitor's rows: the times and values of a measurement in real
# time, as the host's "varies:" line gives it).
publish() {
  local picture=$1 target=$2 varies=${3:-} old=$work/old.png new=$work/new.png
  if [ -f "$target" ] && [ "$(identify -format '%wx%h' "$target")" = "$(identify -format '%wx%h' "$picture")" ]; then
    cp "$target" "$old"
    cp "$picture" "$new"
    if [ -n "$varies" ]; then
      read -r x y w h <<<"$varies"
      for f in "$old" "$new"; do
        convert "$f" -fill black -draw "rectangle $x,$y $((x + w - 1)),$((y + h - 1))" "$f"
      done
    fi
    if compare -metric AE "$old" "$new" null: 2>/dev/null; then
      echo "$target: unchanged"
      return
    fi
  fi
  cp "$picture" "$target"
  echo "$target: new picture"
}

mkdir -p docs
for key in setup-2955 measurement serial-ports rs232-monitor; do
  [ -s "$out/$key.png" ] || { echo "screenshots: no picture of $key" >&2; exit 1; }
done
varies=$(tr -d '\r' <"$work/run.log" | sed -n 's/^varies: rs232-monitor //p' | tail -1)
[ -n "$varies" ] || { echo "screenshots: the host did not say where the monitor's rows are" >&2; exit 1; }
publish "$out/setup-2955.png" docs/dialog-nd6018.png
publish "$out/measurement.png" docs/dialog-measurement.png
publish "$out/serial-ports.png" docs/dialog-serial-ports.png
publish "$out/rs232-monitor.png" docs/dialog-rs232-monitor.png "$varies"
# key in build/screenshots/groups, picture in docs
for pair in setup-2954:nd6017 setup-2968:nd6024 setup-2958:nd6050i setup-2959:nd6050o \
  creation-2989:nd6014-creation setup-2989:nd6014 setup-2965:nd6080; do
  key=${pair%%:*} name=${pair#*:}
  [ -s "$out/groups/$key.png" ] || { echo "screenshots: no picture of $key" >&2; exit 1; }
  publish "$out/groups/$key.png" "docs/dialog-$name.png"
done
