#!/usr/bin/env bash
# Every dialog of the plug-in in one Wine run: hostsim.exe walks the dialogs
# of Telvio.dll and of its copies under the names of the other families (so
# every family's types and every function of the types that share a module)
# once (`hostsim dialogs ... --fit`), and three checks read what it printed.
#   dialogs.sh walk  WINE_SH PREFIX LINUX_HOSTSIM LINUX_PLUGIN WIN32_BIN OUT
#       runs the walk in both builds, each from a folder of its own with the
#       same driver INI file; OUT keeps linux.txt, win32.txt, fit.txt (the
#       Windows report) and linux-report.txt
#   dialogs.sh match OUT    the Windows listing is the Linux one, byte for byte
#   dialogs.sh fit OUT      every text fits its control under Wine, and no label
#                           is broken over lines although one would hold it
#   dialogs.sh layout OUT   no control overlaps another or leaves its dialog or
#                           group box, in either build
set -euo pipefail
mode=$1
shift
fail() { echo "FAIL: $*" >&2; exit 1; }

case $mode in
  walk)
    wine_sh=$1 prefix=$2 linux_host=$3 linux_plugin=$4 win_bin=$5 out=$6
    [ -f "$win_bin/hostsim.exe" ] && [ -f "$win_bin/Telvio.dll" ] ||
      fail "missing the win32 build in $win_bin"
    rm -rf "$out"
    mkdir -p "$out"
    work=$(mktemp -d "${TMPDIR:-/tmp}/telvio-dialogs-XXXXXX")
    trap 'rm -rf "$work"' EXIT
    mkdir "$work/linux" "$work/win32"
    cp "$linux_host" "$work/linux/"
    cp "$win_bin/hostsim.exe" "$work/win32/"
    # The plug-in under the name of each family: TELV, the default family,
    # XX01, XX03 to XX06.
    families="Telvio Ndxx Xx01 Xx03 Xx04 Xx05 Xx06"
    linux_plugins=() win_plugins=()
    for f in $families; do
      cp "$linux_plugin" "$work/linux/$f.so"
      cp "$win_bin/Telvio.dll" "$work/win32/$f.dll"
      linux_plugins+=("$work/linux/$f.so")
      win_plugins+=("$("$wine_sh" "$prefix" path "$work/win32/$f.dll")")
    done
    # Two configured ports, so the port boxes and the port list have entries.
    for d in linux win32; do
      printf '[Com Ports]\r\nNumComPorts=2\r\nComPort#0=1,3,8,1,0,1\r\nComPort#1=2,5,8,1,0,2\r\n' \
        >"$work/$d/XX02.ini"
    done
    set +e
    "$work/linux/$(basename "$linux_host")" dialogs "${linux_plugins[@]}" \
      >"$out/linux.txt" 2>"$out/linux-report.txt"
    echo $? >"$out/linux.rc"
    exe=$("$wine_sh" "$prefix" path "$work/win32/hostsim.exe")
    "$wine_sh" "$prefix" run "$exe" dialogs "${win_plugins[@]}" --fit >"$out/win32.raw" \
      2>"$out/fit.raw"
    echo $? >"$out/win32.rc"
    set -e
    tr -d '\r' <"$out/win32.raw" >"$out/win32.txt"
    tr -d '\r' <"$out/fit.raw" >"$out/fit.txt"
    echo "Linux: answer $(cat "$out/linux.rc"), $(wc -l <"$out/linux.txt") lines"
    echo "Windows: answer $(cat "$out/win32.rc"), $(wc -l <"$out/win32.txt") lines"
    tail -1 "$out/fit.txt" || true
    # The checks judge; the walk fails only when a build printed nothing.
    [ -s "$out/linux.txt" ] || fail "the Linux walk printed nothing"
    [ -s "$out/win32.txt" ] || fail "the Windows walk printed nothing: $(cat "$out/fit.txt")"
    ;;
  match)
    out=$1
    [ -s "$out/win32.txt" ] || fail "no Windows walk in $out"
    grep '^== ' "$out/linux.txt" | grep -v 'skipped, not built' || true
    if ! cmp -s "$out/linux.txt" "$out/win32.txt"; then
      diff "$out/linux.txt" "$out/win32.txt" || true
      fail "the dialogs differ between the builds"
    fi
    [ "$(cat "$out/linux.rc")" = 0 ] || fail "the Linux walk answered $(cat "$out/linux.rc")"
    [ "$(grep -c '^== walked .* 0 not shown$' "$out/linux.txt")" = 7 ] ||
      fail "a dialog did not show, or a family was not walked"
    echo "identical: $(wc -l <"$out/win32.txt") lines, $(grep -c '^dialog ' "$out/win32.txt") dialogs"
    ;;
  fit)
    out=$1
    [ -s "$out/fit.txt" ] || fail "no text-fit report in $out"
    cat "$out/fit.txt"
    if grep -q '^text clipped' "$out/fit.txt"; then
      fail "$(grep -c '^text clipped' "$out/fit.txt") texts do not fit their controls"
    fi
    if grep -q '^text broken' "$out/fit.txt"; then
      fail "$(grep -c '^text broken' "$out/fit.txt") labels are broken over lines that one would hold"
    fi
    # The measure found the faults of the host's own probe, so it can see them.
    grep -q '^text fit probe: the measure finds a clipped and a broken label$' "$out/fit.txt" ||
      fail "the measure does not find the probe's clipped and broken labels"
    grep -Eq '^text fit: [1-9][0-9]* dialogs and templates, [1-9][0-9]* texts, 0 clipped, 0 broken$' \
      "$out/fit.txt" || fail "the texts were not measured"
    ;;
  layout)
    out=$1
    for report in linux-report.txt fit.txt; do
      [ -s "$out/$report" ] || fail "no layout report $report in $out"
      grep -a '^layout' "$out/$report"
      grep -aq '^layout total: [1-9][0-9]* dialogs, 0 faults$' "$out/$report" ||
        fail "$(grep -ac '^layout fault' "$out/$report") layout faults in $report"
    done
    ;;
  *)
    echo "usage: dialogs.sh walk|match|fit|layout ..." >&2
    exit 2
    ;;
esac
