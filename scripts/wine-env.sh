# Sourced by the scripts that run Wine for a build tree ($build): picks the
# Wine loader that matches the tree's programs and puts a `wine` command for it
# first on PATH, so every later `wine ...` runs them in the tree's own prefix.
# A tree of 32-bit programs needs the 32-bit loader (wine32:i386), which only
# runs where the kernel can run 32-bit Linux programs; a tree of 64-bit
# programs runs under wine64.
read -r loader WINEARCH < "$build/wine-loader"
export WINEARCH
mkdir -p "$build/winebin"
printf '#!/bin/sh\nexec %s "$@"\n' "$loader" > "$build/winebin/wine"
chmod +x "$build/winebin/wine"
export PATH="$build/winebin:$PATH"
export WINEPREFIX="$build/wine"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer dialogs in a fresh prefix, and no menu entries on
# the Linux desktop for the shortcuts programs write.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
