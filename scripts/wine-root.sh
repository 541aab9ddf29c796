#!/usr/bin/env bash
# Builds the Debian 13 root whose Wine runs the 32-bit Windows programs
# (scripts/wine-run.sh uses it), for the mode scripts/wine-mode.sh chooses:
#   wow64         Wine 10 with its 32-bit Windows DLLs and no 32-bit loader
#   classic       Wine 10 with classic 32-bit Wine (wine32:i386) beside it
#   classic-qemu  the classic root, plus qemu-i386 registered in binfmt_misc
#                 as "polar-i386" so that the kernel runs its 32-bit programs
# The roots live outside the clone, so later runs and fresh clones on the same
# machine reuse them.
#
# usage: scripts/wine-root.sh          build or finish the root, then exit 0
#        scripts/wine-root.sh --check  if the root is complete and usable
#          now, print "MODE<TAB>ROOT<TAB>REASON" and exit 0, else say why and
#          exit 1
#
# POLAR_WINE_MODE          see scripts/wine-mode.sh
# POLAR_WINE_ROOT          the WoW64 root (default /var/cache/polar-wine-root)
# POLAR_WINE_CLASSIC_ROOT  the classic root (default /var/cache/polar-wine-classic)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
case "${1:-}" in
  --check | "") ;;
  *) echo "usage: $0 [--check]" >&2; exit 2 ;;
esac
chosen=$("$here/wine-mode.sh") || exit 1
mode=${chosen%%$'\t'*}
if [ "$mode" = wow64 ]; then
  root=${POLAR_WINE_ROOT:-/var/cache/polar-wine-root}
else
  root=${POLAR_WINE_CLASSIC_ROOT:-/var/cache/polar-wine-classic}
fi
case "$root" in
  /?*) root=${root%/} ;;
  *) echo "wine-root: the root must be an absolute path other than /, not '$root'" >&2; exit 2 ;;
esac
suite=trixie
# Raised when a recipe changes, so that an older root is built again.
case "$mode" in
  wow64) recipe=2 ;;
  *) recipe=classic-1 ;;
esac
state=$root/.polar
wine_windows=usr/lib/x86_64-linux-gnu/wine
# The 32-bit Windows DLLs: copied into the 64-bit Wine for WoW64, classic
# Wine's own otherwise.
if [ "$mode" = wow64 ]; then
  win32_dlls=$wine_windows/i386-windows
else
  win32_dlls=usr/lib/i386-linux-gnu/wine/i386-windows
fi
qemu=usr/libexec/polar/qemu-i386
trapno=trapno-fix.so
binfmt=/proc/sys/fs/binfmt_misc
entry=$binfmt/polar-i386
# The magic and mask of 32-bit x86 ELF programs (executables and shared
# objects), as qemu's own binfmt configuration has them.
elf32_magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
elf32_mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

why=
registered() {
  [ -f "$entry" ] && grep -qx enabled "$entry" && grep -qx "interpreter $root/$qemu" "$entry" &&
    grep -qx 'flags: PF' "$entry"
}

built() {
  [ -f "$state/complete" ] && [ "$(sed -n 's/^recipe=//p' "$state/complete")" = "$recipe" ] &&
    [ -x "$root/usr/lib/wine/wine64" ] && [ -x "$root/usr/lib/wine/wineserver" ] &&
    [ -f "$root/$win32_dlls/kernel32.dll" ] && [ -f "$root/$win32_dlls/ntdll.dll" ] &&
    [ -f "$root/$wine_windows/x86_64-windows/wow64.dll" ] &&
    [ -d "$root/.newroot" ] || return 1
  if [ "$mode" = wow64 ]; then
    # Wine would hand 32-bit programs to a 32-bit loader, which need not run here.
    [ ! -e "$root/usr/lib/wine/wine" ] && ! grep -qs i386 "$root/var/lib/dpkg/arch"
  else
    [ -x "$root/usr/lib/wine/wine" ] && [ -x "$root/$qemu" ] &&
      [ -f "$root/usr/lib/i386-linux-gnu/$trapno" ] && [ -f "$root/usr/lib/x86_64-linux-gnu/$trapno" ] &&
      grep -qxF "/usr/\$LIB/$trapno" "$root/etc/ld.so.preload"
  fi
}

complete() {
  if ! built; then
    why="the $mode root $root is missing or incomplete; run scripts/wine-root.sh"
    return 1
  fi
  if [ "$mode" = classic-qemu ] && ! registered; then
    why="32-bit Linux programs need qemu-i386 registered as $entry (gone after a reboot); run scripts/wine-root.sh"
    return 1
  fi
}

if [ "${1:-}" = --check ]; then
  if complete; then
    printf '%s\t%s\t%s\n' "$mode" "$root" "${chosen#*$'\t'}"
    exit 0
  fi
  echo "wine-root: $why" >&2
  exit 1
fi

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

uri=$(bash "$here/apt-mirror.sh")

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

