# What both Windows cross builds share, for the triplet the including
# toolchain file sets: Debian's MinGW-w64 -posix compilers (GoogleTest needs
# std::mutex, which the -win32 ones lack) and their target root.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${POLAR_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${POLAR_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${POLAR_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${POLAR_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
