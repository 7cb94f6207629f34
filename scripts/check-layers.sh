#!/usr/bin/env bash
# Fails when a source of the plug-in or the installer includes from a layer
# above its own. Layers, bottom up: host, serial, frame, modules; the
# installer stands apart and includes only itself. Every layer may include
# the resource ids ("resource.h"). Inside modules, a family's folder
# (modules/analog, modules/digital, ...) includes from itself and from
# modules/ itself, never from a sibling folder. Prints each offending file
# and include.
#   check-layers.sh [SOURCE_DIR]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

dirs=()
for d in host serial frame modules installer; do [ -d "$d" ] && dirs+=("$d"); done
files=$(find "${dirs[@]}" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.inc' \) | sort)
[ -n "$files" ] || { echo "no sources found" >&2; exit 1; }

# grep prints FILE:LINE for every quoted include; awk judges each.
# shellcheck disable=SC2086
grep -H -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' $files | awk '
  BEGIN { rank["host"] = 1; rank["serial"] = 2; rank["frame"] = 3; rank["modules"] = 4; rank["installer"] = 9; bad = 0 }
  {
    file = $0; sub(/:.*/, "", file)
    line = substr($0, length(file) + 2)
    inc = line; sub(/^[^"]*"/, "", inc); sub(/".*$/, "", inc)
    if (inc == "resource.h") next
    layer = file; sub(/\/.*/, "", layer)
    if (index(inc, "/") == 0) { print file ": " line " (include by layer path, as \"" layer "/...\")"; bad = 1; next }
    target = inc; sub(/\/.*/, "", target)
    if (layer == "installer" || target == "installer") {
      if (layer != target) { print file ": " line " (the installer shares no code with the plug-in)"; bad = 1 }
      next
    }
    if (!(target in rank)) { print file ": " line " (not a layer of the plug-in)"; bad = 1; next }
    if (rank[target] > rank[layer]) { print file ": " line " (" target " is above " layer ")"; bad = 1; next }
    if (layer == "modules" && target == "modules") {
      own = ""; n = split(file, f, "/"); if (n >= 3) own = f[2]
      other = ""; m = split(inc, g, "/"); if (m >= 3) other = g[2]
      if (own != "" && other != "" && own != other) {
        print file ": " line " (modules/" other " is a sibling of modules/" own ")"; bad = 1
      }
    }
  }
  END { exit bad }
' || { echo "layer check failed: host < serial < frame < modules, no include between the folders of modules; installer apart" >&2; exit 1; }
echo "layers hold: host < serial < frame < modules, no include between the folders of modules; installer apart"
