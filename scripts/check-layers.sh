#!/usr/bin/env bash
# Fails when a source of the plug-in or the installer includes from a layer
# above its own. Layers, bottom up: host, serial, frame, modules; the
# installer stands apart and includes only itself. Every layer may include
# the resource ids ("resource.h"). Prints each offending file and include.
#   check-layers.sh [SOURCE_DIR]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

rank() {
  case $1 in
    host) echo 1 ;;
    serial) echo 2 ;;
    frame) echo 3 ;;
    modules) echo 4 ;;
    installer) echo 9 ;;
    *) echo -1 ;;
  esac
}

bad=0
while IFS= read -r file; do
  layer=${file%%/*}
  own=$(rank "$layer")
  while IFS= read -r line; do
    inc=$(sed -E 's/^[^"]*"([^"]+)".*/\1/' <<<"$line")
    [ "$inc" = "resource.h" ] && continue
    target=${inc%%/*}
    if [ "$target" = "$inc" ]; then
      echo "$file: $line (include by layer path, as \"$layer/...\")"
      bad=1
      continue
    fi
    theirs=$(rank "$target")
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
