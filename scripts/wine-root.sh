#!/usr/bin/env bash
# Builds the Debian 13 root whose Wine runs the 32-bit Windows programs in
# WoW64 mode (scripts/wine-run.sh uses it). It lives outside the clone, so
# later runs and fresh clones on the same machine reuse it.
#
# usage: scripts/wine-root.sh          build or finish the root, then exit 0
#        scripts/wine-root.sh --check  exit 0 if the root is complete, else 1
#
# POLAR_WINE_ROOT  where the root lives (default /var/cache/polar-wine-root)
set -euo pipefail

root=${POLAR_WINE_ROOT:-/var/cache/polar-wine-root}
case "$root" in
  /?*) root=${root%/} ;;
  *) echo "wine-root: POLAR_WINE_ROOT must be an absolute path other than /" >&2; exit 2 ;;
esac
suite=trixie
# Raised when the recipe changes, so that an older root is built again.
recipe=2
state=$root/.polar
wine_windows=usr/lib/x86_64-linux-gnu/wine

complete() {
  [ -f "$state/complete" ] && [ "$(sed -n 's/^recipe=//p' "$state/complete")" = "$recipe" ] &&
    [ -x "$root/usr/lib/wine/wine64" ] && [ -x "$root/usr/lib/wine/wineserver" ] &&
    [ -f "$root/$wine_windows/i386-windows/kernel32.dll" ] &&
    [ -f "$root/$wine_windows/i386-windows/ntdll.dll" ] &&
    [ -f "$root/$wine_windows/x86_64-windows/wow64.dll" ] &&
    # Wine would hand 32-bit programs to a 32-bit loader, which cannot run here.
    [ ! -e "$root/usr/lib/wine/wine" ] &&
    ! grep -qs i386 "$root/var/lib/dpkg/arch" &&
    [ -d "$root/.newroot" ]
}

case "${1:-}" in
  --check) complete && exit 0 || exit 1 ;;
  "") ;;
  *) echo "usage: $0 [--check]" >&2; exit 2 ;;
esac

[ "$(id -u)" -eq 0 ] || { echo "wine-root: must run as root" >&2; exit 1; }

mkdir -p "$(dirname "$root")"
exec 9>"$root.lock"
flock 9
if complete; then
  echo "wine-root: $root is complete"
  exit 0
fi

started=$SECONDS
step=
# An `if`, so that the trap itself ends in success: under `set -e` a failing
# last command here would turn a finished build into exit status 1.
failed() {
  local rc=$?
  if [ -n "$step" ] && [ "$rc" -ne 0 ]; then
    echo "wine-root: step '$step' failed (exit $rc); run $0 again to resume" >&2
  fi
}
trap failed EXIT
begin() { step=$1; echo "wine-root: $1 ($((SECONDS - started)) s)"; }
done_() { touch "$state/$1.done"; }
is_done() { [ -f "$state/$1.done" ]; }

# The main archive's URI from the machine's own apt sources (deb822 or
# one-line format), never a host name written here.
mirror() {
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk '
      BEGIN { RS = ""; FS = "\n" }
      {
        uri = ""; suites = ""; types = ""
        for (i = 1; i <= NF; i++) {
          if ($i ~ /^URIs:/) { uri = $i; sub(/^URIs:[ \t]*/, "", uri); sub(/[ \t].*/, "", uri) }
          if ($i ~ /^Suites:/) suites = $i
          if ($i ~ /^Types:/) types = $i
        }
        if (types ~ /[ \t]deb([ \t]|$)/ && suites ~ /[ \t][a-z]+([ \t]|$)/ && uri != "") { print uri; exit }
      }' "$f"
  done
  if [ -f /etc/apt/sources.list ]; then
    awk '$1 == "deb" && $0 !~ /security/ { for (i = 2; i <= NF; i++) if ($i !~ /^\[/ && $i ~ /:\/\//) { print $i; exit } }' \
      /etc/apt/sources.list
  fi
}
uri=$(mirror | head -n 1) || true
[ -n "$uri" ] || { echo "wine-root: no Debian archive found in the apt sources" >&2; exit 1; }

# Runs a command in the root with /proc, /sys and /dev, in a private mount
# namespace so that nothing stays mounted when it ends or is interrupted.
in_root() {
  unshare -m -- bash -c '
    set -e
    r=$1; shift
    for d in proc sys dev; do mkdir -p "$r/$d"; mount --rbind "/$d" "$r/$d"; done
    exec chroot "$r" "$@"' in-root "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin \
      DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8 HOME=/root \
      ${http_proxy:+http_proxy=$http_proxy} ${https_proxy:+https_proxy=$https_proxy} "$@"
}
apt_opts=(-o Acquire::Check-Valid-Until=false -o APT::Sandbox::User=root -y -q)

# Host tools: command, then the package that brings it.
missing=()
for need in debootstrap:debootstrap unshare:util-linux dpkg-deb:dpkg strip:binutils \
  x86_64-w64-mingw32-strip:binutils-mingw-w64-x86-64 i686-w64-mingw32-strip:binutils-mingw-w64-i686; do
  command -v "${need%%:*}" >/dev/null || missing+=("${need#*:}")
