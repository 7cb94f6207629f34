#!/bin/bash
# The bench: the shipped plug-in measured through the processing procedure of
# its blocks in the stand-in host's loop (`hostsim run bench/bench.wks`),
# reading all channels of a simulated thermocouple module that holds each
# reply back for its time on the wire, as modsim does.
#
# For 9600 and 38400 baud (the slowest speed that leaves the pause between
# writes the limit, and the fastest the port table offers), three runs each:
# the readings per second against the limit the pause (from the code) and the
# characters on the wire set, as min, median and max of measured/limit. Then
# the same worksheet at 38400 baud with hostsim.exe and Telvio.dll under Wine,
# once, and its rate against the Linux median. The longest processing call
# and the median call that found nothing to do, for both, and the machine's
# load beside the figures.
#   bench.sh [SECONDS]     seconds of experiment per run (default 10)
# TELVIO_BENCH_WINE=0 leaves the Wine run out.
# Then the soak: `hostsim run` for ten minutes, its memory and processor share
# sampled (SOAK_SECONDS sets the length, 0 leaves the soak out).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
bin=build/linux/bin
win=build/win32/bin
for f in engine_bench hostsim modsim Telvio.so; do
    if [ ! -e "$bin/$f" ]; then
        echo "bench: $bin/$f is missing; build the linux preset first" >&2
        exit 1
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/telvio-bench-XXXXXX")
modsim_pid=
prefix=$PWD/build/linux/wineprefix
com1=$prefix/dosdevices/com1
saved_com1=
cleanup() {
    if [ -n "$modsim_pid" ]; then
        kill "$modsim_pid" 2>/dev/null || true
        wait "$modsim_pid" 2>/dev/null || true
    fi
    if [ -L "$com1" ] && [ "$(readlink "$com1")" = "$work/com1" ]; then
        rm -f "$com1"
        if [ -n "$saved_com1" ]; then ln -s "$saved_com1" "$com1"; fi
    fi
    rm -rf "$work"
}
trap cleanup EXIT

load() { cut -d' ' -f1-3 /proc/loadavg; }
soak() {
    local length=${SOAK_SECONDS:-600}
    if [ "$length" -gt 0 ]; then bash scripts/soak.sh "$length"; fi
}

# What the code says: the pause between writes and the characters of one
# reading on the wire.
eval "$("$bin/engine_bench" | awk '{ printf "%s=%s\n", $1, $2 }')"
bits=10 # start, 8 data bits, stop

cp "$bin/hostsim" "$bin/Telvio.so" bench/bench.wks "$work/"
export TELVIO_COM_DIR=$work

# modsim on COM1 at the speed given, every module of the worksheet.
modules=$("$work/hostsim" modules "$work/bench.wks" --port 1)
# Its replies take their time on the line at the rate the driver sets.
start_modsim() {
    # shellcheck disable=SC2086 # the words of $modules are modsim's arguments
    "$bin/modsim" --link "$work/com1" --quiet $modules \
        >"$work/modsim.log" 2>&1 &
    modsim_pid=$!
    for _ in $(seq 100); do [ -L "$work/com1" ] && return 0; sleep 0.05; done
    echo "bench: modsim did not come up: $(cat "$work/modsim.log")" >&2
    exit 1
}
stop_modsim() {
    kill "$modsim_pid" 2>/dev/null || true
    wait "$modsim_pid" 2>/dev/null || true
    modsim_pid=
}
# The port table row of COM1: 9600 is index 3, 38400 index 5.
write_ini() {
    local index=$1 eol=${2:-}
    printf "[Com Ports]%s\nNumComPorts=1%s\nComPort#0=1,%s,8,1,0,1%s\n" "$eol" "$eol" "$index" \
        "$eol" >"$3"
}
# The worksheet with its blocks' port row at the speed index given (a loaded
# block brings its own row into the port table).
write_wks() {
    sed "s/field Baud_Rate int = [0-9]*/field Baud_Rate int = $1/" bench/bench.wks >"$2"
}
# Readings of block Fast per second of experiment, from the CSV of a run.
rate_of() { awk -F, -v s="$seconds" '$1 == "Fast" { n++ } END { printf "%.2f", n / s }' "$1"; }
timing_of() { grep '^processing calls:' "$1" | tr -d '\r' || echo "processing calls: none"; }

limit_of() {
    awk -v b="$1" -v p="$pause_us" -v q="$request_chars" -v r="$reply_chars" -v bits="$bits" \
        'BEGIN { wire = (q + r) * bits / b; pace = p / 1e6; printf "%.2f", 1 / (wire > pace ? wire : pace) }'
}

