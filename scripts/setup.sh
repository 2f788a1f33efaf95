#!/usr/bin/env bash
# Installs what building and testing Pictavo needs on Debian 12, if it is missing.
set -euo pipefail

need=()
command -v i686-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-i686)
command -v cmake >/dev/null || need+=(cmake)
command -v wine >/dev/null || need+=(wine)
[ -x /usr/lib/wine/wine64 ] || need+=(wine64)
dpkg -s wine32:i386 >/dev/null 2>&1 || need+=(wine32:i386)
# Wine's own fonts (title-bar buttons, menu check marks, dialog font); only recommended by wine.
[ -f /usr/share/wine/fonts/marlett.ttf ] || need+=(fonts-wine)
command -v xvfb-run >/dev/null || need+=(xvfb)
command -v xauth >/dev/null || need+=(xauth)
command -v import >/dev/null || need+=(imagemagick)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(libgtest-dev)
# The help: its compiler, and a CHM reader the tests read it back with.
command -v chmcmd >/dev/null || need+=(fp-utils)
command -v extract_chmLib >/dev/null || need+=(libchm-bin)
# The installer.
command -v makensis >/dev/null || need+=(nsis)
command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64)
# The native sanitizer and fuzz build of the pure code: clang with its sanitizer and libFuzzer runtimes.
command -v clang++ >/dev/null || need+=(clang)
dpkg -s libclang-rt-dev >/dev/null 2>&1 || need+=(libclang-rt-dev)
# The pure code's tests built as 32-bit programs (clang -m32): the 32-bit C and C++ libraries.
dpkg -s lib32stdc++-12-dev >/dev/null 2>&1 || need+=(lib32stdc++-12-dev)
dpkg -s libc6-dev-i386 >/dev/null 2>&1 || need+=(libc6-dev-i386)
# The Japanese locale for the tests at a double-byte code page: Wine takes the
# code page from the locale's name, but without the locale itself it cannot
# spell a non-ASCII file name on the Linux side.
dpkg -s locales >/dev/null 2>&1 || need+=(locales)
# 32-bit programs run under user-mode emulation where the kernel cannot run them; without
# its recommended qemu-user-binfmt, which would hand them to qemu machine-wide.
qemu=()
command -v qemu-i386 >/dev/null || qemu=(qemu-user)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ ${#need[@]} -gt 0 ] || [ ${#qemu[@]} -gt 0 ]; then
  echo "Installing: ${need[*]} ${qemu[*]}"
  $sudo dpkg --add-architecture i386
  $sudo apt-get update -qq
  [ ${#need[@]} -eq 0 ] || DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${need[@]}" >/dev/null
  [ ${#qemu[@]} -eq 0 ] ||
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${qemu[@]}" >/dev/null
fi
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf-\?8'; then
  echo "Generating the locale ja_JP.UTF-8"
  $sudo localedef -i ja_JP -c -f UTF-8 ja_JP.UTF-8
fi
