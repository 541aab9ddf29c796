#!/usr/bin/env bash
# The main job: installs and builds what is needed, then the command-line
# host analyses the bundled example ride (laps, temperatures and the GPX
# track beside it) through the plug-in's exports and prints the result.
# Extra arguments go to the host, e.g. --format json.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh native >/dev/null
exec build/native/tools/host/polarhost "$@" examples/ride.hrm