printf 'Bench: %s s of experiment per run; pause between writes %s ms (from the code);\n' \
    "$seconds" "$((pause_us / 1000))"
printf 'one reading is %s + %s characters of %s bits on the wire.\n' "$request_chars" \
    "$reply_chars" "$bits"
printf 'Machine load (1, 5, 15 min) before: %s; %s cores\n\n' "$(load)" "$(nproc)"

declare -A linux_median
for baud in 9600 38400; do
    index=3
    [ "$baud" = 38400 ] && index=5
    write_ini "$index" "" "$work/XX02.ini"
    write_wks "$index" "$work/bench.wks"
    limit=$(limit_of "$baud")
    ratios=()
    for run in 1 2 3; do
        start_modsim
        "$work/hostsim" run "$work/bench.wks" --seconds "$seconds" --csv --timing --no-monitor \
            >"$work/run.csv" 2>"$work/run.txt" || {
            echo "bench: hostsim run failed:" >&2
            cat "$work/run.txt" >&2
            exit 1
        }
        stop_modsim
        rate=$(rate_of "$work/run.csv")
        ratio=$(awk -v r="$rate" -v l="$limit" 'BEGIN { printf "%.3f", r / l }')
        ratios+=("$ratio")
        printf '  Linux %5s baud, run %s: %6s readings/s of %6s (%s); %s; load %s\n' "$baud" "$run" \
            "$rate" "$limit" "$ratio" "$(timing_of "$work/run.txt")" "$(load)"
        echo "$rate" >>"$work/rates-$baud"
    done
    sorted=$(printf '%s\n' "${ratios[@]}" | sort -n | tr '\n' ' ')
    read -r lo mid hi <<<"$sorted"
    linux_median[$baud]=$(sort -n "$work/rates-$baud" | sed -n 2p)
    printf 'Linux %5s baud: measured/limit min %s, median %s, max %s (limit %s readings/s)\n\n' \
        "$baud" "$lo" "$mid" "$hi" "$limit"
done

# The same worksheet under Wine, once, at 38400 baud.
if [ "${TELVIO_BENCH_WINE:-1}" = 0 ]; then
    echo "Wine: skipped (TELVIO_BENCH_WINE=0)"
    soak
    exit 0
fi
if [ ! -f "$win/hostsim.exe" ] || [ ! -f "$win/Telvio.dll" ] || ! command -v wine >/dev/null; then
    echo "Wine: skipped (no win32 build or no wine)"
    soak
    exit 0
fi
echo "Wine: making the prefix $prefix (minutes where 32-bit code is emulated) ..."
bash scripts/wine.sh "$prefix" init
mkdir -p "$work/win32" "$prefix/dosdevices"
cp "$win/hostsim.exe" "$win/Telvio.dll" bench/bench.wks "$work/win32/"
write_ini 5 $'\r' "$work/win32/XX02.ini"
write_wks 5 "$work/win32/bench.wks"
start_modsim
if [ -L "$com1" ]; then saved_com1=$(readlink "$com1"); fi
rm -f "$com1"
ln -s "$work/com1" "$com1"
exe=$(bash scripts/wine.sh "$prefix" path "$work/win32/hostsim.exe")
wks=$(bash scripts/wine.sh "$prefix" path "$work/win32/bench.wks")
set +e
bash scripts/wine.sh "$prefix" run "$exe" run "$wks" --seconds "$seconds" --csv --timing --no-monitor \
    >"$work/wine.csv" 2>"$work/wine.txt"
rc=$?
set -e
stop_modsim
bash scripts/wine.sh "$prefix" stop
tr -d '\r' <"$work/wine.csv" >"$work/wine-lf.csv"
if [ $rc -ne 0 ]; then
    echo "bench: hostsim.exe answered $rc:" >&2
    tr -d '\r' <"$work/wine.txt" >&2
    exit 1
fi
wine_rate=$(rate_of "$work/wine-lf.csv")
limit=$(limit_of 38400)
printf '  Wine  38400 baud: %6s readings/s of %6s (%s); %s; load %s\n' "$wine_rate" "$limit" \
    "$(awk -v r="$wine_rate" -v l="$limit" 'BEGIN { printf "%.3f", r / l }')" \
    "$(timing_of "$work/wine.txt")" "$(load)"
printf 'Wine/Linux at 38400 baud: %s (Wine %s, Linux median %s readings/s)\n' \
    "$(awk -v w="$wine_rate" -v l="${linux_median[38400]}" 'BEGIN { printf "%.3f", w / l }')" \
    "$wine_rate" "${linux_median[38400]}"
printf 'Machine load after: %s\n' "$(load)"
soak
