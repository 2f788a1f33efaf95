#!/usr/bin/env bash
# Configures and builds the native tree of the pure code with clang (sanitized unit tests,
# the fuzz target and its seeds, the benchmark). Usage: native/build.sh [build-dir]
# PICTAVO_NATIVE_ARCH=i386 builds the sanitized unit tests alone as 32-bit programs instead,
# which CTest runs under qemu-i386 where the kernel cannot run them (no leak check there).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${1:-$root/build-native}"
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$root"
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
case "${PICTAVO_NATIVE_ARCH:-host}" in
  host) variant=(-DCMAKE_CXX_COMPILER=clang++) ;;
  i386) variant=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/clang-i386.cmake" -DPICTAVO_NATIVE_FULL=OFF
                 -DPICTAVO_NATIVE_TEST_PREFIX=native32.) ;;
  *) echo "PICTAVO_NATIVE_ARCH: host or i386" >&2; exit 2 ;;
esac
cmake -S "$root/native" -B "$build" "${variant[@]}" "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"
