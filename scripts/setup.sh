#!/usr/bin/env bash
# Installs what every build and test needs: the native build's packages, the
# rest of the test laboratory (MinGW, Wine's root builder, X tools, readers),
# the sources of the libraries the Windows build compiles itself (into
# deps/), and the Wine root that runs the 32-bit DLL. Safe to run again;
# when everything is there it only checks and returns. The main job needs
# only scripts/setup-native.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
deps_dir=${POLAR_DEPS_DIR:-$root/deps}

bash scripts/setup-native.sh
# Package names every supported Debian release has: the unversioned
# libclang-rt-dev follows the release's default clang. The tests also run
# setpriv (util-linux) and script (bsdutils), which even a minimal root has.
bash scripts/apt-install.sh \
  python3 \
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix \
  g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 \
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 libz-mingw-w64-dev \
  xvfb xauth xdotool imagemagick x11-utils debootstrap \
  gpsbabel libxml2-utils chromium librsvg2-bin \
  dpkg-dev file clang libclang-rt-dev llvm \
  util-linux bsdutils
bash scripts/fetch-sources.sh
# The Windows tests run the 32-bit DLL under Wine, from a root kept in a cache
# folder outside the clone. Where no way to run it exists, the rest still
# builds and test.sh fails the Windows tests once, saying why.
if bash scripts/wine-mode.sh >/dev/null; then
  bash scripts/wine-root.sh
fi
# The independent readers the host's converted files are checked with.
bash scripts/setup-readers.sh
echo "setup: ready ($(tr '\n' ' ' <"$deps_dir/VERSIONS"))"
