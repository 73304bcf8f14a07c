#!/usr/bin/env bash
# Plays an example live through a private PulseAudio server with a null sink, records the sink's
# monitor, and compares every note onset of the recording with the offline render of the same
# example. Run by hand (not by CI): it installs the sound server it needs.
#
#   bench/live-sound/check.sh [BUILD_DIR] [EXAMPLE.bss]
#
# Exits 0 when every onset is within 2 ms of the render's, 1 when one is not, 2 when only notes that
# could not be measured (a gap in the sound at their onset) kept the run from passing. Prints the
# underruns twice: as the program counts them (play --verbose: when each came, how its buffer grew,
# how many came after the first second) and as the server's log shows them.
# KEEP=1 keeps the work directory; the server logs at debug level there (PULSE_VERBOSE overrides
# -vvvv), and the check counts the underruns of the playback stream the log shows.
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
ROOT="$(cd "$HERE/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
EXAMPLE="${2:-$ROOT/examples/walking-in-g.bss}"
CLI="$BUILD/bin/fretwerk-cli"

need=()
for package in pulseaudio pulseaudio-utils python3-numpy; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || need+=("$package")
done
if ((${#need[@]})); then
    SUDO=""
    [[ $(id -u) -ne 0 ]] && SUDO="sudo"
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

WORK="$(mktemp -d)"
export XDG_RUNTIME_DIR="$WORK/runtime"
export HOME="$WORK/home"
mkdir -p "$XDG_RUNTIME_DIR" "$HOME"
chmod 700 "$XDG_RUNTIME_DIR"
server_pid=""
record_pid=""
cleanup() {
    [[ -n "$record_pid" ]] && kill "$record_pid" 2>/dev/null || true
    [[ -n "$server_pid" ]] && kill "$server_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    if [[ -n "${KEEP:-}" ]]; then echo "kept $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

pulseaudio ${PULSE_VERBOSE--vvvv} --log-time=1 -n --daemonize=no --exit-idle-time=-1 --log-target=file:"$WORK/pulse.log" \
    -L "module-null-sink sink_name=fw rate=44100 channels=2" -L module-native-protocol-unix &
server_pid=$!
for _ in $(seq 50); do
    [[ -S "$XDG_RUNTIME_DIR/pulse/native" ]] && pactl info >/dev/null 2>&1 && break
    sleep 0.1
done
pactl set-default-sink fw

"$CLI" wav "$EXAMPLE" -o "$WORK/render.wav"
"$CLI" play "$EXAMPLE" --events > "$WORK/events.txt"

parecord -d fw.monitor --format=s16le --rate=44100 --channels=2 --file-format=wav "$WORK/live.wav" &
record_pid=$!
# The recorder's stream sets the sink's latency when it connects: playing before that would let
# the sink change its timing in the middle of the playback.
for _ in $(seq 100); do
    pactl list short source-outputs 2>/dev/null | grep -q . && break
    sleep 0.1
done
sleep 0.5
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
/usr/bin/time -f "play: %e s wall, %U s user, %S s sys" "$CLI" play "$EXAMPLE" --verbose 2> "$WORK/play.txt" || true
# The program's own account: each underrun and growth of its buffer, then the counts.
grep -v "^fretwerk-cli: audio output: \(underrun\|buffer grown\)" "$WORK/play.txt" || true
grep -c "^fretwerk-cli: audio output: underrun" "$WORK/play.txt" | sed 's/^/program: /; s/$/ underruns reported/' || true
grep "^fretwerk-cli: audio output: buffer grown" "$WORK/play.txt" | sed 's/^fretwerk-cli: audio output: /program: /' || true
sleep 1.5
kill -INT "$record_pid"
wait "$record_pid" 2>/dev/null || true
record_pid=""

# A late period is skipped by the server (heard as a gap), which moves no later note.
echo "server: $(grep -ci "underrun of 'Built-in synthesizer'" "$WORK/pulse.log" || true) underruns of the playback stream"
/usr/bin/python3 "$HERE/compare.py" "$WORK/render.wav" "$WORK/live.wav" "$WORK/events.txt"
