#!/usr/bin/env bash
# The main job: installs what the native build needs, builds the command-line
# host alone, and lets it analyse the bundled example ride (laps,
# temperatures and the GPX track beside it) through the plug-in's exports.
# Extra arguments go to the host, e.g. --format json. The tests' set-up
# (MinGW, Wine, readers) is scripts/setup.sh's, which scripts/test.sh runs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-native.sh
POLAR_TARGETS=polarhost bash scripts/build.sh native >/dev/null
exec build/native/tools/host/polarhost "$@" examples/ride.hrm
