#!/usr/bin/env bash
# Renders the candidate popup in its main looks (Bangla target with voice row, next-word banner,
# English target while listening, a voice message alone) under Xvfb into a PNG, for review by eye:
#   tools/candidate_window_screenshot.sh [WINDOWS_BUILD_DIR] [OUTPUT.png]
# The build folder (default build/windows) must have built the target candidate_window_demo; the
# PNG goes there by default. The popups sit in the top-left corner of wine's desktop.
exec "$(dirname "${BASH_SOURCE[0]}")/lib/screenshot_demo.sh" candidate_window_demo tests/ui \
  640x400+0+0 "$@"
