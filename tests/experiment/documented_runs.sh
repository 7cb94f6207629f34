#!/usr/bin/env bash
# The commands a reader is told to paste, run as they stand: the README's
# block that runs an example worksheet against simulated modules, or the
# block in the header of an example worksheet. They run in a top folder of
# their own, as on a clean clone after `make demo`: its examples/ are the
# project's, its build/linux/bin holds a copy of the built host, simulator
# and plug-in. Every block of the worksheet must start, nothing be warned,
# no serial port fail; the README's block must deliver the values it sets.
#   documented_runs.sh README.md|WORKSHEET SOURCE_DIR HOSTSIM MODSIM PLUGIN
set -euo pipefail
doc=$1 source=$2 hostsim=$3 modsim=$4 plugin=$5
fail() { echo "FAIL: $*" >&2; exit 1; }

top=$(mktemp -d "${TMPDIR:-/tmp}/telvio-documented-XXXXXX")
group=
cleanup() {
    # The block starts modsim in the background: whatever of its process
    # group is left when it failed goes with the folder.
    if [ -n "$group" ]; then kill -- "-$group" 2>/dev/null || true; fi
    rm -rf "$top"
}
trap cleanup EXIT
mkdir -p "$top/build/linux/bin"
ln -s "$source/examples" "$top/examples"
cp "$hostsim" "$modsim" "$plugin" "$top/build/linux/bin/"

case $doc in
    README.md)
        # The first indented block after the heading of the section.
        awk '/^## Running an example worksheet against simulated modules$/ { on = 1; next }
            on && /^    / { print substr($0, 5); seen = 1; next }
            on && seen { exit }' "$source/README.md" >"$top/block.sh"
        worksheet=$(grep -o 'hostsim run examples/[^ ]*' "$top/block.sh" | head -1 | sed 's/.* //')
        ;;
    *.wks)
        # The lines ";   COMMAND" of the header, after "Run it".
        awk '/^[^;]/ && NR > 2 { exit } /Run it/ { on = 1; next }
            on && /^;   / { print substr($0, 5) }' "$source/examples/$doc" >"$top/block.sh"
        worksheet=examples/$doc
        ;;
    *) fail "usage: documented_runs.sh README.md|WORKSHEET SOURCE_DIR HOSTSIM MODSIM PLUGIN" ;;
esac
[ -s "$top/block.sh" ] || fail "$doc holds no block of commands"
grep -q 'hostsim run' "$top/block.sh" || fail "$doc: no hostsim run in the block"
echo "--- $doc"
cat "$top/block.sh"
echo "---"

# In a process group of its own, bounded: a hanging step fails the test.
cd "$top"
set +e
setsid timeout 300 bash "$top/block.sh" >"$top/out.txt" 2>&1 &
group=$!
wait "$group"
code=$?
set -e
cat "$top/out.txt"
[ "$code" = 0 ] || fail "$doc: the block answered $code"
# The block stopped the modsim it started.
for _ in $(seq 100); do kill -0 -- "-$group" 2>/dev/null || break; sleep 0.05; done
if kill -0 -- "-$group" 2>/dev/null; then fail "$doc: the block left its modsim running"; fi
group=
out=$(cat "$top/out.txt")
blocks=$(grep -c '^block$' "$source/$worksheet")
grep -q "^experiment: $blocks blocks started" <<<"$out" || fail "$doc: not every block started"
grep -q '^warnings: none$' <<<"$out" || fail "$doc: the plug-in warned"
grep -q '^message boxes: none$' <<<"$out" || fail "$doc: a message box came up"
if grep -q 'Error' <<<"$out"; then fail "$doc: an error was printed"; fi
if [ "$doc" = README.md ]; then
    # Every value the block sets comes back on its channel, none of them 0.
    grep -q 'Oven / Oven top: .* last 182\.5000$' <<<"$out" || fail "README: Oven top"
    grep -q 'Exhaust / Stack: .* last 60\.7500$' <<<"$out" || fail "README: Stack"
    grep -q 'Room / Ambient: .* last 21\.5000$' <<<"$out" || fail "README: Ambient"
fi
echo PASS
