#!/usr/bin/env bash
# Builds Auction Orv, then draws its main window on the demo state file (tests/fixtures/demo-auctions.xml)
# at a fixed moment under the offscreen platform and writes docs/main-window.png.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$top/scripts/setup.sh"
screen=$(mktemp --suffix=.json)
trap 'rm -f "$screen"' EXIT
# One 1280 x 800 screen at 96 dpi, so the picture does not depend on the machine.
echo '{ "screens": [ { "name": "demo", "x": 0, "y": 0, "width": 1280, "height": 800,
                       "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1 } ] }' > "$screen"
QT_QPA_PLATFORM="offscreen:configfile=$screen" \
  "$BUILD_DIR/tests/orv_screenshot" "$top/tests/fixtures/demo-auctions.xml" "$top/docs/main-window.png"
echo "Wrote $top/docs/main-window.png"
