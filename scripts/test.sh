#!/usr/bin/env bash
# Sets everything up, builds, and runs the whole test suite headless through CTest.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${FW_BUILD_DIR:-$ROOT/build}"
"$ROOT/scripts/setup.sh"
export QT_QPA_PLATFORM=offscreen
cd "$BUILD_DIR"
ctest --output-on-failure -j"${FW_JOBS:-2}" --timeout 300
