#!/usr/bin/env bash
# Runs a 64-bit Windows program under wine64 and passes its exit code through.
# CTest uses it as the emulator of the win64 build.
#
# The prefix lives in the build tree (the first directory above the program
# or the working directory that holds a CMakeCache.txt), or in POLAR_WINEPREFIX.
# Without a DISPLAY a private Xvfb is started for the run and stopped after it.
set -uo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 PROGRAM.exe [ARGUMENTS...]" >&2
  exit 2
fi

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)

build_tree_of() {
  local dir
  dir=$(cd "$1" 2>/dev/null && pwd) || return 1
  while [ "$dir" != / ]; do
    [ -f "$dir/CMakeCache.txt" ] && { echo "$dir"; return 0; }
    dir=$(dirname "$dir")
  done
  return 1
}

if [ -z "${POLAR_WINEPREFIX:-}" ]; then
  tree=$(build_tree_of "$(dirname "$1")") || tree=$(build_tree_of .) ||
    tree="$(cd "$(dirname "$0")/.." && pwd)/build"
  POLAR_WINEPREFIX=$tree/wineprefix
fi
export WINEPREFIX=$POLAR_WINEPREFIX
export WINEDEBUG=-all
# No Mono or Gecko installer prompts: nothing here needs them. No debugger:
# a crashed process, the program or one of Wine's own services, ends at once
# with a failing code. The debugger would end the program with code 0, or
# show a crash dialog that holds up everything waiting on that process until
# the test's time limit.
export WINEDLLOVERRIDES="mscoree,mshtml,winedbg.exe=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
mkdir -p "$(dirname "$WINEPREFIX")"

xvfb_pid=
cleanup() {
  if [ -n "$xvfb_pid" ]; then
    # The prefix's processes hold the private display; end them before it goes.
    "$wineserver" -k >/dev/null 2>&1
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  [ -n "${display_file:-}" ] && rm -f "$display_file"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# One run at a time per prefix: creating it, and the private display's
# clean-up, must not meet another run.
exec 9>"$WINEPREFIX.lock"
flock 9

if [ -z "${DISPLAY:-}" ]; then
  display_file=$(mktemp)
  Xvfb -displayfd 8 -nolisten tcp -screen 0 1280x1024x24 8>"$display_file" 9>&- >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$display_file" ]; then
    echo "wine-run: Xvfb did not start" >&2
    exit 1
  fi
  export DISPLAY=":$(tr -d '[:space:]' <"$display_file")"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "wine-run: creating $WINEPREFIX" >&2
  "$wine" wineboot -i </dev/null >/dev/null 2>&1 9>&-
  "$wineserver" -w 9>&-
fi

"$wine" "$@" </dev/null 9>&-
exit $?
