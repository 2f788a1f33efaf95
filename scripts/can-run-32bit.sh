#!/usr/bin/env bash
# Exits 0 when this machine can run 32-bit Windows programs under Wine. That
# needs the kernel to run 32-bit Linux programs (Wine's 32-bit loader is one);
# some kernels are booted with that switched off (ia32_emulation=off).
/usr/lib/wine/wine --version >/dev/null 2>&1
