#!/usr/bin/env bash
# Builds Pictavo and its tests, runs the pure code's tests natively under the sanitizers
# (with a short fuzz run of the table-file reader) and built as 32-bit programs, then every
# test under Wine in a virtual X display, then the shipped 32-bit program itself where the
# Wine tests ran on the 64-bit build. Fails when any part fails.
#
# The program ships as a 32-bit Windows program and is always built so. Its
# tests run on that build where this machine can run 32-bit programs; on a
# machine whose kernel cannot (ia32 emulation switched off), Wine's 32-bit
# loader cannot start, so the same source is built as a 64-bit program and
# tested under wine64 instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${PICTAVO_BUILD_DIR:-$root/build}"
native="${PICTAVO_NATIVE_BUILD_DIR:-$root/build-native}"
native32="$native-i386"

"$root/scripts/setup.sh"

echo "== Native tests: the pure code built with clang, AddressSanitizer + UndefinedBehaviorSanitizer, and a libFuzzer run ($native)"
native_status=0
"$root/native/build.sh" "$native" && ctest --test-dir "$native" --output-on-failure "$@" || native_status=$?
echo "== Native tests built for i386 (clang -m32), run under qemu-i386 ($native32)"
native32_status=0
PICTAVO_NATIVE_ARCH=i386 "$root/native/build.sh" "$native32" &&
  ctest --test-dir "$native32" --output-on-failure "$@" || native32_status=$?

echo "== Windows tests under Wine"
if "$root/scripts/can-run-32bit.sh"; then
  "$root/scripts/build.sh" "$build"
  test_build="$build"
else
  echo "This machine cannot run 32-bit programs: building the 32-bit program, then"
  echo "testing the same source built as a 64-bit program under wine64 ($build-x64)."
  PICTAVO_TESTS=OFF "$root/scripts/build.sh" "$build"
  test_build="$build-x64"
  PICTAVO_ARCH=x86_64 "$root/scripts/build.sh" "$test_build"
fi
wine_status=0
"$root/scripts/in-wine-display.sh" "$test_build" ctest --test-dir "$test_build" --output-on-failure "$@" || wine_status=$?

# The 32-bit program and setup as shipped, under emulation, where the suite ran on the 64-bit
# build; not when CTest options chose some tests.
shipped_status=0
if [ "$test_build" != "$build" ] && [ $# -eq 0 ]; then
  "$root/scripts/test-shipped.sh" "$build" "$test_build" || shipped_status=$?
fi

verdict() { [ "$1" -eq 0 ] && echo "passed" || echo "FAILED (exit $1)"; }
echo "== Native tests: $(verdict $native_status)"
echo "== Native tests in 32 bits: $(verdict $native32_status)"
echo "== Windows tests under Wine: $(verdict $wine_status)"
echo "== Shipped 32-bit program: $(verdict $shipped_status)"
[ "$native_status" -eq 0 ] && [ "$native32_status" -eq 0 ] && [ "$wine_status" -eq 0 ] &&
  [ "$shipped_status" -eq 0 ]
