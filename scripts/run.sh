#!/usr/bin/env bash
# Sets everything up, builds, and starts Fretwerk Bass with an optional chord-list file.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$ROOT/scripts/setup.sh"
exec "${FW_BUILD_DIR:-$ROOT/build}/bin/fretwerk-bass" "$@"
