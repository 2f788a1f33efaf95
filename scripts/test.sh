#!/usr/bin/env bash
# Builds Pictavo and its tests and runs them, the same trees on every machine:
#  - the pure code natively under the sanitizers (with a short fuzz run of the table-file
#    reader), and built as 32-bit programs;
#  - the 32-bit tree (the program as shipped, with its tests), always built; its tests run
#    under Wine where this machine can run 32-bit programs;
#  - where it cannot (a kernel booted with ia32 emulation off, so Wine's 32-bit loader does
#    not start), the same source built as a 64-bit tree whose tests run under wine64, and
#    the shipped 32-bit program proven under user-mode emulation instead;
#  - the shipped program's own tests (setup, uninstall, the tray, the pause and hot key in
#    32 bits): directly on the 32-bit tree where it runs, emulated where it does not.
# The summary names each part "passed", "FAILED" or "not run" with the reason; a part that
# could not run never reads "passed". Fails when any part that ran failed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${PICTAVO_BUILD_DIR:-$root/build}"
build64="$build-x64"
native="${PICTAVO_NATIVE_BUILD_DIR:-$root/build-native}"
native32="$native-i386"

"$root/scripts/setup.sh"

# One summary line per part: "<part>: <verdict>".
summary=()
failed=0
record() {  # part, exit status, [reason when not run]
  local verdict
  case "$2" in
    0) verdict="passed" ;;
    notrun) verdict="not run: $3" ;;
    *) verdict="FAILED (exit $2)"; failed=1 ;;
  esac
  summary+=("$1: $verdict")
}
run() {  # part, command...: runs it and records its verdict
  local part=$1 status=0
  shift
  "$@" || status=$?
  record "$part" "$status"
}

native_tests() { "$root/native/build.sh" "$native" && ctest --test-dir "$native" --output-on-failure "$@"; }
native32_tests() {
  PICTAVO_NATIVE_ARCH=i386 "$root/native/build.sh" "$native32" &&
    ctest --test-dir "$native32" --output-on-failure "$@"
}
echo "== Native tests: the pure code built with clang, AddressSanitizer + UndefinedBehaviorSanitizer, and a libFuzzer run ($native)"
run "Native tests" native_tests "$@"
echo "== Native tests built for i386 (clang -m32), run under qemu-i386 ($native32)"
run "Native tests in 32 bits" native32_tests "$@"

echo "== The 32-bit tree, as shipped, with its tests ($build)"
build32_status=0
"$root/scripts/build.sh" "$build" || build32_status=$?
record "32-bit tree built with its tests" "$build32_status"

if "$root/scripts/can-run-32bit.sh"; then
  echo "== Windows tests under Wine, on the 32-bit tree ($build)"
  if [ "$build32_status" -eq 0 ]; then
    run "Windows tests under Wine, 32-bit tree" \
      "$root/scripts/in-wine-display.sh" "$build" ctest --test-dir "$build" --output-on-failure "$@"
  else
    record "Windows tests under Wine, 32-bit tree" notrun "the 32-bit tree did not build"
  fi
  record "Windows tests under Wine, 64-bit tree" notrun "this machine runs the 32-bit tree itself"
else
  echo "This machine cannot run 32-bit programs: the 32-bit tree is built, not run; the same"
  echo "source is built as a 64-bit tree whose tests run under wine64 ($build64)."
  record "Windows tests under Wine, 32-bit tree" notrun \
    "this machine cannot run 32-bit programs (built only; the 64-bit tree and the shipped program's emulated run stand in)"
  echo "== Windows tests under Wine, on the 64-bit tree ($build64)"
  if PICTAVO_ARCH=x86_64 "$root/scripts/build.sh" "$build64"; then
    run "Windows tests under Wine, 64-bit tree" \
      "$root/scripts/in-wine-display.sh" "$build64" ctest --test-dir "$build64" --output-on-failure "$@"
  else
    record "Windows tests under Wine, 64-bit tree" 1
  fi
fi

# The program and setup as shipped; not when CTest options chose some tests.
if [ $# -gt 0 ]; then
  record "Shipped 32-bit program" notrun "CTest options chose some tests"
elif [ "$build32_status" -ne 0 ]; then
  record "Shipped 32-bit program" notrun "the 32-bit tree did not build"
else
  shipped_status=0
  shipped_log="$build/shipped-run.log"
  mkdir -p "$build"
  "$root/scripts/test-shipped.sh" "$build" "$build64" 2>&1 | tee "$shipped_log" || shipped_status=${PIPESTATUS[0]}
  if [ "$shipped_status" -eq 3 ]; then
    record "Shipped 32-bit program" notrun "$(sed -n 's/^Shipped 32-bit program: not run: //p' "$shipped_log" | tail -1)"
  else
    record "Shipped 32-bit program" "$shipped_status"
  fi
fi

echo "== Summary (this machine $("$root/scripts/can-run-32bit.sh" && echo runs || echo cannot run) 32-bit programs)"
for line in "${summary[@]}"; do echo "== $line"; done
[ "$failed" -eq 0 ]
