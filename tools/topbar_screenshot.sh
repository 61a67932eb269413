#!/usr/bin/env bash
# Renders the top bar in Bangla, English and translation mode, compact, and with the pointer on its
# power button, one above the other, under Xvfb into a PNG, for review by eye:
#   tools/topbar_screenshot.sh [WINDOWS_BUILD_DIR] [OUTPUT.png]
# The build folder (default build/windows) must have built the target topbar_demo; the PNG goes
# there by default. The bars stand in the top-left corner of wine's desktop.
exec "$(dirname "${BASH_SOURCE[0]}")/lib/screenshot_demo.sh" topbar_demo tests/ui 300x230+0+0 "$@"
