#!/usr/bin/env bash
# The real Inilink.exe under Wine, run with the INI file named on its command
# line, twice in one prefix:
#   - a host whose INI file is named in upper case gets the plug-in and its
#     help file in its folder and the entry in its INI file, every other byte
#     of the file kept;
#   - with a source folder that lacks the help file, the error message is
#     printed, the program answers 1, and nothing in the host's folder changes.
#   wine_install.sh WINE_SH PREFIX WIN32_BIN TEST_SOURCE_DIR
set -euo pipefail
export LC_ALL=C
wine_sh=$1 prefix=$2 win_bin=$3 here=$4
for f in Inilink.exe Telvio.dll; do
  [ -f "$win_bin/$f" ] || { echo "missing the win32 build's $f in $win_bin"; exit 1; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/telvio-inilink-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The source folder as shipped, and one whose Manual folder is missing.
mkdir -p "$work/TRAX Varnix/Driver" "$work/TRAX Varnix/Manual" "$work/Partial/Driver"
cp "$win_bin/Telvio.dll" "$work/TRAX Varnix/Driver/"
cp "$here/EVEHZEM.HLP" "$work/TRAX Varnix/Manual/"
cp "$win_bin/Telvio.dll" "$work/Partial/Driver/"
cp "$win_bin/Inilink.exe" "$work/"
mkdir "$work/Host One" "$work/Host Two"
cp "$here/Varnix.ini" "$work/Host One/VARNIX.INI"
cp "$here/Varnix.ini" "$work/Host Two/Varnix.ini"

win() { "$wine_sh" "$prefix" path "$1"; }
inilink() { # OUTPUT_NAME ARG...
  local name=$1 rc=0
  shift
  "$wine_sh" "$prefix" run "$(win "$work/Inilink.exe")" "$@" >"$work/$name.out" 2>"$work/$name.err" ||
    rc=$?
  tr -d '\r' <"$work/$name.out"
  tr -d '\r' <"$work/$name.err" | grep -v '^wine' >&2 || true
  return $rc
}

echo "== a host's INI file named in upper case"
rc=0
inilink one --ini "$(win "$work/Host One/VARNIX.INI")" --source "$(win "$work/TRAX Varnix")" || rc=$?
[ $rc -eq 0 ] || fail "Inilink answered $rc"
[ "$(tr -d '\r' <"$work/one.out" | tail -1)" = installed ] || fail "no 'installed' at the end"
[ "$(ls "$work/Host One" | tr '\n' ' ')" = "EVEHZEM.HLP Telvio.dll VARNIX.INI " ] ||
  fail "the host's folder holds: $(ls "$work/Host One" | tr '\n' ' ')"
cmp "$win_bin/Telvio.dll" "$work/Host One/Telvio.dll" || fail "Telvio.dll differs"
cmp "$here/EVEHZEM.HLP" "$work/Host One/EVEHZEM.HLP" || fail "EVEHZEM.HLP differs"
if ! cmp "$here/Varnix.installed.ini" "$work/Host One/VARNIX.INI"; then
  diff <(od -c "$here/Varnix.installed.ini") <(od -c "$work/Host One/VARNIX.INI") || true
  fail "the INI file is not the original with the entry"
fi

echo "== a source folder without the help file"
rc=0
inilink two --ini "$(win "$work/Host Two/Varnix.ini")" --source "$(win "$work/Partial")" || rc=$?
[ $rc -eq 1 ] || fail "Inilink answered $rc, not 1"
grep -qF "Fatal Error!! Driver cannt find the Varnix.ini .Please modify the file in correct directory by manual" \
  "$work/two.err" || fail "no error message"
grep -q '^installed' "$work/two.out" && fail "reported as installed"
[ "$(ls "$work/Host Two")" = Varnix.ini ] ||
  fail "the host's folder holds: $(ls "$work/Host Two" | tr '\n' ' ')"
cmp "$here/Varnix.ini" "$work/Host Two/Varnix.ini" || fail "the INI file changed"
echo PASS
