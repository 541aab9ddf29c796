#!/usr/bin/env bash
# Photographs the import dialog on a private Xvfb display, driven by the
# command-line host (polarhost --import) with the stand-in HRMCom.dll playing
# an RS800CX whose batteries run low:
#   import-connected.png    connected, with the low-voltage hint
#   import-downloading.png  while the exercises are read
# Builds nothing: needs a win32 build tree holding polarhost.exe, by default
# build/win32 (scripts/build.sh).
#
# usage: scripts/screenshot-import.sh [BUILD-TREE [OUT-DIR]]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/win32}" && pwd)
out=$(mkdir -p "${2:-$root/build/screenshots}" && cd "${2:-$root/build/screenshots}" && pwd)
host=$(find "$build" -name polarhost.exe -print -quit)
if [ -z "$host" ]; then
  echo "screenshot-import: no polarhost.exe under $build" >&2
  exit 1
fi
source "$root/scripts/private-display.sh"

windows_path() { local p=$1; echo "Z:${p//\//\\}"; }

hrm() {  # hrm FILE HR...
  local file=$1; shift
  {
    printf '[Params]\r\nVersion=106\r\nMonitor=12\r\nSMode=000000000\r\nDate=20090501\r\n'
    printf 'StartTime=10:00:00.0\r\nLength=00:00:%02d.0\r\nInterval=5\r\n\r\n[HRData]\r\n' $(($# * 5))
    printf '%s\r\n' "$@"
  } >"$file"
}
hrm "$work/a.hrm" 120 125 131
hrm "$work/b.hrm" 140 142 141 139
hrm "$work/c.hrm" 150 155
log=$work/calls.log
cat >"$work/scenario.ini" <<INI
[Monitor]
Code=44
Name=RS800CX
MemorySize=1000
FreeMemory=380
LowVoltage=7
AnswerAfter=1500
TransferDelay=1500
[Files]
File0=$(windows_path "$work/a.hrm")
Number0=3
File1=$(windows_path "$work/b.hrm")
Number1=3
File2=$(windows_path "$work/c.hrm")
Number2=8
[Log]
File=$(windows_path "$log")
INI
printf '[SETTINGS]\r\nDeviceType=1\r\nProtocol=1\r\nHRFilter=1\r\n' >"$work/plugin.ini"

start_private_display screenshot-import

HRMCOM_SCENARIO=$(windows_path "$work/scenario.ini") "$root/scripts/wine-run.sh" "$host" \
  --settings "$(windows_path "$work/plugin.ini")" --import "$(windows_path "$work/target")" >"$work/out" 2>&1 &
runner_pid=$!

# The stand-in's call log tells how far the dialog is.
wait_for_call() {
  for _ in $(seq 1200); do
    grep -q "^$1" "$log" 2>/dev/null && return 0
    kill -0 "$runner_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "screenshot-import: no call $1" >&2
  cat "$work/out" >&2
  exit 1
}
shoot() {
  local id
  id=$(xdotool search --name '^Polar Device Import' | head -1)
  import -window "${id:-root}" "$out/$1"
  echo "$out/$1"
}

wait_for_call GetPolarHRMonitorName
sleep 0.7  # the texts follow the name
shoot import-connected.png
wait_for_call SaveExerciseHRM  # the second exercise is being read now
sleep 0.5
shoot import-downloading.png

wait_for_runner screenshot-import "$work/out"
