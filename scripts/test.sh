#!/usr/bin/env bash
# Builds Auction Orv and runs the whole test suite headless; each test runs on a private D-Bus session bus.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$top/scripts/setup.sh"
export QT_QPA_PLATFORM=offscreen
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---no-sandbox}"
cd "$BUILD_DIR"
exec ctest --output-on-failure --parallel "$(nproc)" --timeout 300 "$@"
