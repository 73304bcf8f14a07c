#!/usr/bin/env bash
# Sets everything up, builds, and runs the whole test suite headless through CTest.
# --sanitize: the same in build-asan/, built with AddressSanitizer and UndefinedBehaviorSanitizer;
# any report of either fails the test that caused it.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${FW_BUILD_DIR:-$ROOT/build}"
TIMEOUT=300
case "${1:-}" in
"") "$ROOT/scripts/setup.sh" ;;
--sanitize)
    "$ROOT/scripts/setup.sh" --sanitize
    BUILD_DIR="${FW_ASAN_BUILD_DIR:-$ROOT/build-asan}"
    TIMEOUT=900
    export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:strict_init_order=1"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    ;;
*)
    echo "usage: scripts/test.sh [--sanitize]" >&2
    exit 2
    ;;
esac
export QT_QPA_PLATFORM=offscreen
cd "$BUILD_DIR"
ctest --output-on-failure -j"${FW_JOBS:-2}" --timeout "$TIMEOUT"
