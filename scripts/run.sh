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
if ! "$root/scripts/can-run-32bit.sh"; then
  # Wine's 32-bit loader cannot start here: run the 64-bit build of the same source.
  echo "This machine cannot run 32-bit programs: starting the 64-bit build instead." >&2
  export PICTAVO_ARCH=x86_64
  build="$build-x64"
fi
PICTAVO_TESTS=OFF "$root/scripts/build.sh" "$build"
source "$root/scripts/wine-env.sh"
# Wine's own fonts into the prefix, where this Wine build looks for them
# (without Marlett the title-bar buttons show "0 1 r").
[ -f "$WINEPREFIX/system.reg" ] || wine wineboot.exe -i >/dev/null 2>&1 || true
if [ -d /usr/share/wine/fonts ]; then
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
fi
# The program keeps its settings and pictures beside itself: give it a folder of its own.
mkdir -p "$build/run"
cp "$build/pictavo.exe" "$build/run/pictavo.exe"
cd "$build/run"
exec wine explorer /desktop=Pictavo,1024x768 pictavo.exe "$@"
