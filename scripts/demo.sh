#!/usr/bin/env bash
# The demo: three simulated thermocouple modules on a pseudo-terminal mapped to
# COM1, and the stand-in host measuring them for five seconds with the plug-in
# through the bundled worksheet examples/thermocouples.wks.
#
# The host runs from a temporary folder of its own (the plug-in reads its
# driver INI file XX02.ini there), COM1 is mapped through TELVIO_COM_DIR, and
# the folder and the simulator go on every exit.
set -euo pipefail
cd "$(dirname "$0")/.."

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

# Modules at addresses 1 to 3 with readings that are easy to recognise: fixed
# temperatures and one oven zone on a slow sine; at 11 to 17 one module of
# each analog input type.
"$bin/modsim" --link "$work/com1" --quiet \
    --module 1:6018 --module 2:6018 --module 3:6018 \
    --value 1:0=180.5 --value 1:1=175.25 --wave 1:2:sine:170:5:8 \
    --value 2:0=95 --value 2:3=60.75 \
    --value 3:0=21.5 \
    --module 11:6017 --module 12:7013 --module 13:7015 --module 14:7033 \
    --module 15:7019 --module 16:7005 --module 17:7005 \
    --value 11:0=4.75 --value 11:1=3.25 --value 12:0=37.5 --wave 13:0:ramp:20:2:10 \
    --value 13:2=22.75 --value 14:0=60.5 --value 14:1=61.5 --value 14:2=62.5 \
    --value 15:0=2.5 --value 15:1=812.5 --value 15:3=12 --wave 16:0:sine:4:1.5:6 \
    --value 16:1=-1.25 >"$work/modsim.log" 2>&1 &
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

echo "Simulated modules on COM1: 6018 at addresses 1, 2 and 3; analog inputs at 11 to 17"
echo "hostsim run examples/thermocouples.wks --seconds 5"
echo
TELVIO_COM_DIR="$work" "$work/hostsim" run examples/thermocouples.wks --seconds 5
