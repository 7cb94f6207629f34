#!/usr/bin/env bash
# Fails when a source of the plug-in or the installer includes from a layer
# above its own. Layers, bottom up: host, serial, frame, modules; the
# installer stands apart and includes only itself. Every layer may include
# the resource ids ("resource.h"). Prints each offending file and include.
#   check-layers.sh [SOURCE_DIR]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

# The layer's rank in `r` (no subshell: the check stays fast on a loaded
# machine).
rank() {
  case $1 in
    host) r=1 ;;
    serial) r=2 ;;
    frame) r=3 ;;
    modules) r=4 ;;
    installer) r=9 ;;
    *) r=-1 ;;
  esac
}

bad=0
while IFS= read -r file; do
  layer=${file%%/*}
  rank "$layer"
  own=$r
  while IFS= read -r line; do
    [[ $line =~ \"([^\"]+)\" ]] && inc=${BASH_REMATCH[1]} || inc=$line
    [ "$inc" = "resource.h" ] && continue
    target=${inc%%/*}
    if [ "$target" = "$inc" ]; then
      echo "$file: $line (include by layer path, as \"$layer/...\")"
      bad=1
      continue
    fi
    rank "$target"
    theirs=$r
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
