#!/usr/bin/env bash
# Renders the universal program's two update dialogs under Xvfb into a PNG, for review by eye:
#   tools/update_dialogs_screenshot.sh [WINDOWS_BUILD_DIR] [OUTPUT.png]
# The build folder (default build/windows) must have built the target update_dialogs_demo; the PNG
# goes there by default. The update-available dialog stands at the top-left corner of wine's
# desktop, the updater (stopped at 57 %, over a fake update service) to its right.
exec "$(dirname "${BASH_SOURCE[0]}")/lib/screenshot_demo.sh" update_dialogs_demo tests/universal \
  1060x460+0+0 "$@"
