#!/usr/bin/env bash
# `hostsim run` against the module simulator's command line: the bundled
# worksheet measured for two seconds, as a table and as CSV, with the values
# the simulated modules were given; and the exit codes of usage errors and
# of a run that cannot begin.
#   hostsim_run.sh HOSTSIM PLUGIN MODSIM WORKSHEET
set -euo pipefail
hostsim=$1 plugin=$2 modsim=$3 worksheet=$4

. "$(dirname "$0")/run_lib.sh"
run_setup "$hostsim" "$plugin"
start_modsim "$modsim" --module 1:6018 --module 2:6018 --module 3:6018 \
    --value 1:0=180.5 --value 1:1=175.25 --value 1:2=-12.75 \
    --value 2:0=95 --value 2:3=60.75 --wave 3:0:square:20:1.5:1000

# The table: each channel under its block and name, then its samples.
out=$("$work/hostsim" run "$worksheet" --seconds 2) || fail "run answered $?: $out"
echo "$out"
expect() { grep -qE -- "$1" <<<"$out" || fail "no line matching '$1'"; }
expect '^Oven / Oven top: 4 samples$'
expect '^Exhaust / Stack: 4 samples$'
expect '^Room / Ambient: 2 samples$'
expect '^ +0\.000 +180\.5000$'
expect '^ +1\.500 +175\.2500$'
expect '^ +0\.500 +-12\.7500$'
expect '^ +1\.000 +21\.5000$'
expect '^experiment: 3 blocks started, ran 2\.[0-9]+ s'
expect '^warnings: none$'
# 9 start queries and 22 readings: Oven 3 x 4, Exhaust 2 x 4, Room 1 x 2.
expect '^RS-232 monitor: 31 requests, 0 repeats, 0 errors$'

# CSV on stdout, the summary on stderr.
csv=$("$work/hostsim" run "$worksheet" --seconds 1 --csv 2>"$work/summary") || fail "csv run"
[ "$(head -1 <<<"$csv")" = "block,channel,time,value" ] || fail "csv header: $csv"
grep -qx 'Oven,Oven middle,0.500,175.2500' <<<"$csv" || fail "csv row: $csv"
grep -qx 'Exhaust,Flue gas,0.000,95.0000' <<<"$csv" || fail "csv row: $csv"
[ "$(grep -c . <<<"$csv")" -eq 12 ] || fail "csv rows: $csv"
grep -q '^warnings: none$' "$work/summary" || fail "summary: $(cat "$work/summary")"

# Usage errors answer 2; a plug-in that cannot be loaded and a worksheet
# that cannot be read answer 1.
code() { set +e; "$@" >/dev/null 2>&1; echo $?; set -e; }
[ "$(code "$work/hostsim" run "$worksheet")" = 2 ] || fail "no --seconds"
[ "$(code "$work/hostsim" run "$worksheet" --seconds x)" = 2 ] || fail "bad --seconds"
[ "$(code "$work/hostsim" run "$worksheet" --seconds 1 --block-size 70000)" = 2 ] || fail "size"
[ "$(code "$work/hostsim" run "$worksheet" --seconds 1 --plugin "$work/none.so")" = 1 ] ||
    fail "missing plug-in"
[ "$(code "$work/hostsim" run "$work/none.wks" --seconds 1)" = 1 ] || fail "missing worksheet"
echo PASS
