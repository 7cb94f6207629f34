#!/usr/bin/env bash
# The Windows build exports exactly SetupVarnixDLL, FinishVarnixDLL and WEP,
# undecorated, and needs no runtime DLL beside it.
set -euo pipefail
dll=$1
[ -f "$dll" ] || { echo "missing $dll (build the win32 preset first)"; exit 1; }
dump=$(i686-w64-mingw32-objdump -p "$dll")
names=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
[ "$names" = "FinishVarnixDLL SetupVarnixDLL WEP " ] || { echo "exports: $names"; exit 1; }
imports=$(sed -n 's/.*DLL Name: //p' <<<"$dump" | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
for dllname in $imports; do
  case $dllname in
    kernel32.dll|user32.dll|gdi32.dll|comdlg32.dll|msvcrt.dll|advapi32.dll) ;;
    *) echo "needs $dllname beside it"; exit 1 ;;
  esac
done
echo "exports: $names"
