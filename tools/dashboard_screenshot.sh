#!/usr/bin/env bash
# Renders two sections of the settings dashboard under Xvfb into PNGs, for review by eye: the
# Dashboard section with a sample settings.json, and the Dictionary section with Bengali words in
# its list.
#   tools/dashboard_screenshot.sh [WINDOWS_BUILD_DIR] [OUTPUT_DIR]
# The build folder (default build/windows) must have built qorva_settings. Runs inside the test
# prefix through the driver mode of tools/wine_run.sh; the sample files go into the prefix's
# per-user data folder and what was there before is put back afterwards. Needs ImageMagick.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

if [ "${1:-}" != --inside ]; then
  build=$(cd "${1:-$root/build/windows}" && pwd)
  out=${2:-$build}
  mkdir -p "$out"
  out=$(cd "$out" && pwd)
  exe=$build/settings/qorva_settings.exe
  if [ ! -f "$exe" ]; then
    echo "missing $exe: cmake --build $build --target qorva_settings" >&2
    exit 1
  fi
  exec "$root/tools/wine_run.sh" --driver "$build/wineprefix" "${BASH_SOURCE[0]}" --inside "$exe" "$out"
fi

# Inside the prefix's display (DISPLAY, WINE and WINESERVER come from wine_run.sh).
exe=$2
out=$3
appdata=$("$WINE" cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
data=$("$WINE" winepath -u "$appdata" 2>/dev/null)/Pelorin
mkdir -p "$data"
saved=$(mktemp -d)
shot=$(mktemp --suffix=.png)
samples=(settings.json personal_dict.txt)
for name in "${samples[@]}"; do
  [ -f "$data/$name" ] && cp "$data/$name" "$saved/"
done
restore() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  for name in "${samples[@]}"; do
    rm -f "$data/$name"
    [ -f "$saved/$name" ] && cp "$saved/$name" "$data/"
  done
  rm -rf "$saved" "$shot"
}
trap restore EXIT

printf '{\r\n  "launch_startup": true,\r\n  "auto_check_update": false,\r\n  "topbar_autohide": false\r\n}\r\n' \
  >"$data/settings.json"
printf 'ami\t\xe0\xa6\x86\xe0\xa6\xae\xe0\xa6\xbf\r\nbhalo\t\xe0\xa6\xad\xe0\xa6\xbe\xe0\xa6\xb2\xe0\xa7\x8b\r\nbangla\t\xe0\xa6\xac\xe0\xa6\xbe\xe0\xa6\x82\xe0\xa6\xb2\xe0\xa6\xbe\r\n' \
  >"$data/personal_dict.txt"

# The desktop is one plain colour: trimmed, the screen is the window. A window narrower than the
# dashboard means it is not drawn yet.
drawn_width() {
  import -display "$DISPLAY" -window root "$shot" && convert "$shot" -trim -format '%w' info: 2>/dev/null
}

capture() {
  local name=$1
  shift
  "$WINE" "$exe" "$@" &
  local program=$!
  for _ in $(seq 120); do
    [ "$(drawn_width)" -ge 800 ] && break
    sleep 0.5
  done
  sleep 1  # let the last controls paint
  import -display "$DISPLAY" -window root "$shot"
  convert "$shot" -trim +repage "$out/dashboard_$name.png"
  echo "$out/dashboard_$name.png"
  "$WINESERVER" -k >/dev/null 2>&1 || true
  wait "$program" 2>/dev/null || true
}

capture dashboard
capture dictionary /dict
