#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer into
# build-fuzz/, then runs each for SECONDS (default 30) on a copy of its seed corpus and prints the
# execution counts. Exits non-zero when a target finds a fault; the input is left in build-fuzz/.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
SECONDS_PER_TARGET="${1:-30}"
BUILD_DIR="${FW_FUZZ_BUILD_DIR:-$ROOT/build-fuzz}"
TARGETS=(fuzz_line_parser fuzz_document fuzz_midi_file fuzz_ascii_tab fuzz_tab_import fuzz_midi_reader fuzz_musicxml fuzz_guitar_pro fuzz_gpx fuzz_gp7)

cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DFW_FUZZ=ON -DFW_SANITIZE=ON ${FW_CMAKE_ARGS:-} >/dev/null
cmake --build "$BUILD_DIR" -j"${FW_JOBS:-2}" --target "${TARGETS[@]}"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
status=0
summary=()
for target in "${TARGETS[@]}"; do
    corpus="$BUILD_DIR/corpus/$target"
    artifacts="$BUILD_DIR/findings/$target/"
    mkdir -p "$corpus" "$artifacts"
    log="$BUILD_DIR/$target.log"
    echo "== $target: ${SECONDS_PER_TARGET}s"
    # New inputs go to the build copy; the committed seeds stay as they are.
    if "$BUILD_DIR/fuzz/$target" -max_total_time="$SECONDS_PER_TARGET" -print_final_stats=1 \
        -artifact_prefix="$artifacts" -timeout=20 -rss_limit_mb=4096 \
        "$corpus" "$ROOT/fuzz/corpus/$target" >"$log" 2>&1; then
        result="ok"
    else
        result="FINDING (see $log and $artifacts)"
        status=1
    fi
    runs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)"
    summary+=("$(printf '%-18s %12s runs in %4ss  %s' "$target" "${runs:-?}" "$SECONDS_PER_TARGET" "$result")")
done
printf '%s\n' "${summary[@]}"
exit "$status"
