#!/usr/bin/env bash
# The dialog walk of the Linux build over every family: the plug-in under the
# file name of each family, all walked by one hostsim run; every dialog shows
# and no control overlaps another or leaves its dialog or group box.
#   every_family.sh HOSTSIM PLUGIN
set -euo pipefail
hostsim=$1 plugin=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/telvio-families-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
cp "$hostsim" "$work/"
printf '[Com Ports]\nNumComPorts=2\nComPort#0=1,3,8,1,0,1\nComPort#1=2,5,8,1,0,2\n' >"$work/XX02.ini"
plugins=()
for name in Telvio Ndxx Xx01 Xx03 Xx04 Xx05 Xx06; do
    cp "$plugin" "$work/$name.so"
    plugins+=("$work/$name.so")
done
set +e
"$work/hostsim" dialogs "${plugins[@]}" >"$work/walk.txt" 2>"$work/report.txt"
code=$?
set -e
grep -a '^layout' "$work/report.txt" || true
grep -a '^== walked' "$work/walk.txt" || true
[ "$code" = 0 ] || fail "the walk answered $code"
[ "$(grep -ac '^== walked .* 0 not shown$' "$work/walk.txt")" = 7 ] || fail "a dialog did not show"
grep -aq '^layout total: [1-9][0-9]* dialogs, 0 faults$' "$work/report.txt" || fail "layout faults"
# The second and third function of the types that share a module by
# function have their setup dialogs in the walk too.
[ "$(grep -ac '^dialog "ZEMX-7014"$' "$work/walk.txt")" = 3 ] || fail "ND6014's functions"
echo PASS
