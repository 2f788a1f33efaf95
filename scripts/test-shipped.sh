#!/usr/bin/env bash
# Runs the tests of the 32-bit pictavo.exe and pictavo-setup.exe that ship (from the 32-bit
# build tree) as users get them.
#   Usage: test-shipped.sh [32-bit build dir] [64-bit build dir] [test options]
#          (build, build-x64; e.g. --gtest_filter=Shipped.AJpeg*)
#
# Where this machine runs 32-bit programs, the 32-bit tree's own test program drives them
# directly, in a Wine prefix of its own. Where it cannot, the 64-bit test program
# pictavo_shipped.exe (from the 64-bit build tree) drives them in the same Wine session,
# with every 32-bit process under user-mode emulation:
# Wine's 32-bit loader is a 32-bit Linux program, and Wine starts every further process
# by executing its loader again. Inside a user namespace of our own, a private binfmt_misc
# hands every 32-bit Linux program to qemu-i386 (user-mode emulation); nothing is registered
# for the machine, and everything the namespace started ends with it. The Wine prefix is a
# 64-bit one (made without any 32-bit process) whose syswow64 folder holds Wine's 32-bit
# built-in DLLs, kept in <32-bit build dir>/shipped/wine.
#
# Exits 0 when the tests passed, 3 with a line "Shipped 32-bit program: not run: <why>"
# where they could not run at all (no qemu-i386, or no user namespace with binfmt_misc),
# and any other status when they failed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# The second stage, inside the namespace: register the emulator, then run the tests.
if [ "${1:-}" = --inside ]; then
  shift
  wrapper=$1; shift
  mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  # ELF, 32-bit, little-endian, executable or shared object, Intel 80386 (the mask of
  # qemu's own binfmt set-up). P: the wrapper gets the program's path and its argv[0].
  magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  printf ':pictavo-i386:M::%s:%s:%s:P' "$magic" "$mask" "$wrapper" > /proc/sys/fs/binfmt_misc/register
  exec "$@"
fi

build=$(cd "${1:-$root/build}" && pwd)
skip() { echo "Shipped 32-bit program: not run: $*"; exit 3; }
need() { for file; do [ -f "$file" ] || { echo "Shipped 32-bit program: $file is missing: build it first." >&2; exit 1; }; done; }

if "$root/scripts/can-run-32bit.sh"; then
  need "$build/pictavo.exe" "$build/pictavo-setup.exe" "$build/tests/shipped/pictavo_shipped.exe"
  # A prefix apart from the test tree's: setup installs into it.
  direct="$build/shipped-direct"
  mkdir -p "$direct"
  cp "$build/wine-loader" "$direct/wine-loader"
  echo "== Shipped 32-bit program ($build/pictavo.exe, pictavo-setup.exe), run directly"
  export PICTAVO_EXE="Z:$build/pictavo.exe"
  exec "$root/scripts/in-wine-display.sh" "$direct" \
    wine "$build/tests/shipped/pictavo_shipped.exe" --gtest_color=no "${@:3}"
fi
[ -d "${2:-$root/build-x64}" ] || { echo "Shipped 32-bit program: no 64-bit build tree ${2:-$root/build-x64}: build it first." >&2; exit 1; }
build64=$(cd "${2:-$root/build-x64}" && pwd)
qemu=$(command -v qemu-i386 || true)
[ -n "$qemu" ] || skip "no qemu-i386 (Debian package qemu-user) on this machine."
need "$build/pictavo.exe" "$build/pictavo-setup.exe" "$build64/tests/shipped/pictavo_shipped.exe"
if ! probe=$(unshare --user --map-root-user --mount \
               sh -c 'mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc' 2>&1); then
  skip "no user namespace with a binfmt_misc of its own here (Linux 6.7 or later allows it): $probe"
fi

# The session's own build tree: its Wine loader is wine64, its prefix a 64-bit one.
shipped="$build/shipped"
prefix="$shipped/wine"
mkdir -p "$shipped"
echo "/usr/lib/wine/wine64 win64" > "$shipped/wine-loader"
wow64dlls=/usr/lib/i386-linux-gnu/wine/i386-windows
[ -d "$wow64dlls" ] || { echo "Shipped 32-bit program: no $wow64dlls (wine32:i386)" >&2; exit 1; }
if [ ! -f "$prefix/system.reg" ]; then
  # Made outside the namespace: no 32-bit process is tried, and none costs an emulated start.
  "$root/scripts/in-wine-display.sh" "$shipped" true
fi
# Linked (or copied) afresh when Wine changed, so that they always match its loader.
syswow64="$prefix/drive_c/windows/syswow64"
from="$(/usr/lib/wine/wine64 --version) $wow64dlls"
if [ "$(cat "$syswow64/.from" 2>/dev/null)" != "$from" ]; then
  rm -rf "$syswow64"
  mkdir -p "$syswow64"
  cp -al "$wow64dlls/." "$syswow64/" 2>/dev/null || cp -a "$wow64dlls/." "$syswow64/"
  echo "$from" > "$syswow64/.from"
fi

# What binfmt_misc runs for a 32-bit program: qemu-i386 with the program's own argv[0]. The
# guest gets the lower 3 GiB of addresses, as a 32-bit Linux program has.
cat > "$shipped/qemu-i386-wrapper" <<EOF
#!/bin/sh
path=\$1; argv0=\$2; shift 2
exec "$qemu" -R 0xc0000000 -0 "\$argv0" "\$path" "\$@"
EOF
chmod +x "$shipped/qemu-i386-wrapper"

# The prefix was made without a 32-bit process, so its 32-bit view of the registry holds no
# COM classes: the imaging component that decodes every picture but a bitmap would not be
# found by a 32-bit program. Its own 32-bit DLL registers it there, once per copy of the DLLs.
registered="$syswow64/.registered"
run='marker=$1; shift
[ -e "$marker" ] || { wine "C:\\windows\\syswow64\\regsvr32.exe" /s windowscodecs.dll && touch "$marker"; }
exec wine "$@"'

echo "== Shipped 32-bit program ($build/pictavo.exe, pictavo-setup.exe) under qemu-i386"
echo "   Each 32-bit process takes about half a minute of processor time to start."
export PICTAVO_EXE="Z:$build/pictavo.exe"
status=0
TIMEFORMAT='== Shipped 32-bit program took %0R s, processor time %0U s user + %0S s system'
time unshare --user --map-root-user --mount --pid --fork --mount-proc \
  "$root/scripts/test-shipped.sh" --inside "$shipped/qemu-i386-wrapper" \
  "$root/scripts/in-wine-display.sh" "$shipped" \
  sh -c "$run" register "$registered" \
  "$build64/tests/shipped/pictavo_shipped.exe" --gtest_color=no "${@:3}" || status=$?
exit $status
