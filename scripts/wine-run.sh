#!/usr/bin/env bash
# Runs a Windows program, 32- or 64-bit, under Wine 10 from the Debian 13
# root of scripts/wine-root.sh, in the mode scripts/wine-mode.sh chooses for
# this machine (WoW64, classic, or classic under qemu-i386), and passes its
# exit code through. CTest uses it as the emulator of the win32 build.
#
# usage: wine-run.sh PROGRAM.exe [ARGUMENTS...]
#        wine-run.sh --shutdown [BUILD-TREE]
#          ends the prefix's wineserver and every Wine process in it; fails
#          if one was still left or something of the root stayed mounted
#
# Environment:
#   POLAR_WINEPREFIX     the prefix; by default "wineprefix" in the build tree
#                        (the first directory above the program, the working
#                        directory or BUILD-TREE that holds a CMakeCache.txt)
#   POLAR_WINE_MODE      auto, wow64 or classic (scripts/wine-mode.sh)
#   POLAR_WINE_ROOT, POLAR_WINE_CLASSIC_ROOT  the roots (scripts/wine-root.sh)
#   POLAR_WINE_TIMEOUT   seconds before the program and the prefix's Wine
#                        processes are killed, exit 124 (default 600)
#   POLAR_WINE_GRAPHICS  auto: x11 on DISPLAY if set, else the null driver;
#                        null; x11: DISPLAY, or a private Xvfb for the run
#   POLAR_WINE_KEEP      seconds the prefix's wineserver stays after a
#                        program, for quicker starts (default 60; 0: ends
#                        with the program)
# The program sees the caller's environment and working directory. Its output
# goes through files: Wine's helper processes outlive it and would hold pipes.
# A PROGRAM that is no Windows program runs directly, without Wine.
#
# A session, a wineserver and the programs it serves, has a private mount
# namespace, gone when its processes end: the root's /usr, /etc, /var
# read-only, the host's /proc, /sys, /dev, the host's / at /host, and every
# other top-level directory of the host (/work, /tmp, /root, ...) and /var/tmp
# at its own path, so that Linux paths mean the same inside. Programs join the
# namespace of the running wineserver, which opens files for them.
set -uo pipefail

self=$(readlink -f "$0")
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
# Top-level directories the root provides itself.
system_dirs=" proc sys dev usr bin sbin lib lib32 lib64 libx32 etc var boot lost+found host "

# Inside a fresh mount namespace: assemble the view and run COMMAND in it.
if [ "${1:-}" = --enter ]; then
  set -e
  root=$2
  cwd=$3
  shift 3
  new=$root/.newroot
  mount -t tmpfs -o mode=755,size=1m polar-wine-view "$new"
  mkdir "$new/host"
  mount --rbind / "$new/host"
  for entry in "$root"/*; do
    name=${entry##*/}
    if [ -L "$entry" ]; then
      ln -s "$(readlink "$entry")" "$new/$name"
    elif [ -d "$entry" ] && [[ $system_dirs == *" $name "* ]]; then
      case "$name" in proc | sys | dev) continue ;; esac
      mkdir "$new/$name"
      mount --rbind "$entry" "$new/$name"
      mount -o remount,bind,ro "$new/$name"
    fi
  done
  for entry in /* /.[!.]*; do
    name=${entry##*/}
    [[ $system_dirs == *" $name "* ]] && [[ " proc sys dev " != *" $name "* ]] && continue
    if [ -L "$entry" ]; then
      [ -e "$new/$name" ] || [ -L "$new/$name" ] || ln -s "$(readlink "$entry")" "$new/$name"
    elif [ -d "$entry" ]; then
      mkdir -p "$new/$name"
      mount --rbind "$entry" "$new/$name" || echo "wine-run: $entry is not seen inside" >&2
    fi
  done
  mount --rbind /var/tmp "$new/var/tmp"
  # Host libraries must not be forced into the root's programs.
  exec chroot "$new" /usr/bin/env -u LD_PRELOAD -u LD_LIBRARY_PATH -C "$cwd" "$@"
fi

