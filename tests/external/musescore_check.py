#!/usr/bin/python3
"""Opens every exported example and a set of generated chord lists in MuseScore 3 (headless) and
checks that the MIDI it plays holds our notes: the same pitches at the same onsets, counted in
quarter notes, as our own MIDI export. Skips (exit 77) when mscore3 is not installed."""

import argparse
import glob
import os
import random
import shutil
import subprocess
import sys
from fractions import Fraction

import mido

SKIP = 77
DURATIONS = ["W", "H", "Q", "E", "S", "T", "F"]
# Lines MuseScore prints on every run, its notice that the two staves (notation and tablature) play
# the same notes, of which its MIDI keeps one, and its MIDI writer's note on a bar of another length.
BENIGN = ("QStandardPaths", "convert <", "to <", "MIDI collision detected", "- Note;", "... interferes",
          "... which will continue", "... success!", "ExportMidi: unknown time signature")


def notes_of(path):
    """(onset in quarters, key) of every sounding note, sorted. A unison on two strings counts once:
    MuseScore, like any player on one channel, sounds a key only once at a time."""
    song = mido.MidiFile(path)
    notes = []
    for track in song.tracks:
        tick = 0
        for message in track:
            tick += message.time
            if message.type == "note_on" and message.velocity > 0:
                notes.append((Fraction(tick, song.ticks_per_beat), message.note))
    return sorted(set(notes))


def generated_list(rng, index):
    lines = ["*Info 1: Fretwerk Bass Version 1.0 File Information", "*Info 2:33", "*Info 3:555555",
             "*Info 4:%d" % rng.randint(40, 240), "* Title: Generated %d" % index]
    for _ in range(rng.randint(3, 12)):
        for _ in range(rng.randint(1, 9)):
            # Triplets come in threes of one form, as they are written in notation.
            mark, letter = rng.choice(["", "", ".", "/"]), rng.choice(DURATIONS[:6])
            for _ in range(3 if mark == "/" else 1):
                frets = ["x"] * 4
                for string in rng.sample(range(4), rng.choice([0, 1, 1, 1, 2])):
                    frets[string] = str(rng.randint(0, 18))
                name = "Rest" if frets == ["x"] * 4 else "N"
                lines.append("%s, %s, %s%s" % (name, ", ".join(frets), mark, letter))
        lines.append("")
    return "\r\n".join(lines) + "\r\n"


def check(cli, source, work, name):
    score = os.path.join(work, name + ".musicxml")
    ours = os.path.join(work, name + ".our.mid")
    theirs = os.path.join(work, name + ".mscore.mid")
    for args in (["musicxml", source, "-o", score], ["midi", source, "-o", ours]):
        subprocess.run([cli] + args, check=True)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    run = subprocess.run(["mscore3", "-o", theirs, score], env=env, capture_output=True, text=True, timeout=300)
    complaints = [line for line in (run.stdout + run.stderr).splitlines() if line.strip() and not line.strip().startswith(BENIGN)]
    problems = []
    if run.returncode != 0 or not os.path.exists(theirs):
        problems.append("mscore3 failed with status %d" % run.returncode)
    else:
        expected, got = notes_of(ours), notes_of(theirs)
        if expected != got:
            first = next((i for i, (a, b) in enumerate(zip(expected, got)) if a != b), min(len(expected), len(got)))
            problems.append("notes differ from note %d: ours %s, MuseScore's %s (%d vs %d notes)" % (
                first, expected[first:first + 3], got[first:first + 3], len(expected), len(got)))
    problems += ["MuseScore says: " + line for line in complaints[:5]]
    print("%-28s %s" % (name, "ok" if not problems else "; ".join(problems)))
    return not problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--examples", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--generated", type=int, default=12)
    args = parser.parse_args()
    if shutil.which("mscore3") is None:
        print("mscore3 not installed: skipped")
        return SKIP
    os.makedirs(args.work, exist_ok=True)
    ok = True
    for source in sorted(glob.glob(os.path.join(args.examples, "*.bss"))):
        ok = check(args.cli, source, args.work, os.path.basename(source)[:-4]) and ok
    rng = random.Random(16)
    for index in range(args.generated):
        source = os.path.join(args.work, "generated-%02d.bss" % index)
        with open(source, "w", newline="") as out:
            out.write(generated_list(rng, index))
        ok = check(args.cli, source, args.work, "generated-%02d" % index) and ok
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
