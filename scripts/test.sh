#!/usr/bin/env bash
# Builds Auction Orv and runs the whole test suite headless; each test runs on a private D-Bus session bus.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$top/scripts/setup.sh"
export QT_QPA_PLATFORM=offscreen
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---no-sandbox}"
cd "$BUILD_DIR"
if [ "${ORV_ASAN:-0}" != 1 ]; then
  exec ctest --output-on-failure --parallel "$(nproc)" --timeout 300 "$@"
fi
ctest --output-on-failure --parallel "$(nproc)" --timeout 300 "$@"
# ORV_ASAN=1: the item-page fuzz test once more, built with AddressSanitizer and UBSan in build-asan.
cmake --preset asan -S "$top"
cmake --build "$top/build-asan" --parallel "$(nproc)" --target engine_tst_ItemPageFuzz
cd "$top/build-asan"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
exec ctest --output-on-failure --timeout 300 -R '^engine_tst_ItemPageFuzz$'
