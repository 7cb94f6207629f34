#!/bin/bash
# The benchmarks of the Linux build: the request engine against simulated
# modules with wire-time emulation, then the soak: `hostsim run` for ten
# minutes, its memory and processor share sampled (SOAK_SECONDS sets the
# length, 0 leaves the soak out).
set -euo pipefail
cd "$(dirname "$0")/.."
bench=build/linux/bin/engine_bench
if [ ! -x "$bench" ]; then
    echo "bench: $bench is missing; build the linux preset first" >&2
    exit 1
fi
"$bench"
soak=${SOAK_SECONDS:-600}
if [ "$soak" -gt 0 ]; then
    bash scripts/soak.sh "$soak"
fi
