#!/usr/bin/env bash
# `hostsim run` against the module simulator's command line: the example
# worksheets of the digital types measured and driven for a few seconds, the
# lines the simulated modules were given delivered on the input blocks'
# channels, and the images the output blocks wrote listed from the RS-232
# monitor, the relay module driven by a square wave written on change only.
#   digital_run.sh HOSTSIM PLUGIN MODSIM EXAMPLES
set -euo pipefail
hostsim=$1 plugin=$2 modsim=$3 examples=$4

work=$(mktemp -d "${TMPDIR:-/tmp}/telvio-digital-run-XXXXXX")
pid=
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cp "$hostsim" "$plugin" "$work/"
cp "$plugin" "$work/ndxx.so" # a name of no other family: the default family
printf '[Com Ports]\nNumComPorts=1\nComPort#0=1,3,8,1,0,1\n' >"$work/XX02.ini"
export TELVIO_COM_DIR=$work

# Starts modsim on COM1 with the arguments; waits for its link.
serve() {
    rm -f "$work/com1"
    "$modsim" --link "$work/com1" --quiet "$@" >"$work/modsim.log" 2>&1 &
    pid=$!
    for _ in $(seq 200); do [ -L "$work/com1" ] && break; sleep 0.05; done
    [ -L "$work/com1" ] || fail "modsim did not come up: $(cat "$work/modsim.log")"
}
stop() { kill "$pid"; wait "$pid" 2>/dev/null || true; pid=; }

serve --module 1:7050 --module 2:7044 --module 3:7055 --module 4:7060 --module 5:7063 \
    --module 6:7065 --module 7:6052 --module 8:7053 --module 9:87051 --module 10:7041 \
    --module 11:7042 --module 12:7043 --module 13:87057 --module 14:7067 \
    --inputs 1=5 --inputs 2=1 --inputs 3=81 --inputs 4=A --inputs 5=3 --inputs 6=F \
    --inputs 7=3C --inputs 8=8101 --inputs 9=F0 --inputs 10=2001
out=$("$work/hostsim" run "$examples/digital.wks" --seconds 4.2 --monitor --table) ||
    fail "run answered $?: $out"
echo "$out"
expect() { grep -qE -- "$1" <<<"$out" || fail "no line matching '$1'"; }
count() { grep -cE -- "$1" <<<"$out" || true; }
expect '^experiment: 20 blocks started, ran 4\.[0-9]+ s'
expect '^warnings: none$'
# Every input block delivers a sample a second (four in the run; a loaded
# machine may be late for the last), 5.0 for a set line.
[ "$(count '^[A-Za-z]+ / .*: [345] samples,')" -eq 51 ] || fail "a channel lacks samples"
# The values a channel delivered, each once.
table() {
    awk -v head="$1" '$0 ~ "^" head ": [0-9]+ samples$" { on = 1; next } on && NF == 0 { exit }
        on && $1 ~ /^[0-9.]+$/ { print $2 }' <<<"$out" | sort -u | tr '\n' ' '
}
[ "$(table 'Door / Door open')" = "5.0000 " ] || fail "Door open"
[ "$(table 'Door / Door locked')" = "0.0000 " ] || fail "Door locked"
[ "$(table 'Door / Key switch')" = "5.0000 " ] || fail "Key switch"
[ "$(table 'Panel / DI 15')" = "5.0000 " ] || fail "Panel line 15"
[ "$(table 'Panel / DI 7')" = "0.0000 " ] || fail "Panel line 7"
[ "$(table 'Switches / DI 13')" = "5.0000 " ] || fail "Switches line 13"
[ "$(table 'Switches / DI 12')" = "0.0000 " ] || fail "Switches line 12"
[ "$(table 'Isolated / DI 5')" = "5.0000 " ] || fail "Isolated line 5"
[ "$(table 'Isolated / DI 6')" = "0.0000 " ] || fail "Isolated line 6"
# The lamps follow the door's contacts at every write.
[ "$(count 'COM1 .* \+ #010001$')" -ge 3 ] || fail "Lamps"
[ "$(count 'COM1 .* \+ #0100(00|02|03)$')" -eq 0 ] || fail "Lamps wrong"
# The pump relay follows the square wave, written only when it changed:
# on, off, on, and never the same image twice in a row.
pump=$(grep -oE 'COM1 .* \+ #0400..$' <<<"$out" | grep -oE '#0400..$' | tr '\n' ' ')
[[ "$pump" == "#040001 #040000 #040001 "* ]] || fail "Pump writes: $pump"
[ "$(tr ' ' '\n' <<<"$pump" | uniq -d | grep -c .)" -eq 0 ] || fail "Pump wrote twice: $pump"
# The three-relay module's one digit, the sixteen-line outputs' four.
expect 'COM1 .* \+ @05[15]$'
expect 'COM1 .* \+ @0C8001$'
expect '^RS-232 monitor: [0-9]+ requests, 0 repeats, 0 errors$'
stop

# The types of the default family.
serve --module 1:6054 --module 2:6056 --inputs 1=4001
out=$("$work/hostsim" run "$examples/digital-default.wks" --seconds 2.2 --plugin "$work/ndxx.so" \
    --monitor --table) || fail "run answered $?: $out"
echo "$out"
expect '^experiment: 2 blocks started, ran 2\.[0-9]+ s'
expect '^warnings: none$'
[ "$(table 'Fifteen / Vin 14')" = "5.0000 " ] || fail "Fifteen line 14"
[ "$(table 'Fifteen / Vin 0')" = "5.0000 " ] || fail "Fifteen line 0"
[ "$(table 'Fifteen / Vin 8')" = "" ] || fail "Fifteen has no line 8"
expect 'COM1 .* \+ #02T0001$'
expect 'COM1 .* \+ #02T4001$'
stop
echo PASS
