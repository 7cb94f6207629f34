#!/usr/bin/env bash
# The demo: simulated modules on a pseudo-terminal mapped to COM1, every one
# the worksheets name (three thermocouple modules and one of each analog input
# type), their channels on slow waveforms or at fixed values, and the
# stand-in host measuring them for twenty seconds with the plug-in through
# the bundled worksheet examples/thermocouples.wks. The terminal shows one
# line per channel (with --table every sample); the samples are written as
# CSV and plotted over time (gnuplot) into build/demo/. Then, for ten
# seconds, examples/analogout.wks drives simulated analog output modules, one
# channel from a thermocouple block's measurement, and the values written to
# that channel are shown.
#
# The host runs from a temporary folder of its own (the plug-in reads its
# driver INI file XX02.ini there), COM1 is mapped through TELVIO_COM_DIR, and
# the folder and the simulator go on every exit.
#   demo.sh [--table] [--seconds N]
set -euo pipefail
cd "$(dirname "$0")/.."

table=
seconds=20
while [ $# -gt 0 ]; do
    case $1 in
        --table) table=--table ;;
        --seconds) seconds=$2; shift ;;
        *) echo "usage: demo.sh [--table] [--seconds N]" >&2; exit 2 ;;
    esac
    shift
done

# TELVIO_BUILD_DIR: another build of the linux preset (default build/linux).
build=${TELVIO_BUILD_DIR:-build/linux}
bin=$build/bin
if [ ! -x "$bin/hostsim" ] || [ ! -x "$bin/modsim" ] || [ ! -f "$bin/Telvio.so" ]; then
    cmake --preset linux -B "$build"
    cmake --build "$build" -j8
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/telvio-demo-XXXXXX")
modsim_pid=
cleanup() {
    if [ -n "$modsim_pid" ]; then
        kill "$modsim_pid" 2>/dev/null || true
        wait "$modsim_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

cp "$bin/hostsim" "$bin/Telvio.so" "$work/"
# COM1: 9600 baud (index 3), 8 data bits, 1 stop bit, no parity, 4 KB buffer.
cat >"$work/XX02.ini" <<'EOF'
[Com Ports]
NumComPorts=1
ComPort#0=1,3,8,1,0,1
EOF

# Every module the two worksheets name, as their blocks' fields give them
# (hostsim modules), their channels on slow waveforms or at fixed values: an
# oven heating up in zones, its flue gas switching between two levels, the
# room drifting. The
# module at address 3 uses checksums: its block's start finds that out (two
# plain queries time out, which the summary counts apart); the second output
# module of "Heaters" is of the 6000 series, with that series' watchdog.
modules=$("$work/hostsim" modules examples/thermocouples.wks --port 1)
outputs=$("$work/hostsim" modules examples/analogout.wks --port 1)
modules="$modules $outputs"
# shellcheck disable=SC2086 # the words of $modules are modsim's arguments
"$bin/modsim" --link "$work/com1" --quiet $modules --module 3:6018:cs --module 22:6021 \
    --wave 1:0:sine:180:6:20 --wave 1:1:ramp:172:4:10 --wave 1:2:sine:160:10:40 \
    --wave 2:0:square:95:8:16 --wave 2:3:sine:60:3:12 \
    --wave 3:0:ramp:21.5:0.8:30 \
    --wave 11:0:sine:4.75:0.5:20 --value 11:1=3.25 --wave 12:0:ramp:37.5:1:15 \
    --wave 13:0:ramp:20:2:10 --value 13:2=22.75 --value 14:0=60.5 --value 14:1=61.5 \
    --value 14:2=62.5 --value 15:0=2.5 --value 15:1=812.5 --value 15:3=12 \
    --wave 16:0:sine:4:1.5:6 --value 16:1=-1.25 \
    --wave 25:0:sine:6:2:10 >"$work/modsim.log" 2>&1 &
modsim_pid=$!
for _ in $(seq 100); do
    [ -L "$work/com1" ] && break
    if ! kill -0 "$modsim_pid" 2>/dev/null; then
        cat "$work/modsim.log" >&2
        exit 1
    fi
    sleep 0.05
done
if [ ! -L "$work/com1" ]; then
    echo "demo: the module simulator did not come up" >&2
    exit 1
fi

out=build/demo
mkdir -p "$out"
echo "Simulated modules on COM1 (address:model), every one the worksheets name;"
echo "  3 uses checksums, 22 is a 6021:"
echo "$modules" | sed 's/--module //g' | fold -s -w 76 | sed 's/^/  /'
echo "hostsim run examples/thermocouples.wks --seconds $seconds --csv --units $table"
echo "measuring for $seconds s ..."
echo
# The samples go to the file, what the run reports to the terminal.
TELVIO_COM_DIR="$work" "$work/hostsim" run examples/thermocouples.wks --seconds "$seconds" \
    --csv --units $table 2>&1 >"$out/samples.csv"
echo
echo "samples: $out/samples.csv"
if command -v gnuplot >/dev/null; then
    bash scripts/plot.sh "$out/samples.csv" "$out/plot.png"
    echo "plot:    $out/plot.png"
else
    echo "plot:    none, gnuplot is not installed (scripts/install-deps.sh demo)"
fi

# The analog outputs: channel 0 of the 7024 at address 24 (0x18) follows the
# chilled water's temperature that the thermocouple block "Chiller" measures
# (module 25); the RS-232 monitor's lines show what each write sent.
echo
echo "hostsim run examples/analogout.wks --seconds 10 --monitor"
echo "driving the analog outputs for 10 s ..."
TELVIO_COM_DIR="$work" "$work/hostsim" run examples/analogout.wks --seconds 10 --monitor \
    >"$work/analogout.txt" 2>&1 || true
grep -E '^(Chiller / |experiment: |warnings: |RS-232 monitor: )' "$work/analogout.txt"
echo "written to the 7024's channel 0 (-10 to 10 V), from the chilled water:"
grep -oE '^  COM1 .* \+ #180.*$' "$work/analogout.txt" | sed 's/.* + /  /' | tr '\n' ' '
echo
