#!/usr/bin/env bash
# Configures and builds the project's builds under build/:
#   native       Linux g++, the fast tests
#   native-asan  the same with ASan and UBSan
#   win32        the product DLL (i686 MinGW)
#   win64        the same sources for 64-bit Windows, tested under wine64
# Arguments select builds (default: all four). POLAR_JOBS sets the parallelism.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=${POLAR_JOBS:-2}

all=(native native-asan win32 win64)
builds=("$@")
[ ${#builds[@]} -eq 0 ] && builds=("${all[@]}")

generator=()
command -v ninja >/dev/null && generator=(-G Ninja)

for build in "${builds[@]}"; do
  options=()
  case $build in
    native) ;;
    native-asan) options=(-DPOLAR_SANITIZE=ON) ;;
    win32) options=("-DCMAKE_TOOLCHAIN_FILE=$root/cmake/toolchain-win32.cmake") ;;
    win64) options=("-DCMAKE_TOOLCHAIN_FILE=$root/cmake/toolchain-win64.cmake") ;;
    *) echo "build.sh: unknown build '$build' (known: ${all[*]})" >&2; exit 2 ;;
  esac
  dir=$root/build/$build
  echo "== build $build"
  # Configure once; later runs let the generator re-run CMake when needed.
  if [ ! -f "$dir/CMakeCache.txt" ] || { [ ! -f "$dir/build.ninja" ] && [ ! -f "$dir/Makefile" ]; }; then
    cmake -S "$root" -B "$dir" "${generator[@]}" "${options[@]}"
  fi
  cmake --build "$dir" -j "$jobs"
done
