#!/usr/bin/env bash
# Runs a command with the build's own Wine prefix inside a virtual X display.
# A wineserver started without a display poisons the prefix (every later window
# fails), so any wineserver of the prefix is ended before and after.
set -euo pipefail
build=$(cd "$1" && pwd); shift
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine-env.sh"
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
status=0
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -e
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Preparing the Wine prefix $WINEPREFIX (once)"
    wine wineboot.exe -i >/dev/null 2>&1 || true
    # A crashing program is reported on stderr and ended, never held in a dialog.
    wine reg add "HKCU\\Software\\Wine\\WineDbg" /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
    # Every program runs inside one virtual desktop, as on Windows: with a
    # taskbar and notification area, and without waiting on an X window manager.
    wine reg add "HKCU\\Software\\Wine\\Explorer" /v Desktop /d Default /f >/dev/null 2>&1 || true
    wine reg add "HKCU\\Software\\Wine\\Explorer\\Desktops" /v Default /d 1024x768 /f >/dev/null 2>&1 || true
    wineserver -w
  fi
  # Wine'"'"'s own fonts (Marlett draws the title-bar buttons and menu check
  # marks, Tahoma is the dialog font) come in fonts-wine under
  # /usr/share/wine/fonts, where this Wine build does not look: without them
  # the buttons show the letters "0 1 r". The prefix'"'"'s Fonts folder is seen.
  if [ -d /usr/share/wine/fonts ]; then
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  # One wineserver for the whole command: otherwise it ends with each program,
  # and every test program of a run would wait for Wine to start up again.
  wineserver -p
  # Wine starts its services and the virtual desktop with the first program,
  # and they keep that program'"'"'s output open: ctest would wait on a finished
  # test for as long as they run. Started here, they hold no one'"'"'s output.
  wine explorer.exe /desktop=Default,1024x768 </dev/null >/dev/null 2>&1 &
  status=0
  "$@" || status=$?
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  exit $status
' in-wine-display "$@" || status=$?
exit $status
