#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the tools need, then configures and
# builds into build/. Quick on a second run: apt-get runs only when a package is missing.
# --sanitize: build with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ instead.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${FW_BUILD_DIR:-$ROOT/build}"
BUILD_TYPE="${FW_BUILD_TYPE:-RelWithDebInfo}"
SANITIZE_ARGS=()
for arg in "$@"; do
    case "$arg" in
    --sanitize)
        BUILD_DIR="${FW_ASAN_BUILD_DIR:-$ROOT/build-asan}"
        # A debug configuration, so Qt's own assertions in its inline code are checked as well.
        BUILD_TYPE=Debug
        SANITIZE_ARGS=(-DFW_SANITIZE=ON)
        ;;
    *)
        echo "usage: scripts/setup.sh [--sanitize]" >&2
        exit 2
        ;;
    esac
done

PACKAGES=(
    build-essential cmake pkg-config git
    qt6-base-dev qt6-base-dev-tools libgl-dev
    librtmidi-dev libfluidsynth-dev fluidsynth timgm6mb-soundfont
    libpulse-dev pulseaudio
    libgtest-dev libgmock-dev
    xvfb xauth x11-utils imagemagick fonts-dejavu-core poppler-utils
    midicsv python3-mido
    libzip-dev
    clang libclang-rt-14-dev
    librsvg2-bin help2man
    nodejs
)

missing=()
for package in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    SUDO=""
    if [[ $(id -u) -ne 0 ]]; then
        SUDO="sudo"
    fi
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Debian's nodejs leaves npm to a package of its own; some Node packagings bring it along.
if ! command -v npm >/dev/null; then
    SUDO=""
    [[ $(id -u) -ne 0 ]] && SUDO="sudo"
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends npm \
        || echo "npm could not be installed: the tests that compare with alphaTab will skip" >&2
fi

cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE="$BUILD_TYPE" "${SANITIZE_ARGS[@]}" \
    ${FW_CMAKE_ARGS:-} >/dev/null
cmake --build "$BUILD_DIR" -j"${FW_JOBS:-2}"

# The second Guitar Pro reader the import tests compare with (alphaTab under Node), in the build tree.
# Without npm or a network the tests that use it skip.
ALPHATAB_DIR="$BUILD_DIR/alphatab"
if [[ ! -d "$ALPHATAB_DIR/node_modules/@coderline/alphatab" ]]; then
    if command -v npm >/dev/null; then
        npm install --prefix "$ALPHATAB_DIR" --no-audit --no-fund --silent @coderline/alphatab@1.8.4 \
            || echo "alphaTab not installed: the tests that compare with it will skip" >&2
    else
        echo "npm not found: the tests that compare Guitar Pro files with alphaTab will skip" >&2
    fi
fi
