# Cross build for 32-bit Windows, the product DLL.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(POLAR_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# CTest runs the test programs under Wine's WoW64 mode: 32-bit Windows code
# inside a 64-bit Wine process (this kernel refuses 32-bit Linux programs).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
