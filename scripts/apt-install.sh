#!/usr/bin/env bash
# Installs those of the named Debian packages that are missing (as root, or
# through sudo). Names only packages every supported Debian release has, so
# the same list serves Debian 12 and 13.
set -euo pipefail

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "$@"; do
  if [ "$(dpkg-query -W -f='${db:Status-Abbrev}' "$p" 2>/dev/null)" != "ii " ]; then missing+=("$p"); fi
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# Update the package lists only when the install cannot go ahead without it.
if ! compgen -G '/var/lib/apt/lists/*_Packages*' >/dev/null ||
   ! as_root apt-get install -y -q "${missing[@]}"; then
  as_root apt-get update -q
  as_root apt-get install -y -q "${missing[@]}"
fi
