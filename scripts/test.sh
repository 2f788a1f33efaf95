#!/usr/bin/env bash
# Builds Pictavo and its tests, then runs every test under Wine in a virtual X display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${PICTAVO_BUILD_DIR:-$root/build}"

"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$build"
exec "$root/scripts/in-wine-display.sh" "$build" ctest --test-dir "$build" --output-on-failure "$@"
