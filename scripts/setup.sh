#!/usr/bin/env bash
# Installs what the builds and tests need: Debian packages, the sources of
# the libraries the Windows build compiles itself (into deps/), and the Wine
# root that runs the 32-bit DLL. Safe to run again; when everything is there
# it only checks and returns.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
deps_dir=${POLAR_DEPS_DIR:-$root/deps}

packages=(
  cmake ninja-build g++ pkg-config python3
  libgtest-dev googletest libminizip-dev libpugixml-dev zlib1g-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 libz-mingw-w64-dev
  xvfb xauth xdotool imagemagick x11-utils debootstrap
  gpsbabel libxml2-utils
  dpkg-dev clang libclang-rt-14-dev llvm
)
# Libraries the Windows builds compile from Debian's sources.
source_packages=(zlib pugixml)

say() { echo "setup: $*"; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_packages() {
  local missing=() p
  for p in "${packages[@]}"; do
    if [ "$(dpkg-query -W -f='${db:Status-Abbrev}' "$p" 2>/dev/null)" != "ii " ]; then missing+=("$p"); fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  say "installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # Update the package lists only when the install cannot go ahead without it.
  if ! compgen -G '/var/lib/apt/lists/*_Packages*' >/dev/null ||
     ! as_root apt-get install -y -q "${missing[@]}"; then
    as_root apt-get update -q
    as_root apt-get install -y -q "${missing[@]}"
  fi
}

# deb-src entries (deb822) with the machine's own URIs, suites and components.
# The security suite is left out: its source files are not served.
derive_source_entries() {
  {
    local f
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] && { cat "$f"; echo; }
    done
  } | awk '
    function flush() {
      if (types ~ /(^| )deb( |$)/ && tolower(enabled) != "no" && uris != "") {
        n = split(suites, s, " "); keep = ""
        for (i = 1; i <= n; i++) if (s[i] !~ /-security$/ && uris !~ /security/) keep = keep " " s[i]
        if (keep != "") {
          print "Types: deb-src"; print "URIs: " uris; print "Suites:" keep
          if (comps != "") print "Components: " comps
          if (signed != "") print "Signed-By: " signed
          print ""
        }
      }
      types = uris = suites = comps = signed = enabled = ""
    }
    /^[ \t]*#/ { next }
    /^[ \t]*$/ { flush(); next }
    {
      key = $1; sub(/:$/, "", key); val = $0; sub(/^[^:]*:[ \t]*/, "", val)
      k = tolower(key)
      if (k == "types") types = val; else if (k == "uris") uris = val
      else if (k == "suites") suites = val; else if (k == "components") comps = val
      else if (k == "signed-by") signed = val; else if (k == "enabled") enabled = val
    }
    END { flush() }'
  # One-line format of sources.list and *.list files.
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    awk '
      $1 == "deb" {
        opts = ""; i = 2
        if ($2 ~ /^\[/) { opts = $2; i = 3; while ($(i-1) !~ /\]$/) { opts = opts " " $i; i++ } }
        uri = $i; suite = $(i+1)
        if (suite ~ /-security$/ || uri ~ /security/) next
        print "Types: deb-src"; print "URIs: " uri; print "Suites: " suite
        comps = ""; for (j = i + 2; j <= NF; j++) comps = comps " " $j
        if (comps != "") print "Components:" comps
        if (match(opts, /signed-by=[^] ]*/)) print "Signed-By: " substr(opts, RSTART + 10, RLENGTH - 10)
        print ""
      }' "$f"
  done
}

# True when deps/VERSIONS names every source package and its tree is there.
sources_present() {
  local versions=$deps_dir/VERSIONS name
  [ -f "$versions" ] || return 1
  for name in "${source_packages[@]}"; do
    grep -q "^$name " "$versions" || return 1
  done
  compgen -G "$deps_dir/src/zlib-*/contrib/minizip/iowin32.c" >/dev/null &&
    compgen -G "$deps_dir/src/pugixml-*/src/pugixml.cpp" >/dev/null
}

newest_version() {
  local best="" v
  for v in "$@"; do
    if [ -z "$best" ] || dpkg --compare-versions "$v" gt "$best"; then best=$v; fi
  done
  echo "$best"
}

fetch_sources() {
  sources_present && return 0
  local apt_dir=$deps_dir/apt
  mkdir -p "$apt_dir/sources" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$deps_dir/src"
  derive_source_entries >"$apt_dir/sources/deb-src.sources"
  if [ ! -s "$apt_dir/sources/deb-src.sources" ]; then
    say "no apt sources found to derive source entries from" >&2
    return 1
  fi
  local apt_opts=(
    -o Dir::Etc::SourceList=/dev/null
    -o "Dir::Etc::SourceParts=$apt_dir/sources"
    -o "Dir::State::Lists=$apt_dir/lists"
    -o "Dir::Cache=$apt_dir/cache"
    -o APT::Sandbox::User=root
  )
  say "updating the private source lists"
  # A source that serves no deb-src index only warns here; a missing package fails below.
  apt-get "${apt_opts[@]}" update -q || say "some source lists could not be updated"
  : >"$deps_dir/VERSIONS.new"
  local name version
  for name in "${source_packages[@]}"; do
    version=$(newest_version $(apt-cache "${apt_opts[@]}" showsrc --only-source "$name" | awk '/^Version:/ {print $2}'))
    if [ -z "$version" ]; then
      say "no source package $name in the apt sources" >&2
      return 1
    fi
    say "fetching $name $version"
    rm -rf "$deps_dir/src/$name"-* "$deps_dir/src/$name"_*
    (cd "$deps_dir/src" && apt-get "${apt_opts[@]}" source -q "$name=$version")
    echo "$name $version" >>"$deps_dir/VERSIONS.new"
  done
  mv "$deps_dir/VERSIONS.new" "$deps_dir/VERSIONS"
  sources_present
}

install_packages
fetch_sources
# The Windows tests run the 32-bit DLL under Wine, from a root kept in a cache
# folder outside the clone. Where no way to run it exists, the rest still
# builds and test.sh fails the Windows tests once, saying why.
if bash scripts/wine-mode.sh >/dev/null; then
  bash scripts/wine-root.sh
fi
# The independent readers the host's converted files are checked with.
bash scripts/setup-readers.sh
say "ready ($(tr '\n' ' ' <"$deps_dir/VERSIONS"))"
