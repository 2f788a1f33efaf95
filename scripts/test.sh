#!/usr/bin/env bash
# Builds Pictavo and its tests, then runs every test under Wine in a virtual X display.
#
# The program ships as a 32-bit Windows program and is always built so. Its
# tests run on that build where this machine can run 32-bit programs; on a
# machine whose kernel cannot (ia32 emulation switched off), Wine's 32-bit
# loader cannot start, so the same source is built as a 64-bit program and
# tested under wine64 instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${PICTAVO_BUILD_DIR:-$root/build}"

"$root/scripts/setup.sh"
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
exec "$root/scripts/in-wine-display.sh" "$test_build" ctest --test-dir "$test_build" --output-on-failure "$@"
