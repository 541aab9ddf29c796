#!/usr/bin/env bash
# Installs what the native build needs and nothing more: the compiler, CMake
# and the -dev packages of the libraries it links. The main job needs only
# this; scripts/setup.sh adds the rest of the test laboratory.
set -euo pipefail
cd "$(dirname "$0")/.."
exec bash scripts/apt-install.sh \
  cmake ninja-build g++ pkg-config \
  libminizip-dev libpugixml-dev zlib1g-dev libgtest-dev googletest
