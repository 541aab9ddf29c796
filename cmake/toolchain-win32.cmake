# Cross build for 32-bit Windows, the product DLL.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(POLAR_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# CTest runs the test programs under Wine's WoW64 mode: 32-bit Windows code
# inside a 64-bit Wine process (this kernel refuses 32-bit Linux programs).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)

# Doubles are computed in SSE2 registers, rounded to 64 bits at every step as
# on x86-64: x87's 80-bit intermediates would round some sums and quotients
# one last bit differently (double rounding), so the records handed to the
# host would depend on the build. Every x86 processor since 2003 has SSE2.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