# Host tools: the root's builder, the strip tools, and gcc for the preload.
bash "$here/apt-install.sh" debootstrap util-linux dpkg binutils binutils-mingw-w64-x86-64 \
  binutils-mingw-w64-i686 gcc

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

# Packages only: no manuals or documentation in the root.
apt_sources() {
  echo "deb $uri $suite main" >"$root/etc/apt/sources.list"
  cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
  cat >"$root/etc/dpkg/dpkg.cfg.d/polar-nodoc" <<'EOF'
path-exclude /usr/share/doc/*
path-exclude /usr/share/man/*
path-exclude /usr/share/info/*
path-exclude /usr/share/locale/*
path-include /usr/share/locale/locale.alias
EOF
}

# Registers the root's qemu-i386 for 32-bit x86 ELF programs: F opens the
# interpreter now, so that it runs inside the root too; P passes argv[0] on.
# The entry lasts until the next boot.
register_qemu() {
  registered && return 0
  [ -f "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
  [ -f "$entry" ] && echo -1 >"$entry"
  printf ':polar-i386:M::%s:%s:%s:PF' "$elf32_magic" "$elf32_mask" "$root/$qemu" >"$binfmt/register"
  registered
}

strip_root() {
  # Files that are not of the strip's kind are left as they are.
  local arch
  for arch in x86_64:x86_64-w64-mingw32-strip i386:i686-w64-mingw32-strip; do
    find "$root"/usr/lib/*/wine/"${arch%%:*}-windows" -type f -print0 |
      xargs -0 -r -n 64 -P "$(nproc)" "${arch#*:}" --strip-debug 2>/dev/null || true
  done
  find "$root"/usr/lib/*/wine/*-unix -type f -name '*.so' -print0 |
    xargs -0 -r -n 64 -P "$(nproc)" strip --strip-debug 2>/dev/null || true
  [ -f "$root/$win32_dlls/kernel32.dll" ]
}

if [ "$mode" = wow64 ]; then
  if ! is_done wine64; then
    begin "apt-get install wine64"
    apt_sources
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
    mkdir -p "$root/$win32_dlls"
    cp -a "$src/." "$root/$win32_dlls/"
    rm -rf "$work"
    # libwine's own set-up adds zlib1.dll of both architectures, marked as Wine's.
    in_root /var/lib/dpkg/info/libwine:amd64.postinst configure
    [ -f "$root/$win32_dlls/zlib1.dll" ]
    done_ copy
  fi
else
  if ! is_done qemu; then
    # Only the static emulator of Debian 13's qemu-user, nothing else of it.
    begin "extract qemu-i386 from qemu-user"
    apt_sources
    work=$root/var/tmp/qemu-user
    rm -rf "$work" && mkdir -p "$work"
    {
      in_root dpkg --configure -a &&
        in_root apt-get "${apt_opts[@]}" update &&
        in_root bash -c 'cd /var/tmp/qemu-user && exec apt-get "$@" download qemu-user' - "${apt_opts[@]}"
    } >"$state/qemu.log" 2>&1 || { tail -n 20 "$state/qemu.log" >&2; false; }
    dpkg-deb -x "$work"/qemu-user_*.deb "$work/x"
    mkdir -p "$root/${qemu%/*}"
    install -m 755 "$work/x/usr/bin/qemu-i386" "$root/$qemu"
    rm -rf "$work"
    if LC_ALL=C readelf -l "$root/$qemu" | grep -q INTERP; then
      echo "wine-root: qemu-i386 of qemu-user is not a static program" >&2
      false
    fi
    done_ qemu
  fi

  # Before the i386 packages: their set-up runs 32-bit programs.
  if [ "$mode" = classic-qemu ]; then
    begin "register qemu-i386 as $entry"
    register_qemu
  fi

  if ! is_done wine; then
    begin "apt-get install wine64 wine32:i386"
    {
      in_root dpkg --configure -a &&
        in_root dpkg --add-architecture i386 &&
        in_root apt-get "${apt_opts[@]}" update &&
        in_root apt-get "${apt_opts[@]}" install --no-install-recommends wine64 wine32:i386 &&
        in_root apt-get clean
    } >"$state/wine.log" 2>&1 || { tail -n 20 "$state/wine.log" >&2; false; }
    done_ wine
  fi

  if ! is_done trapno; then
    begin "preload the trap-number fix into the root's programs"
    # Chosen by the dynamic loader's $LIB: the fix for the 32-bit programs,
    # an empty library for the 64-bit ones.
    gcc -m32 -O2 -fPIC -nostdlib -shared -fno-stack-protector \
      -o "$root/usr/lib/i386-linux-gnu/$trapno" "$here/wine/trapno.c"
    gcc -O2 -fPIC -nostdlib -shared -x c -o "$root/usr/lib/x86_64-linux-gnu/$trapno" /dev/null
    echo "/usr/\$LIB/$trapno" >"$root/etc/ld.so.preload"
    done_ trapno
  fi
fi

if ! is_done strip; then
  begin "strip the debug information of Wine's DLLs"
  strip_root
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