done
if [ ${#missing[@]} -gt 0 ]; then
  begin "install ${missing[*]} on the host"
  apt-get install -y -q "${missing[@]}" >/dev/null 2>&1 ||
    { apt-get update -q >/dev/null && apt-get install -y -q "${missing[@]}" >/dev/null; }
fi

# A root made earlier by another recipe, or an interrupted debootstrap,
# starts again from nothing.
if [ -e "$root" ] && { ! is_done debootstrap || [ "$(cat "$state/recipe" 2>/dev/null)" != "$recipe" ]; }; then
  if [ ! -d "$state" ] && [ -n "$(ls -A "$root" 2>/dev/null)" ]; then
    echo "wine-root: $root is not empty and was not made here; choose another POLAR_WINE_ROOT" >&2
    exit 1
  fi
  begin "remove the incomplete or outdated root $root"
  if findmnt -rn -o TARGET | grep -q "^$root\(/\|$\)"; then
    echo "wine-root: something is mounted under $root; unmount it first" >&2
    exit 1
  fi
  rm -rf --one-file-system "$root"
fi
mkdir -p "$state"
echo "$recipe" >"$state/recipe"

if ! is_done debootstrap; then
  begin "debootstrap $suite from $uri"
  # Its own mounts (/proc, /sys of the second stage) end with the namespace.
  unshare -m -- debootstrap --variant=minbase "$suite" "$root" "$uri" \
    >"$state/debootstrap.log" 2>&1 || { tail -n 20 "$state/debootstrap.log" >&2; false; }
  mkdir -p "$state"
  done_ debootstrap
fi

if ! is_done wine64; then
  begin "apt-get install wine64"
  echo "deb $uri $suite main" >"$root/etc/apt/sources.list"
  cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
  # Packages only: no manuals or documentation in the root.
  cat >"$root/etc/dpkg/dpkg.cfg.d/polar-nodoc" <<'EOF'
path-exclude /usr/share/doc/*
path-exclude /usr/share/man/*
path-exclude /usr/share/info/*
path-exclude /usr/share/locale/*
path-include /usr/share/locale/locale.alias
EOF
  # dpkg --configure -a: after an interrupted earlier attempt.
  {
    in_root dpkg --configure -a &&
      in_root apt-get "${apt_opts[@]}" update &&
      in_root apt-get "${apt_opts[@]}" install --no-install-recommends wine64 &&
      in_root apt-get clean
  } >"$state/wine64.log" 2>&1 || { tail -n 20 "$state/wine64.log" >&2; false; }
  done_ wine64
fi

if ! is_done libwine-i386; then
  begin "download libwine:i386"
  version=$(in_root dpkg-query -W -f '${Version}' libwine)
  rm -rf "$root/var/tmp/libwine-i386" && mkdir -p "$root/var/tmp/libwine-i386/lists/partial"
  # The i386 architecture only for this download, with its own package lists.
  {
    in_root dpkg --add-architecture i386 &&
      in_root apt-get "${apt_opts[@]}" -o Dir::State::Lists=/var/tmp/libwine-i386/lists update &&
      in_root bash -c 'cd /var/tmp/libwine-i386 && exec "$@"' - \
        apt-get "${apt_opts[@]}" -o Dir::State::Lists=/var/tmp/libwine-i386/lists \
        download "libwine:i386=$version"
  } >"$state/libwine-i386.log" 2>&1 || status=$?
  in_root dpkg --remove-architecture i386 >>"$state/libwine-i386.log" 2>&1 || true
  if [ "${status:-0}" -ne 0 ] || ! ls "$root"/var/tmp/libwine-i386/libwine_*_i386.deb >/dev/null 2>&1; then
    tail -n 20 "$state/libwine-i386.log" >&2
    false
  fi
  done_ libwine-i386
fi

if ! is_done copy; then
  begin "copy the 32-bit Windows DLLs into the 64-bit Wine"
  work=$root/var/tmp/libwine-i386
  rm -rf "$work/x"
  dpkg-deb -x "$work"/libwine_*_i386.deb "$work/x"
  src=$work/x/usr/lib/i386-linux-gnu/wine/i386-windows
  [ -f "$src/kernel32.dll" ] || { echo "wine-root: no i386-windows folder in libwine:i386" >&2; false; }
  mkdir -p "$root/$wine_windows/i386-windows"
  cp -a "$src/." "$root/$wine_windows/i386-windows/"
  rm -rf "$work"
  # libwine's own set-up adds zlib1.dll of both architectures, marked as Wine's.
  in_root /var/lib/dpkg/info/libwine:amd64.postinst configure
  [ -f "$root/$wine_windows/i386-windows/zlib1.dll" ]
  done_ copy
fi

if ! is_done strip; then
  begin "strip the debug information of Wine's DLLs"
  # Files that are not of the strip's kind are left as they are.
  find "$root/$wine_windows/x86_64-windows" -type f -print0 |
    xargs -0 -r -n 64 -P "$(nproc)" x86_64-w64-mingw32-strip --strip-debug 2>/dev/null || true
  find "$root/$wine_windows/i386-windows" -type f -print0 |
    xargs -0 -r -n 64 -P "$(nproc)" i686-w64-mingw32-strip --strip-debug 2>/dev/null || true
  find "$root/$wine_windows/x86_64-unix" -type f -name '*.so' -print0 |
    xargs -0 -r -n 64 -P "$(nproc)" strip --strip-debug 2>/dev/null || true
  [ -f "$root/$wine_windows/i386-windows/kernel32.dll" ]
  done_ strip
fi

begin "finish"
# The mount point of the view that wine-run.sh assembles for each run.
mkdir -p "$root/.newroot"
{
  echo "recipe=$recipe"
  echo "uri=$uri"
  echo "wine=$(in_root dpkg-query -W -f '${Version}' wine64)"
  echo "date=$(date -u +%FT%TZ)"
} >"$state/complete.tmp"
mv "$state/complete.tmp" "$state/complete"
step=
if ! complete; then
  echo "wine-root: $root is still incomplete after all steps" >&2
  exit 1
fi
echo "wine-root: $root complete in $((SECONDS - started)) s ($(du -sh "$root" | cut -f1))"
