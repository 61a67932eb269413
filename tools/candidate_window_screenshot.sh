#!/usr/bin/env bash
# Renders the candidate popup in its main looks (Bangla target with voice row, next-word banner,
# English target while listening, a voice message alone) under Xvfb into a PNG, for review by eye:
#   tools/candidate_window_screenshot.sh [WINDOWS_BUILD_DIR] [OUTPUT.png]
# The build folder (default build/windows) must have built the target candidate_window_demo.
# Needs wine64, Xvfb and ImageMagick's import.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build/windows}" && pwd)
out=${2:-$build/candidate_window.png}
demo=$build/tests/ui/candidate_window_demo.exe
if [ ! -f "$demo" ]; then
  echo "missing $demo: cmake --build $build --target candidate_window_demo" >&2
  exit 1
fi
prefix=$build/wineprefix
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

# The test prefix, made with its Bengali font mapping the way the tests make it (the demo ends at once).
"$root/tools/wine_run.sh" "$prefix" "$demo" 0

export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exec 9>"$prefix.lock"
flock 9

display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
  "$wineserver" -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  rm -f "$display_file"
}
trap cleanup EXIT
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  sleep 0.05
done
export DISPLAY=":$(head -n1 "$display_file")"

"$wine" "$demo" 20000 &
demo_pid=$!
sleep "${QORVA_SCREENSHOT_WAIT:-6}"
# The popups sit in the top-left corner of wine's desktop.
import -display "$DISPLAY" -window root -crop 640x400+0+0 +repage "$out"
kill "$demo_pid" 2>/dev/null || true
echo "$out"
