#!/usr/bin/env bash
# Every example worksheet measures against the modules `hostsim modules`
# reads from it, as the scripts serve them: each block starts, nothing is
# warned and no message box comes up. And what `hostsim modules` refuses: a
# block on another port than the one asked, and bad usage.
#   worksheet_modules.sh HOSTSIM PLUGIN MODSIM EXAMPLES
set -euo pipefail
hostsim=$1 plugin=$2 modsim=$3 examples=$4

. "$(dirname "$0")/run_lib.sh"
run_setup "$hostsim" "$plugin"
trap 'echo "FAIL: line $LINENO answered $?" >&2' ERR
# The types only the default family registers come with a copy of the
# plug-in of such a name.
cp "$plugin" "$work/Ndxx.so"

# worksheet, plug-in
cases="thermocouples.wks Telvio.so
analogin.wks Telvio.so
alarm.wks Telvio.so
analogout.wks Telvio.so
digital.wks Telvio.so
multi.wks Telvio.so
digital-default.wks Ndxx.so
analogout-default.wks Ndxx.so
multi-6058.wks Ndxx.so"
while read -r worksheet lib; do
    blocks=$(grep -c '^block$' "$examples/$worksheet")
    modules=$("$work/hostsim" modules "$examples/$worksheet" --plugin "$work/$lib" --port 1) ||
        fail "$worksheet: hostsim modules answered $?"
    echo "$worksheet: $modules"
    # shellcheck disable=SC2086 # the words of $modules are modsim's arguments
    start_modsim "$modsim" $modules
    out=$("$work/hostsim" run "$examples/$worksheet" --plugin "$work/$lib" --seconds 1 2>&1) ||
        fail "$worksheet: run answered $?: $out"
    grep -q "^experiment: $blocks blocks started" <<<"$out" || fail "$worksheet: $out"
    grep -q '^warnings: none$' <<<"$out" || fail "$worksheet: $out"
    grep -q '^message boxes: none$' <<<"$out" || fail "$worksheet: $out"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=
done <<<"$cases"

# One line per module without --port: port, address:model and its blocks;
# a hardware module split among blocks once, under the block that talks to it.
list=$("$work/hostsim" modules "$examples/multi.wks" --plugin "$work/Telvio.so")
[ "$list" = "COM1 1:6014 Bridge
COM1 2:6016 Scale" ] || fail "multi.wks: $list"
# The output type that drives a module per input names each one.
list=$("$work/hostsim" modules "$examples/analogout.wks" --plugin "$work/Telvio.so")
grep -qx 'COM1 21:7021 Heaters' <<<"$list" && grep -qx 'COM1 22:7021 Heaters' <<<"$list" ||
    fail "analogout.wks: $list"

# A block on COM2 fails --port 1, naming the block; the list shows it.
sed '0,/field Port_Number int = 1/s//field Port_Number int = 2/' "$examples/alarm.wks" \
    >"$work/two-ports.wks"
set +e
err=$("$work/hostsim" modules "$work/two-ports.wks" --port 1 2>&1 >/dev/null)
code=$?
set -e
[ "$code" = 1 ] || fail "a block on COM2 answered $code"
grep -q 'block "Tank" is on COM2, not on COM1' <<<"$err" || fail "the refusal: $err"
list=$("$work/hostsim" modules "$work/two-ports.wks")
grep -qx 'COM2 1:6011 Tank' <<<"$list" || fail "COM2 line: $list"

# --help goes to standard output and answers 0; a wrong option is named.
help=$("$work/hostsim" --help 2>/dev/null) || fail "hostsim --help answered $?"
grep -q '^usage: hostsim report' <<<"$help" || fail "hostsim --help: $help"
help=$("$modsim" --help 2>/dev/null) || fail "modsim --help answered $?"
grep -q '^fault kinds: silence late' <<<"$help" || fail "modsim --help: $help"
set +e
err=$("$work/hostsim" modules "$examples/alarm.wks" --bogus 2>&1 >/dev/null)
code=$?
set -e
[ "$code" = 2 ] && grep -q '"--bogus"' <<<"$err" || fail "unknown option: $code $err"
echo PASS
