#!/usr/bin/env bash
# Runs one Windows executable under wine64 for the test suite:
#   wine_run.sh PREFIX_DIR program.exe [args...]
# or, in driver mode, a script that drives Windows programs inside the same set-up:
#   wine_run.sh --driver PREFIX_DIR script [args...]
# The script runs with DISPLAY, WINEPREFIX, WINE (the wine64 program) and WINESERVER set, while
# this run holds the prefix; it may start programs in the background ("$WINE" program.exe, one
# Windows process each, to be stopped by its id), type into the display with xdotool (the keys
# reach Windows programs as hardware input) and look at the display; its exit status is the
# run's. An executable script runs as itself, so its first line chooses its interpreter; any other
# runs with bash.
# The prefix lives in the build folder, so a test run never touches the user's ~/.wine; it is made
# once, and the scripts of wine_prefix.d run again in it whenever they change. Each run
# gets its own Xvfb display and leaves no Wine process behind; runs that share a prefix take turns,
# because one wineserver cannot serve two X displays.
set -u

driver=
if [ "${1:-}" = --driver ]; then
  driver=1
  shift
fi
prefix=$1
shift
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY

wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

xvfb_pid=
start_display() {
  local fd_file
  fd_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 9>&- &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$fd_file" ] && break
    sleep 0.05
  done
  export DISPLAY=":$(head -n1 "$fd_file")"
  rm -f "$fd_file"
}

stop_everything() {
  "$wineserver" -k >/dev/null 2>&1
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=
}
trap stop_everything EXIT

# What the prefix scripts say, so that a prefix made before they changed takes the change.
prefix_scripts_stamp() {
  cat "$here"/wine_prefix.d/*.sh 2>/dev/null | sha256sum | cut -d' ' -f1
}

run_prefix_scripts() {
  for script in "$here"/wine_prefix.d/*.sh; do
    [ -f "$script" ] && WINE="$wine" bash "$script"
  done
  "$wineserver" -w
}

init_prefix() {
  local stamp
  stamp=$(prefix_scripts_stamp)
  if [ -f "$prefix/.qorva-ready" ]; then
    [ "$(cat "$prefix/.qorva-ready")" = "$stamp" ] && return 0
    run_prefix_scripts
    echo "$stamp" >"$prefix/.qorva-ready"
    return 0
  fi
  mkdir -p "$prefix"
  "$wine" wineboot --init >/dev/null 2>&1
  "$wineserver" -w
  # A virtual desktop stands in for a window manager: without one, focus and activation misbehave.
  "$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  "$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
  # Bengali text needs a Bengali font inside the prefix; Xvfb's hosts rarely have one mapped.
  local fonts=$prefix/drive_c/windows/Fonts
  mkdir -p "$fonts"
  cp /usr/share/fonts/truetype/fonts-beng-extra/*.ttf "$fonts/" 2>/dev/null
  run_prefix_scripts
  echo "$stamp" >"$prefix/.qorva-ready"
}

# Only this script holds the prefix's lock (descriptor 9): every program it starts gets the
# descriptor closed, so a Wine process that outlives its run (a service such as rpcss.exe) cannot
# keep the next run waiting for ever. A run that cannot have the prefix in ten minutes fails.
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
if ! flock -w 600 9; then
  echo "wine_run.sh: the prefix $prefix stayed busy for 10 minutes" >&2
  exit 1
fi
# Whatever an earlier run of this prefix left running would serve the wrong display.
"$wineserver" -k >/dev/null 2>&1 9>&-
"$wineserver" -w >/dev/null 2>&1 9>&-

start_display
init_prefix 9>&-
if [ -n "$driver" ]; then
  if [ -x "$1" ]; then
    WINE=$wine WINESERVER=$wineserver "$@" 9>&-
  else
    WINE=$wine WINESERVER=$wineserver bash "$@" 9>&-
  fi
else
  "$wine" "$@" 9>&-
fi
rc=$?
exit $rc
