"""Compares the note onsets of a live recording with the offline render of the same playback.

Usage: compare.py RENDER.wav LIVE.wav EVENTS.txt

EVENTS.txt is the output of `fretwerk-cli play FILE --events`: "ms status data1 data2" per message,
from which the note onsets (note-ons with a velocity) are taken. The recording is aligned on its
first sound; then each onset is found by cross-correlating the render's first 20 ms of that note
with the recording around where it should be. Prints the differences and exits 1 when one is
more than 2 ms.

A note whose measurement is off because the recording has a gap at its onset (silence where the
render sounds, after which the render's samples go on in their places: the server skipped a period
that came late) cannot be measured: such notes are listed, and the run exits 2 (neither passed nor
failed) when no other note is off.
"""
import sys
import wave

import numpy as np

RATE = 44100
WINDOW = RATE // 50  # 20 ms after each onset
SEARCH = RATE // 20  # look up to 50 ms either side
LIMIT_MS = 2.0
GAP_MIN = RATE // 1000  # 1 ms of silence where the render sounds


def read(path):
    with wave.open(path, "rb") as w:
        assert w.getframerate() == RATE and w.getnchannels() == 2 and w.getsampwidth() == 2, path
        data = np.frombuffer(w.readframes(w.getnframes()), dtype="<i2").astype(np.float64)
    return data.reshape(-1, 2)[:, 0]


def onsets(events_path):
    times = []
    for line in open(events_path):
        parts = line.split()
        if len(parts) != 4:
            continue
        ms, status, _, velocity = float(parts[0]), int(parts[1], 16), parts[2], int(parts[3], 16)
        if status & 0xF0 == 0x90 and velocity > 0 and (not times or times[-1] != ms):
            times.append(ms)
    return [int(ms * 1000) * RATE // 1000000 for ms in times]


def first_sound(x, threshold=64):
    above = np.nonzero(np.abs(x) > threshold)[0]
    return int(above[0]) if len(above) else None


def gap_in_place(render, live, frame, expected):
    """True when the recording has a gap in the note's window, after which it goes on in place."""
    silent = (np.abs(live[expected : expected + WINDOW]) <= 1) & (np.abs(render[frame : frame + WINDOW]) > 64)
    edges = np.diff(np.concatenate(([0], silent.astype(np.int8), [0])))
    for begin, end in zip(np.nonzero(edges == 1)[0], np.nonzero(edges == -1)[0]):
        if end - begin < GAP_MIN:
            continue
        # The end of the silence in the recording, which may lie past the window.
        at = expected + begin
        while at < len(live) and abs(live[at]) <= 1 and at - expected - begin < RATE // 10:
            at += 1
        there = frame + at - expected
        after_live, after_render = live[at : at + 64], render[there : there + 64]
        if len(after_live) == len(after_render) == 64 and np.max(np.abs(after_live - after_render)) <= 1:
            return True
    return False


def main():
    render, live, frames = read(sys.argv[1]), read(sys.argv[2]), onsets(sys.argv[3])
    start_render, start_live = first_sound(render), first_sound(live)
    if start_live is None:
        print("the recording is silent")
        return 1
    shift = start_live - start_render
    diffs = []
    damaged = []
    for k, frame in enumerate(frames):
        segment = render[frame : frame + WINDOW]
        if len(segment) < WINDOW or np.dot(segment, segment) == 0:
            continue
        expected = frame + shift
        if expected < 0 or expected + WINDOW > len(live):
            print(f"note {k}: outside the recording")
            diffs.append(float("inf"))
            continue
        # The search range is cut at the ends of the recording: the server sends no leading silence
        # when nothing played before, so the first note may be close to the recording's start.
        lo = max(expected - SEARCH, 0)
        hi = min(expected + SEARCH + WINDOW, len(live))
        around = live[lo:hi]
        # Normalised cross-correlation over every lag in the search range.
        corr = np.correlate(around, segment, mode="valid")
        energy = np.sqrt(np.convolve(around * around, np.ones(WINDOW), mode="valid")) + 1e-9
        lag = lo + int(np.argmax(corr / energy)) - expected
        if abs(lag) * 1000.0 / RATE > LIMIT_MS and gap_in_place(render, live, frame, expected):
            damaged.append(len(diffs))
            diffs.append(None)
            continue
        diffs.append(lag * 1000.0 / RATE)
    finite = [abs(d) for d in diffs if d is not None and d != float("inf")]
    print("onset differences (ms):", " ".join("gap" if d is None else f"{d:+.2f}" for d in diffs))
    print(
        f"notes: {len(diffs)}  max |diff|: {max(finite):.3f} ms  mean |diff|: {sum(finite) / len(finite):.3f} ms"
        f"  first sound at live frame {start_live}"
    )
    if damaged:
        print(
            f"not measured: {len(damaged)} notes ({', '.join(map(str, damaged))}): the recording has a gap at their"
            " onset where the server skipped a late period"
        )
    aligned = live[shift : shift + len(render)]
    common = min(len(aligned), len(render))
    differ = np.nonzero(np.abs(aligned[:common] - render[:common]) > 1)[0]
    print(
        f"samples compared after aligning the start: {common}, differing by more than 1: {len(differ)}"
        + (f" (first at {differ[0] / RATE:.3f} s)" if len(differ) else "")
    )
    if len(finite) + len(damaged) != len(diffs) or max(finite) > LIMIT_MS:
        return 1
    return 2 if damaged else 0


if __name__ == "__main__":
    sys.exit(main())
