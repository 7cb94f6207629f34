#!/usr/bin/env bash
# Fails when a source of the plug-in or the installer includes from a layer
# above its own. Layers, bottom up: host, serial, frame, modules; the
# installer stands apart and includes only itself. Every layer may include
# the resource ids ("resource.h"). Prints each offending file and include.
#   check-layers.sh [SOURCE_DIR]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

# The rank of each layer; anything else is no layer of the plug-in.
declare -A rank=([host]=1 [serial]=2 [frame]=3 [modules]=4 [installer]=9)

# Bash alone, no program per line: a run forks once per file, not per include.
bad=0
while IFS= read -r file; do
  layer=${file%%/*}
  own=${rank[$layer]:--1}
  while IFS= read -r line; do
    [[ $line =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]] || continue
    inc=${BASH_REMATCH[1]}
    [ "$inc" = "resource.h" ] && continue
    target=${inc%%/*}
    if [ "$target" = "$inc" ]; then
      echo "$file: $line (include by layer path, as \"$layer/...\")"
      bad=1
      continue
    fi
    theirs=${rank[$target]:--1}
    if [ "$layer" = installer ] || [ "$target" = installer ]; then
      if [ "$layer" != "$target" ]; then
        echo "$file: $line (the installer shares no code with the plug-in)"
        bad=1
      fi
    elif [ "$theirs" -lt 0 ]; then
      echo "$file: $line (not a layer of the plug-in)"
      bad=1
    elif [ "$theirs" -gt "$own" ]; then
      echo "$file: $line ($target is above $layer)"
      bad=1
    fi
  done <"$file"
done < <(find host serial frame modules installer -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.inc' \) 2>/dev/null | sort)

if [ $bad -ne 0 ]; then
  echo "layer check failed: host < serial < frame < modules; installer apart" >&2
  exit 1
fi
echo "layers hold: host < serial < frame < modules; installer apart"
