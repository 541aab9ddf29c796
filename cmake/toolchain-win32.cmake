# Cross build for 32-bit Windows with Debian's MinGW-w64 (the -posix
# compilers: GoogleTest needs std::mutex, which the -win32 ones lack).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(POLAR_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_C_COMPILER ${POLAR_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${POLAR_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${POLAR_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${POLAR_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No emulator: this machine cannot execute 32-bit code, the DLL is checked
# statically by scripts/check-dll.py.
