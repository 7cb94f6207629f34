#!/usr/bin/env bash
# `make test`: installs what is missing, builds both presets (a warning fails
# the build: -Werror), runs the Linux tests (the format check among them) and
# then the Wine tests, and prints how long each phase took (also kept in
# build/test-times.txt). Every phase runs even when one before it
# failed a test; the answer is the first failure.
set -uo pipefail
cd "$(dirname "$0")/.."

names=()
times=()
status=0
failed=

phase() {
  local name=$1
  shift
  local start=$SECONDS
  echo "==== $name"
  "$@"
  local rc=$?
  local took=$((SECONDS - start))
  names+=("$name")
  times+=("$took")
  printf '==== %s: %d:%02d%s\n' "$name" $((took / 60)) $((took % 60)) "$([ $rc -eq 0 ] || echo ", failed ($rc)")"
  if [ $rc -ne 0 ] && [ $status -eq 0 ]; then
    status=$rc
    failed=$name
  fi
  return $rc
}

# Both presets with -Werror: a warning fails the build here.
build() { TELVIO_WERROR=1 cmake --preset "$1" && TELVIO_WERROR=1 cmake --build --preset "$1"; }

total=$SECONDS
phase "install what is missing" bash scripts/install-deps.sh || exit $status
phase "linux build" build linux || exit $status
phase "win32 build" build win32 || exit $status
phase "Linux tests (ctest -LE wine)" ctest --preset linux -LE wine
phase "Wine tests (ctest -L wine)" ctest --preset linux -L wine

mkdir -p build
{
  echo "make test, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores"
  for i in "${!names[@]}"; do
    printf '  %-32s %3d:%02d\n' "${names[$i]}" $((times[i] / 60)) $((times[i] % 60))
  done
  took=$((SECONDS - total))
  printf '  %-32s %3d:%02d\n' "total" $((took / 60)) $((took % 60))
  [ -z "$failed" ] || echo "  failed: $failed"
} | tee build/test-times.txt
exit $status
