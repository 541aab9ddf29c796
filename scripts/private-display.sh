# Sourced by the screenshot scripts: a private Xvfb display for a run against
# a win32 build tree, whose programs use it through DISPLAY (wine-run.sh then
# starts none) and which `import` photographs. The caller sets `build` and
# `runner_pid` (the program under wine, once started) and calls
# start_private_display NAME; everything goes again when the script exits.
work=$(mktemp -d)
xvfb_pid=
runner_pid=

stop_private_display() {
  [ -n "$runner_pid" ] && kill "$runner_pid" 2>/dev/null
  # The prefix's processes hold the display; end them before it goes.
  bash "$(dirname "${BASH_SOURCE[0]}")/wine-run.sh" --shutdown "$build" >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap stop_private_display EXIT

start_private_display() {
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$work/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || { echo "$1: Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$(tr -d '[:space:]' <"$work/display")"
}

# Waits for the program under wine; a failure shows what it printed to LOG.
wait_for_runner() {  # wait_for_runner NAME LOG
  local status=0
  wait "$runner_pid" || status=$?
  runner_pid=
  if [ "$status" -ne 0 ]; then
    echo "$1: the program ended with $status" >&2
    cat "$2" >&2
    exit 1
  fi
}
