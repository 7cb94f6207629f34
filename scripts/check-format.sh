#!/usr/bin/env bash
# Fails when a C++ source is not formatted as the repo's .clang-format says,
# by clang-format 14 (the version the tree is formatted with; another
# version formats some lines differently). Prints each misformatted file;
# `clang-format-14 -i FILE` formats it.
#   check-format.sh [FILE...]   the files named, or every tracked source
#                               (*.cpp, *.h, *.inc) of the tree
set -euo pipefail

files=()
for f in "$@"; do files+=("$(realpath "$f")"); done
cd "$(dirname "$0")/.."

format=
for candidate in clang-format-14 clang-format; do
  if command -v "$candidate" >/dev/null && "$candidate" --version | grep -q 'version 14\.'; then
    format=$candidate
    break
  fi
done
[ -n "$format" ] || { echo "clang-format 14 not found (scripts/install-deps.sh installs it)" >&2; exit 2; }

if [ ${#files[@]} -eq 0 ]; then
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.inc')
  else
    mapfile -t files < <(find . -path ./build -prune -o -type f \
      \( -name '*.cpp' -o -name '*.h' -o -name '*.inc' \) -print | sort)
  fi
fi
[ ${#files[@]} -gt 0 ] || { echo "no sources found" >&2; exit 1; }

# Every violation is one "FILE:LINE:COLUMN: error:" line; the files once each.
status=0
report=$("$format" --dry-run --Werror "${files[@]}" 2>&1 >/dev/null) || status=$?
bad=$(printf '%s\n' "$report" | sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: .*/\1/p' | sort -u)
if [ -n "$bad" ]; then
  printf '%s\n' "$bad" | sed 's/$/: not formatted as .clang-format says/'
  echo "format check failed: ${format} -i on the files named" >&2
  exit 1
fi
if [ "$status" -ne 0 ]; then
  printf '%s\n' "$report" >&2
  echo "format check failed: ${format} answered ${status}" >&2
  exit 1
fi
echo "every source (${#files[@]}) is formatted as .clang-format says"
