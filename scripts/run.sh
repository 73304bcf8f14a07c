#!/usr/bin/env bash
# Sets everything up, builds, and starts Fretwerk Bass with an optional chord-list file.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$ROOT/scripts/setup.sh"
# The best General MIDI SoundFont Debian ships, for a full bass sound; the tests keep the small one.
if ! dpkg-query -W -f='${Status}' fluid-soundfont-gm 2>/dev/null | grep -q "install ok installed"; then
    SUDO=""
    if [[ $(id -u) -ne 0 ]]; then
        SUDO="sudo"
    fi
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends fluid-soundfont-gm \
        || echo "run.sh: fluid-soundfont-gm could not be installed; the small SoundFont is used" >&2
fi
exec "${FW_BUILD_DIR:-$ROOT/build}/bin/fretwerk-bass" "$@"
