#!/usr/bin/env bash
# Packs the converter for Debian: builds polarhost in the optimised release
# build (build/release) and writes dist/polarhost_<version>_<arch>.deb with
# cpack: the program stripped, its README and the copyright files of the
# libraries it links under /usr/share/doc/polarhost, and dependencies on the
# packages of those libraries (dpkg-shlibdeps). Prints the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-native.sh >&2
# dpkg-shlibdeps, which cpack runs for the dependencies, needs the file utility.
bash scripts/apt-install.sh dpkg-dev file >&2
POLAR_TARGETS=polarhost bash scripts/build.sh release >&2
(cd build/release && cpack -G DEB) >&2
version=$(sed -nE 's/^project\(PolarImport VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
package=polarhost_${version}_$(dpkg --print-architecture).deb
mkdir -p dist
mv "build/release/$package" "dist/$package"
echo "dist/$package"
