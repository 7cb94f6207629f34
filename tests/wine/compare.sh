#!/usr/bin/env bash
# hostsim.exe runs a command on Telvio.dll under Wine and prints exactly what
# the Linux hostsim prints for Telvio.so.
#   compare.sh WINE_SH PREFIX LINUX_HOSTSIM LINUX_PLUGIN WIN32_BIN COMMAND [ARG...]
# (the arguments follow the plug-in on the command line)
set -euo pipefail
wine_sh=$1 prefix=$2 linux_host=$3 linux_plugin=$4 win_bin=$5 command=$6
shift 6
[ -f "$win_bin/hostsim.exe" ] && [ -f "$win_bin/Telvio.dll" ] || {
  echo "missing the win32 build in $win_bin"; exit 1; }
# Each host runs from a folder of its own, where the plug-in keeps its INI file.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/linux" "$work/win32"
cp "$linux_host" "$linux_plugin" "$work/linux/"
cp "$win_bin/hostsim.exe" "$win_bin/Telvio.dll" "$work/win32/"
expected=$("$work/linux/$(basename "$linux_host")" "$command" \
  "$work/linux/$(basename "$linux_plugin")" "$@")
dll=$("$wine_sh" "$prefix" path "$work/win32/Telvio.dll")
exe=$("$wine_sh" "$prefix" path "$work/win32/hostsim.exe")
actual=$("$wine_sh" "$prefix" run "$exe" "$command" "$dll" "$@" | tr -d '\r')
if [ "$expected" != "$actual" ]; then
  diff <(echo "$expected") <(echo "$actual") || true
  exit 1
fi
echo "$actual" | head -3
echo "... identical ($(echo "$actual" | wc -l) lines)"
