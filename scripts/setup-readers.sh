#!/usr/bin/env bash
# Installs the FIT reader of the host's tests: Garmin's FIT SDK for
# JavaScript (npm package @garmin/fitsdk), run with node from
# tests/host/fit-check. Safe to run again: node and npm are installed only
# when missing, and `npm ci` runs only when node_modules is missing or was
# installed from another package-lock.json. gpsbabel and xmllint, the other
# readers, come with scripts/setup.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
checker=tests/host/fit-check

say() { echo "setup-readers: $*"; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  say "installing nodejs npm"
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get install -y -q nodejs npm || { as_root apt-get update -q && as_root apt-get install -y -q nodejs npm; }
fi

# The lock file's checksum, kept in node_modules by the install it made.
stamp=$checker/node_modules/.installed-from
want=$(sha256sum "$checker/package-lock.json" | cut -d' ' -f1)
if [ -d "$checker/node_modules/@garmin/fitsdk" ] && [ "$(cat "$stamp" 2>/dev/null)" = "$want" ]; then
  exit 0
fi
say "npm ci in $checker"
(cd "$checker" && npm ci --no-audit --no-fund --loglevel=error)
echo "$want" > "$stamp"
