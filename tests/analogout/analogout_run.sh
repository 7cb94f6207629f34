#!/usr/bin/env bash
# `hostsim run` against the module simulator's command line: the example
# worksheets of the analog output types driven for a few seconds, the values
# the blocks wrote listed from the RS-232 monitor in each family's format and
# range, the multi-channel blocks writing a channel only when it changed, and
# the digital inputs of the four-channel module delivered on their channels.
#   analogout_run.sh HOSTSIM PLUGIN MODSIM EXAMPLES
set -euo pipefail
hostsim=$1 plugin=$2 modsim=$3 examples=$4
. "$(dirname "$0")/../experiment/run_lib.sh"

run_setup "$hostsim" "$plugin"
cp "$plugin" "$work/ndxx.so" # a name of no other family: the default family
serve() { rm -f "$work/com1"; start_modsim "$modsim" "$@"; }
stop() { kill "$pid"; wait "$pid" 2>/dev/null || true; pid=; }
expect() { grep -qE -- "$1" <<<"$out" || fail "no line matching '$1'"; }
count() { grep -cE -- "$1" <<<"$out" || true; }
# Whether the values of the lines (after `skip` characters each) rise, at
# least three of them within the ramp's first period.
rising() {
    awk -v skip="$2" '{ n = 0; for (i = 1; i <= NF; i++) { v = substr($i, skip + 1) + 0
        if (n && v < last) { wrapped = 1; break } if (n && v > last) up++; last = v; n++ }
        exit !(up >= 3) }' <<<"$1"
}
# The lines sent to one module's channel, in order.
sent() { grep -oE "COM1 .* \\+ $1.*\$" <<<"$out" | sed 's/.* + //' | tr '\n' ' '; }

serve --module 21:7021 --module 22:6021 --module 23:7022 --module 24:7024 --module 25:6018 \
    --value 25:0=6.25
out=$("$work/hostsim" run "$examples/analogout.wks" --seconds 4.2 --monitor) ||
    fail "run answered $?: $out"
echo "$out"
expect '^experiment: 4 blocks started, ran 4\.[0-9]+ s'
expect '^warnings: none$'
expect '^RS-232 monitor: [0-9]+ requests, 0 repeats, 0 errors$'
# The 7021 in 0 to 10 V: configured, its safety value written and its
# watchdog on before the ramp; the 6021's watchdog off.
expect 'COM1 .* \+ %1515320600$'
[[ "$(sent '(#15|~15)')" == "~151 #1500.000 ~155 ~153128 #1500.000 #15"* ]] ||
    fail "Heater 1: $(sent '(#15|~15)')"
rising "$(sent '#15')" 4 || fail "Heater 1 does not follow the ramp: $(sent '#15')"
expect 'COM1 .* \+ ~162000000$'
# The 6021 in 0 to 20 mA: the step from 4 to 12 mA, once a second.
[[ "$(sent '#16')" == "#1604.000 #1604.000 #1612.000 "* ]] || fail "Heater 2: $(sent '#16')"
# The keep-alive of the watchdog.
expect 'COM1 .* \+ ~\*\*$'
# The 7022: the constant written once, the square wave (4 to 20 mA) at
# each change only.
[ "$(sent '#170')" = "#17007.500 " ] || fail "Inlet: $(sent '#170')"
outlet=$(sent '#171')
[[ "$outlet" == "#17104.000 #17120.000 #17104.000 "* ]] || fail "Outlet: $outlet"
[ "$(tr ' ' '\n' <<<"$outlet" | uniq -d | grep -c .)" -eq 0 ] || fail "Outlet twice: $outlet"
# The 7024 in -10 to 10 V: channel 0 retransmits the thermocouple block's
# temperature, channel 2 its constant, each once, as neither changes.
expect '^Chiller / Water: [0-9]+ samples, .* last 6\.2500$'
[ "$(sent '#180')" = "#180+06.250 " ] || fail "Chilled water: $(sent '#180')"
[ "$(sent '#182')" = "#182-02.500 " ] || fail "Drive C: $(sent '#182')"
stop

# The default family: the 6024's channel B from a step, and its inputs.
serve --module 1:6024 --inputs 1=A
out=$("$work/hostsim" run "$examples/analogout-default.wks" --seconds 2.2 --plugin "$work/ndxx.so" \
    --monitor) || fail "run answered $?: $out"
echo "$out"
expect '^experiment: 2 blocks started, ran 2\.[0-9]+ s'
expect '^warnings: none$'
[ "$(sent '#01')" = "#01B+01.250 #01B-03.750 " ] || fail "Outputs: $(sent '#01')"
[ "$(count '^Lines / DI [13]: [23] samples, .* min 5\.0000, max 5\.0000')" -eq 2 ] || fail "set lines"
# Lines 0 and 2 clear, 4 to 6 beyond the module's digit.
[ "$(count '^Lines / DI [02456]: [23] samples, .* min 0\.0000, max 0\.0000')" -eq 5 ] || fail "clear lines"
stop
echo PASS
