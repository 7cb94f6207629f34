#!/usr/bin/env bash
# `hostsim run` against the module simulator's command line: the bundled
# worksheet measured for two seconds, as a table and as CSV, with the values
# the simulated modules were given (the module at address 3 uses checksums,
# so its probe costs the two expected time-outs); and the exit codes of usage
# errors and of a run that cannot begin.
#   hostsim_run.sh HOSTSIM PLUGIN MODSIM WORKSHEET
set -euo pipefail
hostsim=$1 plugin=$2 modsim=$3 worksheet=$4

. "$(dirname "$0")/run_lib.sh"
run_setup "$hostsim" "$plugin"
# The simulator logs every line it receives (for the monitor's count below).
modsim_quiet=
# Every module the worksheet names; the one at address 3 uses checksums.
modules=$("$work/hostsim" modules "$worksheet" --port 1) || fail "hostsim modules answered $?"
# shellcheck disable=SC2086 # the words of $modules are modsim's arguments
start_modsim "$modsim" $modules --module 3:6018:cs \
    --value 1:0=180.5 --value 1:1=175.25 --value 1:2=-12.75 \
    --value 2:0=95 --value 2:3=60.75 --wave 3:0:square:20:1.5:1000 --value 15:1=812.5

# One line per channel, and with --table every sample under its channel.
out=$("$work/hostsim" run "$worksheet" --seconds 2 --table) || fail "run answered $?: $out"
echo "$out"
expect() { grep -qE -- "$1" <<<"$out" || fail "no line matching '$1'"; }
expect '^Oven / Oven top: 4 samples$'
expect '^Exhaust / Stack: 4 samples$'
expect '^Room / Ambient: 2 samples$'
expect '^ +0\.000 +180\.5000$'
expect '^ +1\.500 +175\.2500$'
expect '^ +0\.500 +-12\.7500$'
expect '^ +1\.000 +21\.5000$'
expect '^Oven / Oven top: 4 samples, 0\.000 to 1\.500 s, min 180\.5000, max 180\.5000, last 180\.5000$'
expect '^Oven / Oven bottom: 4 samples, 0\.000 to 1\.500 s, min -12\.7500, max -12\.7500, last -12\.7500$'
expect '^Room / Ambient: 2 samples, 0\.000 to 1\.000 s, min 21\.5000, max 21\.5000, last 21\.5000$'
expect '^experiment: 10 blocks started, ran 2\.[0-9]+ s'
expect '^warnings: none$'
# The analog input types' blocks after the thermocouples.
expect '^Mixed / Burner: 1 samples$'
expect '^ +0\.000 +812\.5000$'
# Without --table only the lines of the channels.
short=$("$work/hostsim" run "$worksheet" --seconds 1) || fail "run answered $?: $short"
grep -q '^Exhaust / Flue gas: 2 samples, 0\.000 to 0\.500 s, min 95\.0000, max 95\.0000, last 95\.0000$' \
  <<<"$short" || fail "channel line: $short"
! grep -qE '^ +0\.000 ' <<<"$short" || fail "a table without --table: $short"

# CSV on stdout, the summary on stderr. The monitor (256 lines, within
# which this shorter run stays) counts every request the modules received
# (the simulator's log has a line for each), none repeated; the two plain
# probes of the checksum module are counted apart from errors.
before=$(grep -c ' <- ' "$work/modsim.log" || true)
csv=$("$work/hostsim" run "$worksheet" --seconds 1 --csv 2>"$work/summary") || fail "csv run: $(cat "$work/summary")"
stop_modsim # every line the run wrote is in the simulator's log
requests=$(($(grep -c ' <- ' "$work/modsim.log") - before))
grep -q "^RS-232 monitor: $requests requests, 0 repeats, 0 errors; 2 time-outs of the checksum probe" \
    "$work/summary" || fail "monitor: $(grep RS-232 "$work/summary"), $requests requests sent"
[ "$(head -1 <<<"$csv")" = "block,channel,time,value" ] || fail "csv header: $csv"
grep -qx 'Oven,Oven middle,0.500,175.2500' <<<"$csv" || fail "csv row: $csv"
grep -qx 'Exhaust,Flue gas,0.000,95.0000' <<<"$csv" || fail "csv row: $csv"
# Header, 11 thermocouple rows, 15 of the analog input types.
[ "$(grep -c . <<<"$csv")" -eq 27 ] || fail "csv rows: $csv"
grep -q '^warnings: none$' "$work/summary" || fail "summary: $(cat "$work/summary")"
grep -q '^Oven / Oven middle: 2 samples, ' "$work/summary" || fail "summary: $(cat "$work/summary")"

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
