# What the scripts that run `hostsim run` against the module simulator's
# command line share; sourced. run_setup HOSTSIM PLUGIN makes a folder with
# the host, the plug-in and a driver INI file of COM1 (9600 baud, 8 data
# bits, 1 stop bit, no parity) and removes it, and the simulator, on exit;
# start_modsim MODSIM ARGS... serves ARGS on COM1 of that folder, quietly
# unless modsim_quiet is set empty (then every line goes to modsim.log);
# stop_modsim ends it once it has logged every line written to it.

fail() { echo "FAIL: $*" >&2; exit 1; }

run_setup() {
    work=$(mktemp -d "${TMPDIR:-/tmp}/telvio-run-XXXXXX")
    pid=
    trap run_cleanup EXIT
    cp "$1" "$2" "$work/"
    printf '[Com Ports]\nNumComPorts=1\nComPort#0=1,3,8,1,0,1\n' >"$work/XX02.ini"
    export TELVIO_COM_DIR=$work
}

stop_modsim() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
    pid=
}

run_cleanup() {
    stop_modsim
    rm -rf "$work"
}

start_modsim() {
    local modsim=$1
    shift
    "$modsim" --link "$work/com1" ${modsim_quiet---quiet} "$@" >"$work/modsim.log" 2>&1 &
    pid=$!
    for _ in $(seq 100); do [ -L "$work/com1" ] && break; sleep 0.05; done
    [ -L "$work/com1" ] || fail "modsim did not come up: $(cat "$work/modsim.log")"
}
