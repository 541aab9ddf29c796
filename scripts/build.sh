#!/usr/bin/env bash
# Configures and builds the project's builds under build/:
#   native       Linux g++, the fast tests
#   native-asan  the same with ASan and UBSan
#   win32        the product DLL (i686 MinGW, optimised, stripped) and the
#                Windows tests, which run it under Wine's WoW64 mode
#   release      Linux g++, optimised: the converter to install or pack
#                (scripts/deb.sh); cpack there builds nothing itself
# Arguments select builds (default: the first three). POLAR_JOBS sets the parallelism;
# POLAR_TARGETS, when set, names the targets to build instead of all.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=${POLAR_JOBS:-2}
targets=()
for target in ${POLAR_TARGETS:-}; do targets+=(--target "$target"); done

all=(native native-asan win32)
builds=("$@")
[ ${#builds[@]} -eq 0 ] && builds=("${all[@]}")

generator=()
command -v ninja >/dev/null && generator=(-G Ninja)

for build in "${builds[@]}"; do
  options=()
  case $build in
    native) ;;
    native-asan) options=(-DPOLAR_SANITIZE=ON) ;;
    win32) options=("-DCMAKE_TOOLCHAIN_FILE=$root/cmake/toolchain-win32.cmake" -DCMAKE_BUILD_TYPE=Release) ;;
    release) options=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON) ;;
    *) echo "build.sh: unknown build '$build' (known: ${all[*]} release)" >&2; exit 2 ;;
  esac
  dir=$root/build/$build
  echo "== build $build"
  # Configure once; later runs let the generator re-run CMake when needed.
  if [ ! -f "$dir/CMakeCache.txt" ] || { [ ! -f "$dir/build.ninja" ] && [ ! -f "$dir/Makefile" ]; }; then
    cmake -S "$root" -B "$dir" "${generator[@]}" "${options[@]}"
  fi
  cmake --build "$dir" -j "$jobs" "${targets[@]}"
done
