#!/usr/bin/env bash
# Packs the release: builds the win32 DLL (optimised, stripped), checks it
# against the host's contract, and writes dist/PolarImport-<version>.zip with
# the DLL, the installation text and the licences of what is linked into it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/setup.sh
bash scripts/build.sh win32
python3 scripts/check-dll.py build/win32/PolarImport.dll

version=$(sed -nE 's/^project\(PolarImport VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
deps_dir=${POLAR_DEPS_DIR:-deps}
minizip_dir=$(dirname "$(ls "$deps_dir"/src/libminizip-dev/*/iowin32.c "$deps_dir"/src/libminizip-dev/*/contrib/minizip/iowin32.c 2>/dev/null | head -n 1)")
pugixml_dir=$(ls -d "$deps_dir"/src/libpugixml-dev/*/ | head -n 1)
mkdir -p dist
archive=dist/PolarImport-$version.zip

python3 - "$archive" "$version" "$minizip_dir" "$pugixml_dir" <<'PY'
import os, sys, zipfile
archive, version, minizip_dir, pugixml_dir = sys.argv[1:]

def read(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return f.read()

def minizip_notice():
    # The notice at the head of unzip.h: copyright lines and conditions.
    text = read(os.path.join(minizip_dir, "unzip.h"))
    return text[text.index("/*") + 2:text.index("Changes")].rstrip(" -\n") + "\n"

gcc = "/usr/share/doc/gcc-mingw-w64-base/copyright"
files = {
    "PolarImport.dll": open("build/win32/PolarImport.dll", "rb").read(),
    "INSTALL.txt": read("scripts/package/INSTALL.txt").replace("@VERSION@", version),
    # zlib is Debian's MinGW build of it.
    "licenses/zlib.txt": read("/usr/share/doc/libz-mingw-w64-dev/copyright"),
    "licenses/minizip.txt": minizip_notice(),
    "licenses/pugixml.txt": read(os.path.join(pugixml_dir, "LICENSE.md")),
    # The startup code and winpthreads linked in statically.
    "licenses/mingw-w64-runtime.txt": read("/usr/share/doc/mingw-w64-common/copyright"),
    # libgcc and libstdc++: GPL 3 with the GCC Runtime Library Exception.
    "licenses/gcc-runtime.txt": read(gcc),
}
partial = archive + ".partial"
with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
    for name, content in files.items():
        info = zipfile.ZipInfo(f"PolarImport-{version}/{name}", date_time=(2026, 1, 1, 0, 0, 0))
        info.compress_type = zipfile.ZIP_DEFLATED
        info.external_attr = 0o644 << 16
        z.writestr(info, content)
os.replace(partial, archive)
PY
echo "package: $root/$archive ($(stat -c %s "$archive") bytes)"
unzip -l "$archive" 2>/dev/null || python3 -m zipfile -l "$archive"
