# The pure code's native build as a 32-bit Linux program (clang -m32), for the native tree's
# 32-bit variant. The kernel here may not run 32-bit programs: they run under qemu-i386.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
find_program(PICTAVO_QEMU_I386 qemu-i386 REQUIRED)
# LeakSanitizer's check at exit hangs under qemu-user (it stops the program's threads with
# ptrace): off for every run, the test listing at build time as well.
set(CMAKE_CROSSCOMPILING_EMULATOR env ASAN_OPTIONS=detect_leaks=0 ${PICTAVO_QEMU_I386})
