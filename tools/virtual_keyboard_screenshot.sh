#!/usr/bin/env bash
# Renders the on-screen keyboard's four tabs, and the English tab with Shift latched, under Xvfb
# into a PNG, for review by eye:
#   tools/virtual_keyboard_screenshot.sh [WINDOWS_BUILD_DIR] [OUTPUT.png]
# The build folder (default build/windows) must have built the target virtual_keyboard_demo; the
# PNG goes there by default. The keyboards stand in two columns from the top-left corner of wine's
# desktop.
exec "$(dirname "${BASH_SOURCE[0]}")/lib/screenshot_demo.sh" virtual_keyboard_demo tests/universal \
  1264x900+0+0 "$@"
