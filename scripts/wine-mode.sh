#!/usr/bin/env bash
# Chooses how this machine runs 32-bit Windows programs, by trying two tiny
# programs of its own (scripts/wine/probe-*.c) once per boot:
#   wow64         Wine 10's WoW64 mode: 32-bit code inside a 64-bit process
#                 (needs 32-bit code segments; the fastest to set up)
#   classic       classic 32-bit Wine, its 32-bit Linux loader run natively
#   classic-qemu  classic 32-bit Wine, its 32-bit Linux programs run by
#                 qemu-i386 through a binfmt_misc entry (this CPU runs no
#                 32-bit code at all; integer code at about half speed)
# Prints "MODE<TAB>REASON" and exits 0, or prints why no mode can work and
# exits 1.
#
# POLAR_WINE_MODE   auto (default), wow64 or classic: a forced mode is used
#                   where it can work and is an error where it cannot
# POLAR_WINE_PROBE  where the probes and their answer are kept
#                   (default /var/cache/polar-wine-probe)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
probe=${POLAR_WINE_PROBE:-/var/cache/polar-wine-probe}
wanted=${POLAR_WINE_MODE:-auto}
case "$wanted" in
  auto | wow64 | classic) ;;
  *) echo "wine-mode: POLAR_WINE_MODE is auto, wow64 or classic, not '$wanted'" >&2; exit 2 ;;
esac

# Answers that hold until the next boot, for the probes of this checkout.
key="$(cat /proc/sys/kernel/random/boot_id 2>/dev/null) $(cat "$here"/wine/probe-*.c | sha256sum | cut -c1-16)"
answer=$probe/answer
if [ "$(sed -n 1p "$answer" 2>/dev/null)" != "$key" ]; then
  mkdir -p "$probe"
  exec 9>"$probe/lock"
  flock 9
  if [ "$(sed -n 1p "$answer" 2>/dev/null)" != "$key" ]; then
    cc=${CC:-gcc}
    command -v "$cc" >/dev/null || { echo "wine-mode: no C compiler ($cc) for the probes" >&2; exit 1; }
    "$cc" -O1 -o "$probe/cs32" "$here/wine/probe-cs32.c"
    "$cc" -m32 -nostdlib -static -o "$probe/elf32" "$here/wine/probe-elf32.c"
    cs32=no elf32=no
    timeout 10 "$probe/cs32" >/dev/null 2>&1 && cs32=yes
    status=0
    timeout 10 "$probe/elf32" >/dev/null 2>&1 || status=$?
    [ "$status" -eq 42 ] && elf32=yes
    printf '%s\ncs32=%s\nelf32=%s\n' "$key" "$cs32" "$elf32" >"$answer.new"
    mv "$answer.new" "$answer"
  fi
  exec 9>&-
fi
cs32=$(sed -n 's/^cs32=//p' "$answer")
elf32=$(sed -n 's/^elf32=//p' "$answer")

# Another interpreter of 32-bit Linux programs than ours (the machine's own
# qemu-user-binfmt, say) makes them run too.
elf32_how="run natively"
if [ "$elf32" = yes ] && grep -qs '^interpreter .*qemu-i386' /proc/sys/fs/binfmt_misc/* 2>/dev/null; then
  elf32_how="run by qemu-i386 through binfmt_misc"
fi

binfmt_possible() {
  [ "$(id -u)" -eq 0 ] && grep -qw binfmt_misc /proc/filesystems
}

refused="32-bit code: refused by this CPU"
case "$wanted:$cs32:$elf32" in
  auto:yes:* | wow64:yes:*)
    printf 'wow64\t32-bit code segments run in a 64-bit process; running Wine in WoW64 mode\n' ;;
  wow64:no:*)
    echo "wine-mode: POLAR_WINE_MODE=wow64 cannot work here: this CPU refuses 32-bit code segments in a 64-bit process, which WoW64 mode needs" >&2
    exit 1 ;;
  *:*:yes)
    reason="32-bit Linux programs $elf32_how; running classic 32-bit Wine"
    [ "$cs32" = no ] && reason="$refused in a 64-bit process, but $reason"
    printf 'classic\t%s\n' "$reason" ;;
  *)
    if ! binfmt_possible; then
      echo "wine-mode: no way to run 32-bit Windows programs here: this CPU runs no 32-bit code, and qemu-i386 cannot be registered (needs root and binfmt_misc in the kernel)" >&2
      exit 1
    fi
    printf 'classic-qemu\t%s; running classic 32-bit Wine under qemu-i386\n' "$refused" ;;
esac
