#!/usr/bin/env bash
# Installs the Debian packages of scripts/packages.txt that are missing, then configures and builds.
# Sourced by run.sh and test.sh; BUILD_DIR and BUILD_TYPE may be set by the caller.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$top/build}
BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo}

bash "$top/scripts/install-packages.sh"
cmake -S "$top" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE="$BUILD_TYPE" ${CMAKE_EXTRA_ARGS:-}
cmake --build "$BUILD_DIR" --parallel "$(nproc)"
