#!/usr/bin/env bash
# Photographs the configuration dialog (colour scheme 0, default settings)
# into build/screenshots/config.png on a private Xvfb display.
# Builds nothing: needs a win32 build tree holding polar_config_screenshot.exe,
# by default build/win32 (scripts/build.sh).
#
# usage: scripts/screenshot-config.sh [BUILD-TREE [PNG]]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/win32}" && pwd)
out=${2:-$root/build/screenshots/config.png}
program=$(find "$build" -name polar_config_screenshot.exe -print -quit)
if [ -z "$program" ]; then
  echo "screenshot-config: no polar_config_screenshot.exe under $build" >&2
  exit 1
fi
mkdir -p "$(dirname "$out")"

source "$root/scripts/private-display.sh"
start_private_display screenshot-config

# The program closes the dialog when the stop file appears (a Windows path on drive Z:).
stop=$work/stop
"$root/scripts/wine-run.sh" "$program" "Z:${stop//\//\\}" >"$work/log" 2>&1 &
runner_pid=$!

shown=
for _ in $(seq 1200); do
  if xdotool search --name '^Polar Plugin Configuration$' >/dev/null 2>&1; then shown=1; break; fi
  kill -0 "$runner_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$shown" ]; then
  echo "screenshot-config: the dialog did not appear" >&2
  cat "$work/log" >&2
  exit 1
fi
sleep 1  # painting finishes after the window maps
import -window root "$out"
touch "$stop"
wait_for_runner screenshot-config "$work/log"
echo "$out"
