#!/usr/bin/env bash
# Packs the release: builds the win32 DLL and the stand-alone converter
# (optimised, stripped), checks the DLL against the host's contract and the
# converter for what it needs beside it and what it gives, and writes
# dist/PolarImport-<version>.zip with both, the converter's drop target, their
# texts and the licences of what is linked into them.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/setup.sh
POLAR_TARGETS="PolarImport polarhost_standalone" bash scripts/build.sh win32
python3 scripts/check-dll.py build/win32/PolarImport.dll

converter=build/win32/tools/host/standalone/polarhost.exe
# A converter for machines without the monitor's software: system DLLs only.
imports=$(i686-w64-mingw32-objdump -p "$converter" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort)
unexpected=$(grep -vxE 'advapi32\.dll|comctl32\.dll|comdlg32\.dll|gdi32\.dll|kernel32\.dll|msvcrt\.dll|shell32\.dll|user32\.dll' <<<"$imports" || true)
if [ -n "$unexpected" ]; then
  echo "package: $converter needs DLLs no Windows machine has: $unexpected" >&2
  exit 1
fi
# Alone in its folder, it analyses the example as the plug-in does.
report=$(bash scripts/wine-run.sh "$converter" --format json examples/ride.hrm) || true
if ! grep -q '"sampleCount":720,' <<<"$report"; then
  echo "package: $converter does not analyse examples/ride.hrm" >&2
  exit 1
fi

version=$(sed -nE 's/^project\(PolarImport VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
deps_dir=${POLAR_DEPS_DIR:-deps}
minizip_dir=$(dirname "$(ls "$deps_dir"/src/libminizip-dev/*/iowin32.c "$deps_dir"/src/libminizip-dev/*/contrib/minizip/iowin32.c 2>/dev/null | head -n 1)")
pugixml_dir=$(ls -d "$deps_dir"/src/libpugixml-dev/*/ | head -n 1)
mkdir -p dist
archive=dist/PolarImport-$version.zip

python3 - "$archive" "$version" "$converter" "$minizip_dir" "$pugixml_dir" <<'PY'
import os, sys, zipfile
archive, version, converter, minizip_dir, pugixml_dir = sys.argv[1:]

def read(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return f.read()

def text(path):
    # Windows line ends, for every editor there.
    return read(path).replace("@VERSION@", version).replace("\r\n", "\n").replace("\n", "\r\n")

def minizip_notice():
    # The notice at the head of unzip.h: copyright lines and conditions.
    text = read(os.path.join(minizip_dir, "unzip.h"))
    return text[text.index("/*") + 2:text.index("Changes")].rstrip(" -\n") + "\n"

gcc = "/usr/share/doc/gcc-mingw-w64-base/copyright"
# Both programs link the same libraries statically.
licenses = {
    # zlib is Debian's MinGW build of it.
    "zlib.txt": read("/usr/share/doc/libz-mingw-w64-dev/copyright"),
    "minizip.txt": minizip_notice(),
    "pugixml.txt": read(os.path.join(pugixml_dir, "LICENSE.md")),
    # The startup code and winpthreads.
    "mingw-w64-runtime.txt": read("/usr/share/doc/mingw-w64-common/copyright"),
    # libgcc and libstdc++: GPL 3 with the GCC Runtime Library Exception.
    "gcc-runtime.txt": read(gcc),
}
files = {
    "PolarImport.dll": open("build/win32/PolarImport.dll", "rb").read(),
    "INSTALL.txt": text("scripts/package/INSTALL.txt"),
    "converter/polarhost.exe": open(converter, "rb").read(),
    "converter/CONVERT.txt": text("scripts/package/CONVERT.txt"),
    # cmd reads batch files with Windows line ends reliably, not without.
    "converter/Convert to FIT and TCX.cmd": text("scripts/package/Convert to FIT and TCX.cmd"),
    "licenses/README.txt": text("scripts/package/LICENSES.txt"),
}
files.update({f"licenses/{name}": content for name, content in licenses.items()})
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
