#!/bin/bash
# The benchmarks of the Linux build: the request engine against simulated
# modules with wire-time emulation.
set -euo pipefail
cd "$(dirname "$0")/.."
bench=build/linux/bin/engine_bench
if [ ! -x "$bench" ]; then
    echo "bench: $bench is missing; build the linux preset first" >&2
    exit 1
fi
"$bench"
