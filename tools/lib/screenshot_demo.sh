#!/usr/bin/env bash
# Renders what a demo program shows under Xvfb into a PNG, for review by eye:
#   screenshot_demo.sh TARGET FOLDER GEOMETRY [WINDOWS_BUILD_DIR] [OUTPUT.png]
# TARGET is the demo's build target, FOLDER where the build puts it (relative to the build folder,
# default build/windows); GEOMETRY is the part of wine's desktop to capture, as ImageMagick's
# WIDTHxHEIGHT+X+Y. The demo runs inside the test prefix through the driver mode of
# tools/wine_run.sh and gets some seconds to paint. Needs ImageMagick.
set -euo pipefail

if [ "${1:-}" = --inside ]; then
  # Inside the prefix's display (DISPLAY, WINE and WINESERVER come from wine_run.sh).
  demo=$2
  out=$3
  geometry=$4
  "$WINE" "$demo" 20000 &
  demo_pid=$!
  trap '"$WINESERVER" -k >/dev/null 2>&1 || true; wait "$demo_pid" 2>/dev/null || true' EXIT
  sleep "${QORVA_SCREENSHOT_WAIT:-6}"
  import -display "$DISPLAY" -window root -crop "$geometry" +repage "$out"
  echo "$out"
  exit 0
fi

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
target=$1
folder=$2
geometry=$3
build=$(cd "${4:-$root/build/windows}" && pwd)
out=$(realpath -m "${5:-$build/$target.png}")
demo=$build/$folder/$target.exe
if [ ! -f "$demo" ]; then
  echo "missing $demo: cmake --build $build --target $target" >&2
  exit 1
fi
exec "$root/tools/wine_run.sh" --driver "$build/wineprefix" "${BASH_SOURCE[0]}" --inside "$demo" \
  "$out" "$geometry"
