#!/usr/bin/env bash
# The real DLL measures under Wine: the Windows hostsim.exe runs the bundled
# worksheet with Telvio.dll, COM1 of the Wine prefix mapped to a pseudo-terminal
# of the module simulator, and every delivered value must be the one the
# simulated modules were told to answer.
# The simulator serves every module the worksheet names, as the Linux
# hostsim reads them from it (`hostsim modules`).
#   measure.sh WINE_SH PREFIX MODSIM WIN32_BIN WORKSHEET LINUX_HOSTSIM
set -euo pipefail
wine_sh=$1 prefix=$2 modsim=$3 win_bin=$4 worksheet=$5 linux_host=$6
[ -f "$win_bin/hostsim.exe" ] && [ -f "$win_bin/Telvio.dll" ] || {
  echo "missing the win32 build in $win_bin"; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/telvio-wine-XXXXXX")
com1=$prefix/dosdevices/com1
saved=
pid=
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
  rm -f "$com1"
  if [ -n "$saved" ]; then ln -s "$saved" "$com1"; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir "$work/win32"
cp "$win_bin/hostsim.exe" "$win_bin/Telvio.dll" "$worksheet" "$work/win32/"
# COM1 at 9600 baud (index 3), 8 data bits, 1 stop bit, no parity.
printf '[Com Ports]\r\nNumComPorts=1\r\nComPort#0=1,3,8,1,0,1\r\n' >"$work/win32/XX02.ini"

modules=$("$linux_host" modules "$worksheet" --port 1) || fail "the worksheet's modules"
# shellcheck disable=SC2086 # the words of $modules are modsim's arguments
"$modsim" --link "$work/com1" --quiet $modules \
  --value 1:0=180.5 --value 1:1=175.25 --value 1:2=-12.75 \
  --value 2:0=95 --value 2:3=60.75 --value 3:0=21.5 \
  --value 11:0=4.75 --value 11:1=3.25 --value 12:0=37.5 --value 13:0=21.25 \
  --value 13:2=22.75 --value 14:0=60.5 --value 14:1=61.5 --value 14:2=62.5 \
  --value 15:0=2.5 --value 15:1=812.5 --value 15:3=12 --value 16:0=4.5 \
  --value 16:1=-1.25 >"$work/modsim.log" 2>&1 &
pid=$!
for _ in $(seq 100); do [ -L "$work/com1" ] && break; sleep 0.05; done
[ -L "$work/com1" ] || fail "modsim did not come up: $(cat "$work/modsim.log")"

# The prefix's COM1 is a link to a device; point it at the simulator.
mkdir -p "$prefix/dosdevices"
if [ -L "$com1" ]; then saved=$(readlink "$com1"); fi
rm -f "$com1"
ln -s "$work/com1" "$com1"

exe=$("$wine_sh" "$prefix" path "$work/win32/hostsim.exe")
wks=$("$wine_sh" "$prefix" path "$work/win32/$(basename "$worksheet")")
set +e
"$wine_sh" "$prefix" run "$exe" run "$wks" --seconds 3 --csv >"$work/out.csv" 2>"$work/summary"
rc=$?
set -e
tr -d '\r' <"$work/out.csv" >"$work/values.csv"
tr -d '\r' <"$work/summary" >"$work/summary.txt"
cat "$work/summary.txt"
[ $rc -eq 0 ] || fail "hostsim.exe answered $rc"
grep -q '^warnings: none$' "$work/summary.txt" || fail "the plug-in warned"
grep -q '^message boxes: none$' "$work/summary.txt" || fail "the plug-in showed a message box"
grep -q '^experiment: 10 blocks started' "$work/summary.txt" || fail "not every block started"

[ "$(head -1 "$work/values.csv")" = "block,channel,time,value" ] ||
  fail "header: $(head -1 "$work/values.csv")"
# Every sample is the value its module was told, and every channel delivered
# a sample for each due time from 0 s on.
awk -F, '
  BEGIN {
    want["Oven,Oven top"] = 180.5;  want["Oven,Oven middle"] = 175.25
    want["Oven,Oven bottom"] = -12.75
    want["Exhaust,Flue gas"] = 95;  want["Exhaust,Stack"] = 60.75
    want["Room,Ambient"] = 21.5
    want["Supply,Rail 5V"] = 4.75;  want["Supply,Rail 3V3"] = 3.25
    want["Bath,Bath"] = 37.5
    want["Rack,Rack top"] = 21.25;  want["Rack,Rack bottom"] = 22.75
    want["Line,Inlet"] = 60.5;  want["Line,Middle"] = 61.5;  want["Line,Outlet"] = 62.5
    want["Mixed,Pressure"] = 2.5;  want["Mixed,Burner"] = 812.5;  want["Mixed,Flow"] = 12
    want["Cold room,Air"] = 4.5;  want["Cold room,Door"] = -1.25
    want["Cold alarms,Alarm 0"] = 0;  want["Cold alarms,Alarm 1"] = 0
  }
  NR == 1 { next }
  {
    key = $1 "," $2
    if (!(key in want)) { printf "unexpected channel %s\n", key; bad = 1; next }
    if ($4 + 0 != want[key]) { printf "%s at %s s: %s, told %s\n", key, $3, $4, want[key]; bad = 1 }
    if (n[key] == 0 && $3 + 0 != 0) { printf "%s begins at %s s\n", key, $3; bad = 1 }
    n[key]++
  }
  END {
    for (k in want) {
      if (n[k] < 2) { printf "%s: %d samples\n", k, n[k]; bad = 1 }
      else printf "%s: %d samples of %s\n", k, n[k], want[k]
    }
    exit bad
  }' "$work/values.csv" || fail "the delivered values differ"
echo PASS
