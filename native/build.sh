#!/usr/bin/env bash
# Configures and builds the native tree of the pure code with clang (sanitized unit tests,
# the fuzz target and its seeds, the benchmark). Usage: native/build.sh [build-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${1:-$root/build-native}"
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$root"
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root/native" -B "$build" -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"
