#!/usr/bin/env bash
# Builds Pictavo and starts it under Wine in a virtual desktop window.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${PICTAVO_BUILD_DIR:-$root/build}"

if [ -z "${DISPLAY:-}" ]; then
  echo "There is no X display to show Pictavo on (DISPLAY is not set)." >&2
  echo "Run it from a desktop session, or through a virtual display:" >&2
  echo "  xvfb-run -a -s '-screen 0 1024x768x24' bash scripts/run.sh" >&2
  exit 1
fi
"$root/scripts/setup.sh"
PICTAVO_TESTS=OFF "$root/scripts/build.sh" "$build"
export WINEPREFIX="$build/wine"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# The program keeps its settings and pictures beside itself: give it a folder of its own.
mkdir -p "$build/run"
cp "$build/pictavo.exe" "$build/run/pictavo.exe"
cd "$build/run"
exec wine explorer /desktop=Pictavo,1024x768 pictavo.exe "$@"
