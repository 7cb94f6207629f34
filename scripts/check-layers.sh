#!/usr/bin/env bash
# Fails when a source of the plug-in or the installer includes from a layer
# above its own. Layers, bottom up: host, serial, frame, modules; the
# installer stands apart and includes only itself. Every layer may include
# the resource ids ("resource.h"). Prints each offending file and include.
#   check-layers.sh [SOURCE_DIR]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

# The rank of a layer, in $rank (no subshell: the check runs once per include).
rank() {
  case $1 in
    host) rank=1 ;;
    serial) rank=2 ;;
    frame) rank=3 ;;
    modules) rank=4 ;;
    installer) rank=9 ;;
    *) rank=-1 ;;
  esac
}

bad=0
while IFS= read -r file; do
  layer=${file%%/*}
  rank "$layer"
  own=$rank
  while IFS= read -r line; do
    # The text between the first two quotes, without a process per line.
    inc=${line#*\"}
    inc=${inc%%\"*}
    [ "$inc" = "resource.h" ] && continue
    target=${inc%%/*}
    if [ "$target" = "$inc" ]; then
      echo "$file: $line (include by layer path, as \"$layer/...\")"
      bad=1
      continue
    fi
    rank "$target"
    theirs=$rank
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
  done < <(grep -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
done < <(find host serial frame modules installer -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.inc' \) 2>/dev/null | sort)

if [ $bad -ne 0 ]; then
  echo "layer check failed: host < serial < frame < modules; installer apart" >&2
  exit 1
fi
echo "layers hold: host < serial < frame < modules; installer apart"
