#!/usr/bin/env bash
# Installs the converter's .deb with apt on a fresh minimal Debian root of
# this machine's release, so that its dependencies come from the machine's
# own mirror, and checks it as a user there would find it: `polarhost --help`,
# the bundled example converted to FIT and TCX with the GPS track beside it,
# the program stripped, and its README and the licences of every package it
# depends on in /usr/share/doc/polarhost.
#
# usage: scripts/check-deb.sh [PACKAGE.deb]   (default: made by scripts/deb.sh)
#
# The root is made once with `debootstrap --variant=minbase` and kept outside
# the clone (POLAR_DEB_ROOT, default /var/cache/polar-deb-<release>). Each
# check runs on an overlay of it in a private mount namespace: it starts from
# the root as debootstrap left it, with apt's package lists, and nothing of
# it stays afterwards.
set -euo pipefail
given=${1:+$(readlink -f "$1")}
cd "$(dirname "$0")/.."
here=$(pwd)

say() { echo "check-deb: $*"; }
die() { echo "check-deb: $*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || die "must run as root (debootstrap, mounts, chroot)"
bash scripts/apt-install.sh debootstrap util-linux binutils

deb=${given:-$here/$(bash scripts/deb.sh)}
[ -f "$deb" ] || die "no package ${1:-$deb}"
suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
[ -n "$suite" ] || die "this machine's Debian release has no code name in /etc/os-release"
uri=$(bash scripts/apt-mirror.sh)
root=${POLAR_DEB_ROOT:-/var/cache/polar-deb-$suite}
case "$root" in
  /?*) root=${root%/} ;;
  *) die "the root must be an absolute path other than /, not '$root'" ;;
esac
state=$root/.polar

# What debootstrap and apt say of a mirror they cannot reach.
unreachable='Temporary failure resolving|Could not resolve|Could not connect|Connection failed|Connection timed out|Network is unreachable|Failed getting release file|Unable to fetch|Failed to fetch'
explain() {
  local log=$1
  tail -n 15 "$log" >&2
  if grep -qE "$unreachable" "$log"; then
    echo "check-deb: the mirror $uri (from this machine's apt sources) cannot be reached" >&2
  fi
}

# Runs in a private mount namespace. With a package: an overlay of the root
# with the package and the example in it, apt and the converter in the
# chroot, and from outside what is checked there, before the namespace ends.
# Without: the package lists of the cached root itself, fetched.
read -r -d '' inside <<'CHECK' || true
set -euo pipefail
root=$1 work=$2 deb=$3 examples=$4
new=$root
if [ -n "$deb" ]; then
  mount -t tmpfs polar-deb-check "$work"
  mkdir "$work/upper" "$work/work" "$work/root"
  mount -t overlay polar-deb-check -o "lowerdir=$root,upperdir=$work/upper,workdir=$work/work" "$work/root"
  new=$work/root
fi
for d in proc sys dev; do mount --rbind "/$d" "$new/$d"; done
cp /etc/resolv.conf "$new/etc/resolv.conf" 2>/dev/null || true
in_root() {
  chroot "$new" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive \
    LC_ALL=C.UTF-8 HOME=/root ${http_proxy:+http_proxy=$http_proxy} ${https_proxy:+https_proxy=$https_proxy} "$@"
}
apt=(apt-get -y -q -o APT::Sandbox::User=root)
if [ -z "$deb" ]; then
  in_root "${apt[@]}" update
  exit
fi
check=$new/tmp/check
mkdir "$check"
cp "$deb" "$examples/ride.hrm" "$examples/ride.gpx" "$check/"
package=/tmp/check/${deb##*/}
echo "== apt-get install $package"
# The root's package lists are those of the day it was made: fetched anew
# only when the install cannot go ahead with them.
in_root "${apt[@]}" install --no-install-recommends "$package" ||
  { in_root "${apt[@]}" update && in_root "${apt[@]}" install --no-install-recommends "$package"; }

helps() { in_root polarhost --help >"$check/help" 2>&1 && grep -q '^usage: polarhost' "$check/help"; }
converts() {
  in_root polarhost --format fit,tcx --output /tmp/check/converted /tmp/check/ride.hrm >"$check/convert" 2>&1 &&
    [ -s "$check/converted/ride.fit" ] && grep -q '<LatitudeDegrees>' "$check/converted/ride.tcx"
}
stripped() { ! LC_ALL=C readelf -SW "$new/usr/bin/polarhost" | grep -qE '[[:space:]]\.(symtab|debug_[a-z_]+)[[:space:]]'; }
failed=0
check() {
  local what=$1
  shift
  if "$@"; then echo "ok    $what"; else echo "FAIL  $what"; failed=1; fi
}
echo "== checks"
check "polarhost --help" helps
check "the example converted to FIT and TCX, its track placed" converts
check "/usr/bin/polarhost stripped" stripped
doc=$new/usr/share/doc/polarhost
check "README.md in /usr/share/doc/polarhost" test -s "$doc/README.md"
depends=$(in_root dpkg-query -W -f '${Depends}' polarhost | sed -E 's/ *\([^)]*\)//g; s/ *, */ /g')
for dependency in $depends; do
  check "the licence of $dependency in /usr/share/doc/polarhost/licenses" test -s "$doc/licenses/$dependency"
done
exit "$failed"
CHECK

mkdir -p "$(dirname "$root")"
exec 9>"$root.lock"
flock 9

if [ "$(cat "$state/complete" 2>/dev/null)" != "$suite $uri" ]; then
  if [ -e "$root" ]; then
    [ -d "$state" ] || [ -z "$(ls -A "$root")" ] ||
      die "$root is not empty and was not made here; choose another POLAR_DEB_ROOT"
    rm -rf --one-file-system "$root"
  fi
  say "debootstrap --variant=minbase $suite from $uri into $root (once)"
  started=$SECONDS
  mkdir -p "$state"
  log=$root.log
  # Its own mounts end with the namespace; its apt sources name the mirror.
  if ! unshare -m -- debootstrap --variant=minbase "$suite" "$root" "$uri" >"$log" 2>&1; then
    explain "$log"
    die "could not make the $suite root (log: $log)"
  fi
  if ! unshare -m -- bash -c "$inside" check-deb "$root" "" "" "" </dev/null >>"$log" 2>&1; then
    explain "$log"
    die "could not fetch the package lists into the $suite root (log: $log)"
  fi
  echo "$suite $uri" >"$state/complete"
  say "root made in $((SECONDS - started)) s ($(du -sh "$root" | cut -f1))"
fi

examples=$here/examples
work=$(mktemp -d /var/tmp/polar-deb-check.XXXXXX)
trap 'rmdir "$work" 2>/dev/null || true' EXIT
log=$work.log

status=0
unshare -m -- bash -c "$inside" check-deb "$root" "$work" "$deb" "$examples" </dev/null >"$log" 2>&1 || status=$?
sed -n '/^== checks/,$p' "$log"
if [ "$status" -ne 0 ]; then
  grep -q '^== checks' "$log" || explain "$log"
  die "the package ${deb##*/} failed on a fresh $suite root (log: $log)"
fi
rm -f "$log"
say "${deb##*/} installs and works on a fresh $suite root"
