#!/usr/bin/env bash
# Builds the Debian package build/fretwerk-bass_<version>_amd64.deb with CPack and checks it with
# lintian (fails on an error), desktop-file-validate and appstreamcli.
# --check: then also installs it with apt-get, uses the installed programs (version, a conversion,
# the manual page, the icons, the association), removes and purges it, and fails when anything
# it installed is left behind. This changes the system: run it where that is wanted (as root).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${FW_BUILD_DIR:-$ROOT/build}"
CHECK=0
for arg in "$@"; do
    case "$arg" in
    --check) CHECK=1 ;;
    *)
        echo "usage: scripts/package.sh [--check]" >&2
        exit 2
        ;;
    esac
done

SUDO=""
if [[ $(id -u) -ne 0 ]]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive

# The package's own checkers; the build needs none of them, so scripts/setup.sh does not install them.
TOOLS=(lintian desktop-file-utils appstream man-db)
missing=()
for package in "${TOOLS[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

FW_BUILD_DIR="$BUILD_DIR" "$ROOT/scripts/setup.sh"

echo "== desktop-file-validate, appstreamcli"
desktop-file-validate "$ROOT/packaging/fretwerk-bass.desktop"
appstreamcli validate --no-net "$ROOT/packaging/org.fretwerk.bass.metainfo.xml"

echo "== cpack"
rm -f "$BUILD_DIR"/fretwerk-bass_*.deb
(cd "$BUILD_DIR" && cpack -G DEB -B "$BUILD_DIR/cpack" >/dev/null)
mv "$BUILD_DIR"/cpack/fretwerk-bass_*.deb "$BUILD_DIR/"
DEB="$(ls "$BUILD_DIR"/fretwerk-bass_*.deb)"
echo "$DEB"
dpkg-deb --field "$DEB" Depends

echo "== lintian"
# Every tag is shown, down to the pedantic ones; only an error fails. As root lintian must be told
# that this is meant.
lintian --allow-root --fail-on error --display-info --display-experimental --pedantic "$DEB"
echo "lintian: no errors"

if ((CHECK == 0)); then
    exit 0
fi

echo "== install"
FILES="$(mktemp)"
SCRATCH="$(mktemp -d)"
trap 'rm -rf "$FILES" "$SCRATCH"' EXIT
# Everything outside the package managers' own records, to compare with after the purge.
snapshot() { find /usr /etc /opt /var/lib -xdev -path /var/lib/dpkg -prune -o -path /var/lib/apt -prune -o -print | sort; }
snapshot >"$SCRATCH/before"
$SUDO apt-get install -y -qq "$DEB" >/dev/null
dpkg-query -L fretwerk-bass | sort >"$FILES"
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
[[ "$(command -v fretwerk-cli)" == /usr/bin/fretwerk-cli ]] || fail "fretwerk-cli is not /usr/bin/fretwerk-cli"
/usr/bin/fretwerk-cli --version
/usr/bin/fretwerk-bass --version
/usr/bin/fretwerk-cli tab "$ROOT/examples/twelve-bar-blues.bss" -o "$SCRATCH/blues.tab"
head -n 8 "$SCRATCH/blues.tab"
MANWIDTH=80 man fretwerk-cli | head -n 6
man -w fretwerk-bass
for size in 16 22 24 32 48 64 128 256; do
    for icon in apps/fretwerk-bass mimetypes/application-x-fretwerk-bass; do
        [[ -f /usr/share/icons/hicolor/${size}x${size}/$icon.png ]] || fail "missing ${size}x${size}/$icon.png"
    done
done
ls /usr/share/icons/hicolor/scalable/apps/fretwerk-bass.svg /usr/share/icons/hicolor/scalable/mimetypes/application-x-fretwerk-bass.svg
desktop-file-validate /usr/share/applications/fretwerk-bass.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.fretwerk.bass.metainfo.xml
grep -q "application/x-fretwerk-bass" /usr/share/mime/globs2 || fail "the MIME database does not know .bss files"
grep -q "application/x-fretwerk-bass=fretwerk-bass.desktop" /usr/share/applications/mimeinfo.cache ||
    fail "the desktop database does not open .bss files with the program"

# Started from the installed path in a scratch home, the program writes no association into it;
# started from the build folder, it does.
start_in() {
    mkdir -p "$SCRATCH/$1"
    env -u XDG_DATA_HOME -u XDG_DATA_DIRS HOME="$SCRATCH/$1" XDG_CONFIG_HOME="$SCRATCH/$1/.config" \
        QT_QPA_PLATFORM=offscreen timeout 5 "$2" >/dev/null 2>&1 || true
}
start_in installed /usr/bin/fretwerk-bass
start_in built "$BUILD_DIR/bin/fretwerk-bass"
[[ ! -e "$SCRATCH/installed/.local/share/applications" && ! -e "$SCRATCH/installed/.local/share/mime" ]] ||
    fail "the installed program wrote a per-user association"
grep -q "^Exec=$BUILD_DIR/bin/fretwerk-bass %f" "$SCRATCH/built/.local/share/applications/fretwerk-bass.desktop" ||
    fail "the program in the build folder wrote no per-user association"
echo "association: none written by the installed program, one by the build folder's"

echo "== remove and purge"
$SUDO apt-get remove -y -qq fretwerk-bass >/dev/null
# The package has no configuration files, so a removal leaves nothing to purge; dpkg says so.
$SUDO dpkg --purge fretwerk-bass >/dev/null
left=0
while read -r path; do
    # Folders shared with other packages (/usr, /usr/share/icons/hicolor/...) stay, as they should.
    if [[ -e "$path" && ! -d "$path" ]] || [[ -d "$path" && "$path" == *fretwerk* ]]; then
        echo "left behind: $path" >&2
        left=1
    fi
done <"$FILES"
! grep -q "fretwerk" /usr/share/mime/globs2 || { echo "left behind: .bss in the MIME database" >&2 && left=1; }
! grep -q "fretwerk" /usr/share/applications/mimeinfo.cache || { echo "left behind: desktop database entry" >&2 && left=1; }
! dpkg-query -W fretwerk-bass >/dev/null 2>&1 || { echo "left behind: the package's dpkg record" >&2 && left=1; }
# New paths that belong to no package (dependencies apt installed on the way do belong to one).
snapshot >"$SCRATCH/after"
while read -r path; do
    if ! dpkg-query -S "$path" >/dev/null 2>&1; then
        echo "left behind: $path" >&2
        left=1
    fi
done < <(comm -13 "$SCRATCH/before" "$SCRATCH/after")
((left == 0)) || fail "removal left files behind"
echo "installed, used, removed: nothing left behind"
