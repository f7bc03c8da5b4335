# Cross-compiles for 64-bit Windows with Debian's MinGW-w64. The -posix
# compilers: the win32 thread flavour has no std::mutex or std::thread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KELMOR_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KELMOR_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KELMOR_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KELMOR_MINGW_PREFIX}-windres)

# Libraries and packages only from the MinGW tree, never the host's (its Qt,
# its GoogleTest); programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${KELMOR_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One .exe that needs no DLL beside it: the C++ runtime, libgcc and the
# thread library are linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs (and ctest) run through Wine on the build machine.
find_program(KELMOR_WINE wine)
if(KELMOR_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KELMOR_WINE})
endif()

