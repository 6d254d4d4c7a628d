#!/usr/bin/env bash
# Builds Auction Orv and starts it with its main window.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$top/scripts/setup.sh"
exec "$BUILD_DIR/Auctions/orvauctions2" SHOW
