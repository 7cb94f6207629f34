#!/usr/bin/env bash
# `hostsim run` measures the analog input types' worksheet against the module
# simulator's command line: every block starts, configures its module and
# delivers each channel every Sample_Distance seconds with the value the
# simulated module was given.
#   hostsim_run.sh HOSTSIM PLUGIN MODSIM WORKSHEET
set -euo pipefail
hostsim=$1 plugin=$2 modsim=$3 worksheet=$4

. "$(dirname "$0")/../experiment/run_lib.sh"
run_setup "$hostsim" "$plugin"
start_modsim "$modsim" --module 11:6017 --module 12:7013 --module 13:7015 \
    --module 14:7033 --module 15:7019 --module 16:7005 --module 17:7005 \
    --value 11:0=4.75 --value 11:1=3.25 --value 12:0=37.5 --value 13:0=21.25 \
    --value 13:2=22.75 --value 14:0=60.5 --value 14:1=61.5 --value 14:2=62.5 \
    --value 15:0=2.5 --value 15:1=812.5 --value 15:3=12 --value 16:0=4.5 \
    --value 16:1=-1.25

csv=$("$work/hostsim" run "$worksheet" --seconds 2 --csv 2>"$work/summary") ||
    fail "run answered $?: $(cat "$work/summary")"
cat "$work/summary"
grep -q '^experiment: 7 blocks started' "$work/summary" || fail "not every block started"
grep -q '^warnings: none$' "$work/summary" || fail "the plug-in warned"
# Each channel: from 0 s on a sample at every due time of its block (every
# 0.5 s; the block of the 7033 every 0.8 s), at least the first two of the
# run (a busy machine may keep the last ones from coming in time), and the one
# value they all hold.
check() {
    local key=$1 samples=$2 value=$3 every=0.5
    [ "${key%%,*}" = Line ] && every=0.8
    local rows
    rows=$(grep -c "^$key," <<<"$csv" || true)
    [ "$rows" -ge 2 ] && [ "$rows" -le "$samples" ] ||
        fail "$key: $rows samples, up to $samples expected"
    local other
    other=$(grep "^$key," <<<"$csv" | awk -F, -v v="$value" -v e="$every" \
        '$4 + 0 != v + 0 || ($3 - e * (NR - 1)) ^ 2 > 1e-6 { print; exit }')
    [ -z "$other" ] || fail "$key: $other, $value every $every s expected"
}
check 'Supply,Rail 5V' 4 4.75
check 'Supply,Rail 3V3' 4 3.25
check 'Bath,Bath' 4 37.5
check 'Rack,Rack top' 4 21.25
check 'Rack,Rack bottom' 4 22.75
check 'Line,Inlet' 3 60.5
check 'Line,Middle' 3 61.5
check 'Line,Outlet' 3 62.5
check 'Mixed,Pressure' 4 2.5
check 'Mixed,Burner' 4 812.5
check 'Mixed,Flow' 4 12
check 'Cold room,Air' 4 4.5
check 'Cold room,Door' 4 -1.25
check 'Cold alarms,Alarm 0' 4 0
check 'Cold alarms,Alarm 1' 4 0
echo PASS
