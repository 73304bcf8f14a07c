#!/usr/bin/python3
"""Opens every exported example and a set of generated chord lists in MuseScore 3 (headless) and
checks that the MIDI it plays holds our notes: the same pitches at the same onsets, counted in
quarter notes, as our own MIDI export; and that the score it reads back (.mscx) holds the playing
techniques our MusicXML writes that MuseScore 3 reads: hammer-ons and pull-offs (as slurs), slides,
ghost and dead notes, ties, accents, staccato, slides in and out, and the time signatures, on the
same notes. Skips (exit 77) when mscore3 is not installed."""

import argparse
import glob
import os
import random
import shutil
import subprocess
import sys
from fractions import Fraction

import re
import xml.etree.ElementTree as ElementTree

import mido

SKIP = 77
DURATIONS = ["W", "H", "Q", "E", "S", "T", "F"]
# Lines MuseScore prints on every run, its notice that the two staves (notation and tablature) play
# the same notes, of which its MIDI keeps one, and its MIDI writer's note on a bar of another length.
BENIGN = ("QStandardPaths", "convert <", "to <", "MIDI collision detected", "- Note;", "... interferes",
          "... which will continue", "... success!", "ExportMidi: unknown time signature")


# MuseScore 3 reads a wavy line only when its stop stands on a later note; a one-note vibrato (start
# and stop on the note, as MusicXML writes it) is left out with this message.
BENIGN_PATTERNS = (re.compile(r"^Error at line \d+ col \d+: wavy-line number \d+ stop without start$"),)
# MuseScore's chord lines (slides in and out) by their type number.
CHORD_LINES = {"1": "falloff", "2": "doit", "3": "plop", "4": "scoop"}


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


def written_marks(path):
    """Chord by chord on the notation staff of our MusicXML: (sounding keys, marks), rests left out,
    and the time signatures by measure."""
    chords, times = [], []
    for measure in ElementTree.parse(path).getroot().iter("measure"):
        for time in measure.iter("time"):
            times.append((len(times) and measure.get("number"), time.findtext("beats"), time.findtext("beat-type")))
        for note in measure.iter("note"):
            if note.findtext("staff") != "1" or note.find("rest") is not None:
                continue
            marks = set()
            for kind in ("slur", "slide", "tied"):
                for element in note.iter(kind):
                    marks.add("%s-%s" % ({"tied": "tie"}.get(kind, kind), element.get("type")))
            head = note.find("notehead")
            if head is not None:
                marks.add("dead" if head.text == "x" else "ghost")
            for articulation in note.iter("articulations"):
                marks.update(child.tag for child in articulation)
            pitch = note.find("pitch")
            key = "CDEFGAB".index(pitch.findtext("step"))
            key = [0, 2, 4, 5, 7, 9, 11][key] + int(pitch.findtext("alter") or 0) + 12 * (int(pitch.findtext("octave")) + 1)
            if note.find("chord") is not None and chords:
                chords[-1][0].append(key)
                chords[-1][1].update(marks)
            else:
                chords.append(([key], marks))
    return [(sorted(keys), marks) for keys, marks in chords], times


def read_marks(path):
    """The same from MuseScore's .mscx: the first staff's chords with their notes' spanners, heads,
    articulations and chord lines."""
    chords, times = [], []
    # The part's staff definitions come first; the music is in the staves that hold measures.
    staff = next(staff for staff in ElementTree.parse(path).getroot().iter("Staff") if staff.find("Measure") is not None)
    for number, measure in enumerate(staff.iter("Measure"), start=1):
        for time in measure.iter("TimeSig"):
            times.append((len(times) and str(number), time.findtext("sigN"), time.findtext("sigD")))
        for chord in measure.iter("Chord"):
            marks, keys = set(), []
            for spanner in chord.findall("Spanner") + [s for note in chord.iter("Note") for s in note.findall("Spanner")]:
                kind = {"Slur": "slur", "Glissando": "slide", "Tie": "tie"}.get(spanner.get("type"))
                if kind:
                    marks.add(kind + ("-stop" if spanner.find("prev") is not None else "-start"))
            for note in chord.iter("Note"):
                keys.append(int(note.findtext("pitch")))
                if note.findtext("head") == "cross":
                    marks.add("dead")
                if any(symbol.findtext("name", "").startswith("noteheadParenthesis") for symbol in note.iter("Symbol")):
                    marks.add("ghost")
            for articulation in chord.iter("Articulation"):
                subtype = articulation.findtext("subtype", "")
                for word in ("accent", "staccato"):
                    if subtype.lower().startswith("artic" + word):
                        marks.add(word)
            for line in chord.iter("ChordLine"):
                marks.add(CHORD_LINES.get(line.findtext("subtype"), "chordline"))
            chords.append((sorted(keys), marks))
    return chords, times


