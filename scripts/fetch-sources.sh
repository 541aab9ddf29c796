#!/usr/bin/env bash
# Unpacks into deps/src the Debian sources of the libraries the Windows build
# compiles itself, each at the version of the -dev package the native build
# links, so both builds read and write with the same library code. One tree
# per -dev package, in deps/src/<-dev package>/; deps/VERSIONS records them,
# one "<-dev package> <source package> <version>" a line. Safe to run again:
# when VERSIONS matches the installed packages and the trees are there it
# only checks.
#   POLAR_DEPS_DIR  where the sources go (default deps/ in the clone)
set -euo pipefail
cd "$(dirname "$0")/.."
deps_dir=${POLAR_DEPS_DIR:-$(pwd)/deps}

# minizip (ZIP) and pugixml (XML); the Windows build links Debian's MinGW zlib.
dev_packages=(libminizip-dev libpugixml-dev)

say() { echo "setup: $*"; }

# deb-src entries (deb822) with the machine's own URIs, suites and components.
# The security suite is left out: its source files are not served.
derive_source_entries() {
  {
    local f
    for f in /etc/apt/sources.list.d/*.sources; do
      # A machine with only /etc/apt/sources.list has none: the loop must not fail the pipeline.
      [ -f "$f" ] || continue
      cat "$f"
      echo
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

# What VERSIONS must say for the installed -dev packages.
wanted_versions() {
  local dev line
  for dev in "${dev_packages[@]}"; do
    line=$(dpkg-query -W -f='${db:Status-Abbrev} ${source:Package} ${source:Version}' "$dev" 2>/dev/null) || line=
    case $line in
      "ii  "*) echo "$dev ${line#ii  }" ;;
      *) say "$dev is not installed (scripts/setup-native.sh installs it)" >&2; return 1 ;;
    esac
  done
}

# True when the unpacked trees hold the files the Windows build compiles.
trees_present() {
  compgen -G "$deps_dir/src/libminizip-dev/*/iowin32.c" >/dev/null ||
    compgen -G "$deps_dir/src/libminizip-dev/*/contrib/minizip/iowin32.c" >/dev/null || return 1
  compgen -G "$deps_dir/src/libpugixml-dev/*/src/pugixml.cpp" >/dev/null
}

wanted=$(wanted_versions)
if [ "$(cat "$deps_dir/VERSIONS" 2>/dev/null)" = "$wanted" ] && trees_present; then
  exit 0
fi

apt_dir=$deps_dir/apt
mkdir -p "$apt_dir/sources" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$deps_dir/src"
derive_source_entries >"$apt_dir/sources/deb-src.sources"
if [ ! -s "$apt_dir/sources/deb-src.sources" ]; then
  say "no apt sources found to derive source entries from" >&2
  exit 1
fi
apt_opts=(
  -o Dir::Etc::SourceList=/dev/null
  -o "Dir::Etc::SourceParts=$apt_dir/sources"
  -o "Dir::State::Lists=$apt_dir/lists"
  -o "Dir::Cache=$apt_dir/cache"
  -o APT::Sandbox::User=root
)
say "updating the private source lists"
# A source that serves no deb-src index only warns here; a missing package fails below.
apt-get "${apt_opts[@]}" update -q || say "some source lists could not be updated"
rm -f "$deps_dir/VERSIONS"
while read -r dev source version; do
  say "fetching $source $version (the source of the installed $dev)"
  rm -rf "${deps_dir:?}/src/$dev"
  mkdir -p "$deps_dir/src/$dev"
  if ! (cd "$deps_dir/src/$dev" && apt-get "${apt_opts[@]}" source -q "$source=$version"); then
    say "source package $source $version is not in the apt sources" >&2
    exit 1
  fi
done <<<"$wanted"
trees_present || { say "the unpacked sources lack the files the Windows build compiles" >&2; exit 1; }
echo "$wanted" >"$deps_dir/VERSIONS"
