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
# temperatures and one oven zone on a slow sine.
"$bin/modsim" --link "$work/com1" --quiet \
    --module 1:6018 --module 2:6018 --module 3:6018 \
    --value 1:0=180.5 --value 1:1=175.25 --wave 1:2:sine:170:5:8 \
    --value 2:0=95 --value 2:3=60.75 \
    --value 3:0=21.5 >"$work/modsim.log" 2>&1 &
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

echo "Simulated modules on COM1: 6018 at addresses 1, 2 and 3"
echo "hostsim run examples/thermocouples.wks --seconds 5"
echo
TELVIO_COM_DIR="$work" "$work/hostsim" run examples/thermocouples.wks --seconds 5
