# Cross build for 32-bit Windows, the product DLL.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(POLAR_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# No emulator: this machine cannot execute 32-bit code, the DLL is checked
# statically by scripts/check-dll.py.
