#!/usr/bin/env bash
# The sanitizer build: the 32-bit Linux build with the address and
# undefined-behaviour sanitizers (preset "sanitize", folder build/sanitize),
# and every test of it but the Windows ones. A finding stops the program that
# made it, so its test fails.
#
# Where 32-bit programs run through qemu (binfmt_misc), the leak checker
# cannot stop the emulated threads and would hang each program at its exit:
# leak checks are off there. The options are set for the build too, because
# the test lists are read from the test programs while they are built.
set -euo pipefail
cd "$(dirname "$0")/.."

emulated=0
if [ -r /proc/sys/fs/binfmt_misc/qemu-i386 ] &&
    head -n 1 /proc/sys/fs/binfmt_misc/qemu-i386 | grep -qx enabled; then
    emulated=1
fi
leaks=$([ "$emulated" = 1 ] && echo 0 || echo 1)
export ASAN_OPTIONS="detect_leaks=$leaks:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
echo "sanitize: ASAN_OPTIONS=$ASAN_OPTIONS"
echo "sanitize: UBSAN_OPTIONS=$UBSAN_OPTIONS"

cmake --preset sanitize
cmake --build --preset sanitize
ctest --preset sanitize "$@"
