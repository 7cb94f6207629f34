#!/usr/bin/env bash
# The soak of the benchmarks: `hostsim run` measures the demo's worksheet
# against simulated modules (every module the worksheet names, as `hostsim
# modules` reads them from it) for a long run (SOAK_SECONDS, default 600) and
# the host's memory and processor time are sampled as it goes. A run that
# lasts stays flat: its memory grows by no more than what it keeps of the
# samples for its table (the run reports that), and its processor share at
# the end is what it was at the start.
#   soak.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-${SOAK_SECONDS:-600}}
interval=${SOAK_INTERVAL:-10}
build=${TELVIO_BUILD_DIR:-build/linux}
bin=$build/bin
for f in hostsim modsim Telvio.so; do
    [ -e "$bin/$f" ] || { echo "soak: $bin/$f is missing; build the linux preset first" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/telvio-soak-XXXXXX")
modsim_pid=
host_pid=
cleanup() {
    for p in $host_pid $modsim_pid; do
        kill "$p" 2>/dev/null || true
        wait "$p" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

cp "$bin/hostsim" "$bin/Telvio.so" "$work/"
printf '[Com Ports]\nNumComPorts=1\nComPort#0=1,3,8,1,0,1\n' >"$work/XX02.ini"
worksheet=examples/thermocouples.wks
modules=$("$work/hostsim" modules "$worksheet" --port 1)
# shellcheck disable=SC2086 # the words of $modules are modsim's arguments
"$bin/modsim" --link "$work/com1" --quiet $modules \
    --wave 1:0:sine:170:5:8 --value 2:0=95 --value 3:0=21.5 >"$work/modsim.log" 2>&1 &
modsim_pid=$!
for _ in $(seq 100); do [ -L "$work/com1" ] && break; sleep 0.05; done
[ -L "$work/com1" ] || { echo "soak: modsim did not come up" >&2; cat "$work/modsim.log" >&2; exit 1; }

TELVIO_COM_DIR="$work" "$work/hostsim" run "$worksheet" --seconds "$seconds" \
    >"$work/run.log" 2>&1 &
host_pid=$!

# Resident memory (KB) and processor time (clock ticks) of the host; under
# emulation the process is the emulator running it, which is what the
# machine pays.
rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$host_pid/status" 2>/dev/null || echo 0; }
cpu() { awk '{ print $14 + $15 }' "/proc/$host_pid/stat" 2>/dev/null || echo 0; }
hz=$(getconf CLK_TCK)

echo "soak: hostsim run $worksheet --seconds $seconds (samples every ${interval} s)"
echo "soak: modsim$(echo " $modules" | sed 's/ --module / /g')"
printf '%8s %10s %8s\n' "time s" "memory KB" "cpu %"
sleep "$interval"
t=$interval
first_rss=$(rss) last_cpu=$(cpu)
first_share= last_share= last_rss=$first_rss
while kill -0 "$host_pid" 2>/dev/null && [ "$t" -lt "$seconds" ]; do
    sleep "$interval"
    t=$((t + interval))
    kill -0 "$host_pid" 2>/dev/null || break
    now_rss=$(rss) now_cpu=$(cpu)
    share=$(( (now_cpu - last_cpu) * 100 / (hz * interval) ))
    printf '%8d %10d %8d\n' "$t" "$now_rss" "$share"
    [ -n "$first_share" ] || first_share=$share
    last_share=$share last_cpu=$now_cpu last_rss=$now_rss
done
set +e
wait "$host_pid"
code=$?
set -e
host_pid=
tail -n 6 "$work/run.log"
[ "$code" -eq 0 ] || { echo "soak: hostsim run answered $code" >&2; exit 1; }
[ -n "$first_share" ] || { echo "soak: the run was too short to sample" >&2; exit 1; }
grep -q '^experiment: .* blocks started, ran' "$work/run.log" ||
    { echo "soak: not every block started" >&2; exit 1; }
grep -q '^warnings: none' "$work/run.log" || { echo "soak: the plug-in warned" >&2; exit 1; }

# From the first sample (at one interval) to the last.
span=$((t - interval))
[ "$span" -gt 0 ] || span=1
growth=$(( (last_rss - first_rss) * 1024 / span ))
# What the run keeps for its table, in bytes a second of the run: every
# sample delivered stays until the end. Memory may grow by that twice over
# (a growing array holds up to twice what it was given, and the allocator
# rounds), and by a page of resident memory over the span measured; more is
# a leak. A processor share that doubles is work growing with time.
kept=$(sed -n 's/^kept for the table: .*, \([0-9]*\) bytes$/\1/p' "$work/run.log")
[ -n "$kept" ] || { echo "soak: the run did not say what it kept" >&2; exit 1; }
limit=$(( 2 * kept / seconds + 4096 / span ))
echo "soak: memory ${first_rss} KB -> ${last_rss} KB (${growth} bytes/s; the run keeps $((kept / seconds)) bytes/s, limit ${limit}), cpu ${first_share} % -> ${last_share} %"
fail=0
if [ "$growth" -gt "$limit" ]; then echo "soak: memory grows" >&2; fail=1; fi
if [ "$last_share" -gt $((2 * first_share + 5)) ]; then echo "soak: processor time grows" >&2; fail=1; fi
[ "$fail" -eq 0 ] && echo "soak: flat"
exit "$fail"