def describe(chords):
    counts = {}
    for _, marks in chords:
        for mark in marks:
            counts[mark] = counts.get(mark, 0) + 1
    return ", ".join("%d %s" % (count, mark) for mark, count in sorted(counts.items()))


def check(cli, source, work, name, figures):
    score = os.path.join(work, name + ".musicxml")
    ours = os.path.join(work, name + ".our.mid")
    theirs = os.path.join(work, name + ".mscore.mid")
    read = os.path.join(work, name + ".mscore.mscx")
    for args in (["musicxml", source, "-o", score], ["midi", source, "-o", ours]):
        subprocess.run([cli] + args, check=True)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    output = ""
    problems = []
    for target in (theirs, read):
        run = subprocess.run(["mscore3", "-o", target, score], env=env, capture_output=True, text=True, timeout=300)
        output += run.stdout + run.stderr
        if run.returncode != 0 or not os.path.exists(target):
            problems.append("mscore3 failed with status %d writing %s" % (run.returncode, os.path.basename(target)))
    complaints = [line for line in output.splitlines() if line.strip() and not line.strip().startswith(BENIGN)
                  and not any(pattern.match(line.strip()) for pattern in BENIGN_PATTERNS)]
    if not problems:
        expected, got = notes_of(ours), notes_of(theirs)
        written, written_times = written_marks(score)
        if any("slide-start" in marks for _, marks in written):
            # MuseScore sounds a slide as a run of the notes between its two: only the notes at our
            # onsets are ours.
            onsets = {onset for onset, _ in expected}
            got = [note for note in got if note[0] in onsets]
        if expected != got:
            first = next((i for i, (a, b) in enumerate(zip(expected, got)) if a != b), min(len(expected), len(got)))
            problems.append("notes differ from note %d: ours %s, MuseScore's %s (%d vs %d notes)" % (
                first, expected[first:first + 3], got[first:first + 3], len(expected), len(got)))
        chords, times = read_marks(read)
        if [keys for keys, _ in chords] != [keys for keys, _ in written]:
            problems.append("MuseScore read %d chords, we wrote %d" % (len(chords), len(written)))
        else:
            for index, ((keys, ours_marks), (_, their_marks)) in enumerate(zip(written, chords)):
                if ours_marks != their_marks:
                    problems.append("chord %d %s: we wrote %s, MuseScore read %s" % (
                        index + 1, keys, sorted(ours_marks), sorted(their_marks)))
                    break
        if times != written_times:
            problems.append("times: we wrote %s, MuseScore read %s" % (written_times, times))
        if describe(chords):
            figures.append("%s: %d notes; MuseScore read %s" % (name, len(got), describe(chords)))
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
    figures = []
    for source in sorted(glob.glob(os.path.join(args.examples, "*.bss"))):
        ok = check(args.cli, source, args.work, os.path.basename(source)[:-4], figures) and ok
    rng = random.Random(16)
    for index in range(args.generated):
        source = os.path.join(args.work, "generated-%02d.bss" % index)
        with open(source, "w", newline="") as out:
            out.write(generated_list(rng, index))
        ok = check(args.cli, source, args.work, "generated-%02d" % index, figures) and ok
    for line in figures:
        print(line)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
