#!/usr/bin/env bash
# `hostsim run` of the bundled worksheet of the types with alarm outputs and
# counters against the module simulator's command line: every channel of
# every block measured with the values the simulated modules were given.
#   alarm_run.sh HOSTSIM PLUGIN MODSIM WORKSHEET
set -euo pipefail
hostsim=$1 plugin=$2 modsim=$3 worksheet=$4

. "$(dirname "$0")/../experiment/run_lib.sh"
run_setup "$hostsim" "$plugin"
start_modsim "$modsim" --module 1:6011 --module 2:7011 --module 3:6012 --module 4:6080 \
    --value 1:0=2.25 --value 2:0=650.5 --value 3:0=9.75 --value 4:0=1500 --value 4:1=3000

out=$("$work/hostsim" run "$worksheet" --seconds 2 --table) || fail "run answered $?: $out"
echo "$out"
expect() { grep -qE -- "$1" <<<"$out" || fail "no line matching '$1'"; }
for channel in "Tank / Tank level" "Tank / Level low" "Tank / Level high" "Tank / Lid closed" \
    "Tank / Fill events" "Furnace / Furnace" "Supply / Supply" "Supply / Cycles" \
    "Flow / Inlet" "Flow / Outlet" "Flow / Valve A" "Flow / Valve B"; do
    expect "^$channel: 4 samples$"
done
expect '^ +1\.500 +2\.2500$'
expect '^ +0\.000 +650\.5000$'
expect '^ +1\.000 +9\.7500$'
expect '^ +0\.500 +1500\.0000$'
expect '^ +1\.500 +3000\.0000$'
expect '^experiment: 4 blocks started, ran 2\.[0-9]+ s'
expect '^warnings: none$'
expect '^RS-232 monitor: [0-9]+ requests, 0 repeats, 0 errors$'

# The tank's level is above its high limit: the module drives the high alarm.
csv=$("$work/hostsim" run "$worksheet" --seconds 1 --csv 2>"$work/summary") || fail "csv run"
grep -qx 'Tank,Level high,0.500,5.0000' <<<"$csv" || fail "high alarm: $csv"
grep -qx 'Tank,Level low,0.000,0.0000' <<<"$csv" || fail "low alarm: $csv"
grep -q '^warnings: none$' "$work/summary" || fail "summary: $(cat "$work/summary")"
echo PASS
