#!/usr/bin/env bash
# Builds Auction Orv and starts it with its main window.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$top/scripts/setup.sh"
# The browser engine of the hidden bid windows cannot use its sandbox as root.
[ "$(id -u)" -ne 0 ] || export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---no-sandbox}"
exec "$BUILD_DIR/Auctions/orvauctions2" SHOW
