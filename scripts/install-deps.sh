#!/usr/bin/env bash
# Installs what the builds and tests need, and only what is missing, so it is
# safe to run before every build.
#   - g++-multilib (the 32-bit Linux build), mingw-w64 (the Windows build),
#     GoogleTest (the tests)
#   - Wine with 32-bit support, its own fonts (the dialogs' "MS Sans Serif",
#     whose metrics the text-fit check measures) and Xvfb (the real DLL under
#     Wine)
#   - qemu-user-static, for machines whose kernel runs no 32-bit programs
#   - clang-format 14 (the format check of the tests)
# With an argument, also what one other target needs:
#   install-deps.sh demo          gnuplot (the demo's plot)
#   install-deps.sh screenshots   ImageMagick (the pictures of the dialogs)
set -euo pipefail

SUDO=
if [ "$(id -u)" != "0" ]; then SUDO=sudo; fi
export DEBIAN_FRONTEND=noninteractive

have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

pkgs=(g++-multilib g++-mingw-w64-i686 binutils-mingw-w64-i686 cmake make googletest qemu-user-static
      wine wine32:i386 fonts-wine xvfb xauth clang-format-14)
case ${1:-} in
  "") ;;
  demo) pkgs+=(gnuplot-nox) ;;
  screenshots) pkgs+=(imagemagick) ;;
  *) echo "usage: install-deps.sh [demo|screenshots]" >&2; exit 2 ;;
esac
need=()
for p in "${pkgs[@]}"; do have "$p" || need+=("$p"); done

if [ ${#need[@]} -gt 0 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

# 32-bit programs: run natively where the kernel can, else through qemu.
if ! /lib/ld-linux.so.2 --help >/dev/null 2>&1; then
  if [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
    $SUDO mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  fi
  if [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
    echo ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
      | $SUDO tee /proc/sys/fs/binfmt_misc/register >/dev/null
  fi
  /lib/ld-linux.so.2 --help >/dev/null 2>&1 || { echo "cannot run 32-bit programs" >&2; exit 1; }
fi
