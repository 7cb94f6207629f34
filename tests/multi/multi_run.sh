#!/usr/bin/env bash
# `hostsim run` of the bundled worksheets of the multi-block types against
# the module simulator's command line: every channel of every block measured
# with the values the simulated modules were given; ND6058 under a plug-in
# name of the default family.
#   multi_run.sh HOSTSIM PLUGIN MODSIM WORKSHEET WORKSHEET_6058
set -euo pipefail
hostsim=$1 plugin=$2 modsim=$3 worksheet=$4 worksheet6058=$5

. "$(dirname "$0")/../experiment/run_lib.sh"
run_setup "$hostsim" "$plugin"
cp "$plugin" "$work/Plug.so"
# A fresh simulator for each run: a reply still on its way when a run stops
# is not left for the next one to read.
modules() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
    start_modsim "$modsim" --module 1:6014 --module 2:6016 --module 3:6058 \
        --value 1:0=1.25 --value 2:0=0.5 --value 2:1=-0.25
}

check() {
    local out=$1
    shift
    grep -q '^warnings: none$' <<<"$out" || fail "warnings: $out"
    grep -qE '^RS-232 monitor: [0-9]+ requests, 0 repeats, 0 errors$' <<<"$out" || fail "monitor: $out"
    for channel in "$@"; do
        grep -q "^$channel: 4 samples," <<<"$out" || fail "no 4 samples of $channel: $out"
    done
}

modules
out=$("$work/hostsim" run "$worksheet" --seconds 2) || fail "run answered $?: $out"
echo "$out"
check "$out" "Bridge / Pressure" "Door / Door closed" "Door / Strokes" \
    "Scale / Load A" "Scale / Load B" "Gate / Gate open" "Gate / Cycles"
grep -q '^experiment: 6 blocks started' <<<"$out" || fail "started: $out"
modules
csv=$("$work/hostsim" run "$worksheet" --seconds 1 --csv 2>"$work/summary") || fail "csv run"
grep -qx 'Bridge,Pressure,0.500,1.2500' <<<"$csv" || fail "pressure: $csv"
grep -qx 'Scale,Load A,0.500,0.5000' <<<"$csv" || fail "load A: $csv"
grep -qx 'Scale,Load B,0.500,-0.2500' <<<"$csv" || fail "load B: $csv"

modules
out=$("$work/hostsim" run "$worksheet6058" --seconds 2 --plugin "$work/Plug.so") ||
    fail "run answered $?: $out"
echo "$out"
check "$out" "Panel / Switch A0" "Panel / Switch B0" "Keys / Key 0" "Keys / Key 3"
grep -q '^experiment: 3 blocks started' <<<"$out" || fail "started: $out"
echo PASS