usage() {
  echo "usage: $0 PROGRAM.exe [ARGUMENTS...] | --shutdown [BUILD-TREE]" >&2
  exit 2
}
[ $# -ge 1 ] || usage

shutdown=
if [ "$1" = --shutdown ]; then
  [ $# -le 2 ] || usage
  shutdown=${2:-.}
elif [ -f "$1" ] && [ "$(head -c 2 "$1")" != MZ ]; then
  # Not a Windows program (CMake puts the emulator before every executable
  # target, imported interpreters too): it runs here, as it is.
  exec "$@"
fi

# The mode, its root, and why.
IFS=$'\t' read -r mode root _ < <("$(dirname "$self")/wine-root.sh" --check) || true
[ -n "${root:-}" ] || exit 1

build_tree_of() {
  local dir
  dir=$(cd "$1" 2>/dev/null && pwd -P) || return 1
  while [ "$dir" != / ]; do
    [ -f "$dir/CMakeCache.txt" ] && { echo "$dir"; return 0; }
    dir=$(dirname "$dir")
  done
  return 1
}

if [ -z "${POLAR_WINEPREFIX:-}" ]; then
  if [ -n "$shutdown" ]; then
    tree=$(build_tree_of "$shutdown") || tree=$(cd "$shutdown" 2>/dev/null && pwd -P) ||
      { echo "wine-run: no build tree $shutdown" >&2; exit 2; }
  else
    tree=$(build_tree_of "$(dirname "$1")") || tree=$(build_tree_of .) ||
      tree="$(cd "$(dirname "$self")/.." && pwd -P)/build"
  fi
  POLAR_WINEPREFIX=$tree/wineprefix
fi
mkdir -p "$(dirname "$POLAR_WINEPREFIX")"
WINEPREFIX=$(cd "$(dirname "$POLAR_WINEPREFIX")" && pwd -P)/$(basename "$POLAR_WINEPREFIX")
export WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts: nothing here needs them. No debugger:
# a crashed process, the program or one of Wine's own services, ends at once
# with a failing code. The debugger would end the program with code 0, or
# show a crash dialog that holds up everything waiting on that process until
# the time limit.
export WINEDLLOVERRIDES="mscoree,mshtml,winedbg.exe=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"

cwd=$(pwd -P)
# Paths under the root's own directories would name the root's files inside.
visible() {
  local top=${1#/}
  top=${top%%/*}
  case "$1" in /var/tmp | /var/tmp/*) return 0 ;; esac
  [[ $system_dirs != *" $top "* ]]
}
for path in "$WINEPREFIX" "$cwd"; do
  if ! visible "$path"; then
    echo "wine-run: $path is not seen at its own path inside the Wine root" >&2
    exit 2
  fi
done

# The running wineserver of the prefix, if any.
server_pid() {
  local f p
  for f in $(grep -lxE 'wineserver(64)?' /proc/[0-9]*/comm 2>/dev/null); do
    p=${f#/proc/}
    p=${p%/comm}
    tr '\0' '\n' 2>/dev/null <"/proc/$p/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
      { echo "$p"; return 0; }
  done
  return 0
}

# in_root COMMAND...: becomes COMMAND in the root, in the caller's directory;
# enter: the same in a child. While a wineserver runs, that happens in its
# mount namespace: the directories it opens for its clients (their current
# directories among them) must be on their mounts, or getcwd() fails there.
in_root() {
  local server ns_fd root_fd
  server=$(server_pid)
  # Open, the namespace and its root stay even if the wineserver ends now.
  if [ -n "$server" ] && { exec {ns_fd}<"/proc/$server/ns/mnt" {root_fd}<"/proc/$server/root"; } 2>/dev/null; then
    exec nsenter --mount="/proc/self/fd/$ns_fd" --root="/proc/self/fd/$root_fd" -- \
      /usr/bin/env -u LD_PRELOAD -u LD_LIBRARY_PATH -C "$cwd" "$@"
  fi
  exec unshare -m -- "$self" --enter "$root" "$cwd" "$@"
}
enter() { (in_root "$@"); }

# Wine's own processes must not keep the caller's pipes or the lock open.
quiet() { "$@" </dev/null >/dev/null 2>&1 9>&-; }

stop_wineserver() {
  [ -n "$(server_pid)" ] || return 0
  quiet enter "$wineserver" -k
  for _ in $(seq 100); do
    [ -z "$(server_pid)" ] && return 0
    sleep 0.1
  done
  return 1
}

# Processes of the prefix: in a mount namespace of their own, with the
# environment Wine passes on.
prefix_processes() {
  local p ours
  ours=$(readlink /proc/self/ns/mnt)
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/ns/mnt" 2>/dev/null)" != "$ours" ] || continue
    tr '\0' '\n' 2>/dev/null <"$p/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && echo "${p#/proc/}"
  done
  return 0
}

tmp=$(mktemp -d "${TMPDIR:-/tmp}/wine-run.XXXXXX")
xvfb_pid=
pid=
sleeper=
cleanup() {
  [ -n "$sleeper" ] && kill "$sleeper" 2>/dev/null
  if [ -n "$pid" ]; then
    # Interrupted: the program, then whatever it started in the prefix.
    kill -KILL "$pid" 2>/dev/null
    stop_wineserver
    cat "$tmp/out"
    cat "$tmp/err" >&2
  fi
  if [ -n "$xvfb_pid" ]; then
    # The prefix's processes hold the private display; end them before it goes.
    stop_wineserver
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# One run at a time per prefix: creating it, switching its driver and the
# private display's clean-up must not meet another run.
exec 9>"$WINEPREFIX.lock"
flock 9

if [ -n "$shutdown" ]; then
  status=0
  stop_wineserver || status=1
  left=
  for _ in $(seq 50); do
    left=$(prefix_processes)
    [ -z "$left" ] && break
    sleep 0.1
  done
  if [ -n "$left" ]; then
    echo "wine-run: Wine processes of $WINEPREFIX were left, now killed:" >&2
    for p in $left; do echo "  $p $(tr '\0' ' ' 2>/dev/null <"/proc/$p/cmdline")" >&2; done
    kill -KILL $left 2>/dev/null
    status=1
  fi
  if findmnt -rn -o TARGET | grep -qF "$root"; then
    echo "wine-run: something of $root is still mounted:" >&2
    findmnt -rn -o TARGET | grep -F "$root" >&2
    status=1
  fi
  exit "$status"
fi

graphics=${POLAR_WINE_GRAPHICS:-auto}
case "$graphics" in
  auto) if [ -n "${DISPLAY:-}" ]; then graphics=x11; else graphics=null; fi ;;
  null | x11) ;;
  *) echo "wine-run: POLAR_WINE_GRAPHICS is auto, null or x11, not $graphics" >&2; exit 2 ;;
esac
if [ "$graphics" = x11 ] && [ -z "${DISPLAY:-}" ]; then
  Xvfb -displayfd 8 -nolisten tcp -screen 0 1280x1024x24 8>"$tmp/display" 9>&- >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$tmp/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$tmp/display" ]; then
    echo "wine-run: Xvfb did not start" >&2
    exit 1
  fi
  export DISPLAY=":$(tr -d '[:space:]' <"$tmp/display")"
fi

# A wineserver serves the driver and display its session started with; a new
# X server on the same display number made a new socket.
session=$graphics
if [ "$graphics" = x11 ]; then
  display=${DISPLAY#*:}
  session="$session $DISPLAY $(stat -c '%i %.9Z' "/tmp/.X11-unix/X${display%%.*}" 2>/dev/null)"
fi
if [ "$(cat "$WINEPREFIX/.polar-session" 2>/dev/null)" != "$session" ]; then
  stop_wineserver
  rm -f "$WINEPREFIX/.polar-session"
fi

set_driver() {
  enter "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "$graphics" /f \
    </dev/null >"$tmp/reg" 2>&1 9>&- || {
    echo "wine-run: could not choose the $graphics driver in $WINEPREFIX" >&2
    cat "$tmp/reg" >&2
    return 1
  }
  # Read by the next session; the registry reaches its files as the wineserver ends.
  stop_wineserver
  echo "$graphics" >"$WINEPREFIX/.polar-graphics"
}

if [ ! -f "$WINEPREFIX/.polar-graphics" ]; then
  echo "wine-run: creating $WINEPREFIX" >&2
  enter "$wine" wineboot -i </dev/null >"$tmp/boot" 2>&1 9>&- || {
    echo "wine-run: could not create $WINEPREFIX" >&2
    cat "$tmp/boot" >&2
    exit 1
  }
  set_driver || exit 1
elif [ "$(cat "$WINEPREFIX/.polar-graphics")" != "$graphics" ]; then
  stop_wineserver
  set_driver || exit 1
fi

keep=${POLAR_WINE_KEEP:-60}
[ -n "$xvfb_pid" ] && keep=0
if [ "$keep" != 0 ] && [ -z "$(server_pid)" ]; then
  # A new session: the wineserver stays KEEP seconds after the last program;
  # Wine's services start now, away from the program's output.
  quiet enter "$wineserver" -p"$keep"
  quiet enter "$wine" cmd /c exit
fi
echo "$session" >"$WINEPREFIX/.polar-session"

limit=${POLAR_WINE_TIMEOUT:-600}
in_root "$wine" "$@" </dev/null >"$tmp/out" 2>"$tmp/err" 9>&- &
pid=$!
sleep "$limit" 9>&- &
sleeper=$!
wait -n "$pid" "$sleeper"
status=$?
if kill -0 "$pid" 2>/dev/null; then
  # The program, then whatever it started in the prefix.
  kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  pid=
  stop_wineserver
  cat "$tmp/out"
  cat "$tmp/err" >&2
  echo "wine-run: $1 timed out after $limit s" >&2
  exit 124
fi
pid=
kill "$sleeper" 2>/dev/null
wait "$sleeper" 2>/dev/null
sleeper=
cat "$tmp/out"
cat "$tmp/err" >&2
[ "$keep" = 0 ] && stop_wineserver
exit "$status"
