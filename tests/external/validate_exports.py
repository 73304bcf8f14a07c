#!/usr/bin/python3
"""Exports every example and generated chord lists to Standard MIDI files with fretwerk-cli, decodes
each with midicsv and with mido into notes, compares them with the notes the chord-list text implies
(worked out here, apart from the program), and renders each with fluidsynth into audio that is not
silent."""

import argparse
import array
import glob
import math
import os
import random
import re
import subprocess
import sys
import wave

import mido

TICKS_PER_QUARTER = 96
# Written keys of the open strings in text column order: Low E, A, D, G.
OPEN_KEYS = (28, 33, 38, 43)
PITCH_CLASSES = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}
DIVISORS = {"W": 1, "H": 2, "Q": 4, "E": 8, "S": 16, "T": 32, "F": 64}
HEADER_PREFIXES = ("*Info 1:", "*Info 2:", "*Info 3:", "*Info 4:")


def duration_ticks(text):
    whole = 4 * TICKS_PER_QUARTER
    mark, letter = (text[0], text[1]) if len(text) == 2 else ("", text)
    base = whole // DIVISORS[letter.upper()]
    return {"": base, ".": base + base // 2, "/": base // 3}[mark]


def open_keys(lines):
    """Written open-string keys, lowest first, from the last valid "* Tuning:" line (E A D G without one).
    A name without an octave digit is the lowest value 35..46 for the lowest string, else the next value
    above the string below; a digit gives the sounding octave, note values lying one octave above it."""
    keys = OPEN_KEYS
    for line in lines:
        match = re.match(r"^\* ?tuning:(.*)$", line, re.I)
        if not match:
            continue
        values = []
        tokens = [token for token in re.split(r"[ ,\t]+", match.group(1)) if token]
        for token in tokens:
            note = re.fullmatch(r"([A-Ga-g])([#b]?)([0-9]?)", token)
            if not note:
                break
            pitch = PITCH_CLASSES[note.group(1).upper()] + {"#": 1, "b": -1, "": 0}[note.group(2)]
            if note.group(3):
                value = 12 * (int(note.group(3)) + 1) + pitch + 12
            elif not values:
                value = 35 + (pitch - 35) % 12
            else:
                value = values[-1] + 1 + (pitch - values[-1] - 1) % 12
            if values and value <= values[-1]:
                break
            values.append(value)
        else:
            if 4 <= len(values) <= 6:
                keys = tuple(value - 12 for value in values)
    return keys


def decode_text(data):
    try:
        return data.decode("utf-8")
    except UnicodeDecodeError:
        return data.decode("cp1252", errors="replace")


def split_lines(text):
    lines = text.replace("\r\n", "\n").replace("\r", "\n").split("\n")
    return lines[:-1] if lines and lines[-1] == "" else lines


def header_int(line, default):
    try:
        return int(line[8:28].strip())
    except ValueError:
        return default


# A fret field with the playing techniques web tabs write: a slide in, the note (a fret, a ghost note
# in parentheses, a natural harmonic in angle brackets, a dead note "m" with or without a fret), a bend
# target and the marks after it (vibrato and a link into the next note on the string).
FRET_FIELD = re.compile(r"^(?P<slide>[/\\])?(?:\((?P<ghost>\d+)\)|<(?P<node>\d+(?:\.\d)?)>|(?P<dead>\d*)m"
                        r"|(?P<fret>[+-]?\d+))(?:b(?P<bend>\d+))?(?P<tail>[~hp/\\_]*)$", re.I)
LINE_WORDS = {"slap", "pop", "tap", "accent", "staccato", "pm", "lr"}


def harmonic_semitones(written):
    """The natural harmonic at a written node: the partial n whose node k/n along the string lies within
    a quarter fret of it, as semitones above the open string."""
    for n in range(2, 9):
        for k in range(1, n):
            if math.gcd(k, n) == 1 and abs(-12 * math.log2(1 - k / n) - written) <= 0.25:
                return round(12 * math.log2(n))
    raise AssertionError("no harmonic at %s" % written)


def read_note(field, open_key):
    """A struck string's note: its kind, sounding key and marks; None when the string is not played."""
    if field.lower() == "x":
        return None
    match = FRET_FIELD.match(field)
    if not match:
        raise AssertionError("fret field %r" % field)
    tail = match.group("tail").lower()
    note = {"link": next((mark for mark in tail if mark in "hp/\\_"), ""), "slide_in": match.group("slide"),
            "bend": match.group("bend"), "kind": "plain"}
    if match.group("ghost") is not None:
        note.update(kind="ghost", key=open_key + int(match.group("ghost")))
    elif match.group("node") is not None:
        note.update(kind="harmonic", key=open_key + harmonic_semitones(float(match.group("node"))))
    elif match.group("dead") is not None:
        note.update(kind="dead", key=open_key + int(match.group("dead") or 0))
    elif int(match.group("fret")) < 0:
        return None
    else:
        note.update(key=open_key + int(match.group("fret")))
    return note


def expected_song(data):
    """Tempo, patch, the end tick and the notes (start, key, length) of a chord list file's bytes, with
    what each note's marks promise. A tie joins its notes into one; a note that leads into the next on
    its string (hammer-on, pull-off, legato slide) ends where that one starts; staccato and palm mute
    halve a note, a dead note lasts at most 60 ms, let ring holds a note until its string plays again."""
    lines = split_lines(decode_text(data))
    patch, tempo = 33, 120
    if len(lines) > 1 and lines[1].startswith(HEADER_PREFIXES[1]):
        patch = header_int(lines[1], 33)
    if len(lines) > 3 and lines[3].startswith(HEADER_PREFIXES[3]):
        tempo = min(max(header_int(lines[3], 120), 1), 500)
    if len(lines) >= 4 and all(lines[i].startswith(HEADER_PREFIXES[i]) for i in range(4)):
        lines = lines[4:]
    keys = open_keys(lines)
    entries, tick = [], 0
    for line in lines:
        if not line.strip() or line.startswith("*"):
            continue
        fields = [field.strip() for field in line.split(",")]
        ticks = duration_ticks(fields[len(keys) + 1])
        words = set(fields[len(keys) + 2].lower().split()) if len(fields) > len(keys) + 2 else set()
        if not words <= LINE_WORDS:
            raise AssertionError("line words %r" % words)
        notes = [read_note(fret, keys[column]) for column, fret in enumerate(fields[1:len(keys) + 1])]
        entries.append({"start": tick, "ticks": ticks, "words": words, "notes": notes})
        tick += ticks
    whole_ms = 4 * ((60000000 // tempo) // 1000)
    dead_ticks = max(1, 60 * 4 * TICKS_PER_QUARTER // whole_ms)
    notes = []
    for column in range(len(keys)):
        tied = None
        for index, entry in enumerate(entries):
            note = entry["notes"][column]
            if note is None:
                continue
            following = entries[index + 1]["notes"][column] if index + 1 < len(entries) else None
            start = entry["start"]
            if note["link"] and following is not None:
                end = entries[index + 1]["start"]
            elif note["kind"] == "dead":
                end = start + min(entry["ticks"], dead_ticks)
            elif entry["words"] & {"staccato", "pm"}:
                end = start + max(1, entry["ticks"] // 2)
            elif "lr" in entry["words"]:
                later = [e["start"] for e in entries[index + 1:] if e["notes"][column] is not None]
                end = max(start + entry["ticks"], later[0] if later else tick)
            else:
                end = start + entry["ticks"]
            if tied is not None:
                tied["end"] = end
            else:
                notes.append(dict(note, start=start, end=end, words=entry["words"]))
            tied = notes[-1] if note["link"] == "_" and following is not None else None
    marked = any(entry["words"] or any(n and (n["kind"] != "plain" or n["link"] or n["slide_in"] or n["bend"])
                                       for n in entry["notes"]) for entry in entries)
    return {"tempo": min(60000000 // tempo, 0xFFFFFF), "program": patch & 0x7F, "end": tick, "marked": marked,
            "notes": sorted((n["start"], n["key"], n["end"] - n["start"]) for n in notes), "marks": notes}


def pair_notes(events):
    """Notes from (tick, key, velocity, channel) events in file order; a velocity of 0 ends the oldest
    sounding key of its channel. Each note is (start, key, length, velocity, channel)."""
    sounding, notes = {}, []
    for tick, key, velocity, channel in events:
        if velocity > 0:
            sounding.setdefault((key, channel), []).append((tick, velocity))
        elif sounding.get((key, channel)):
            start, on_velocity = sounding[(key, channel)].pop(0)
            notes.append((start, key, tick - start, on_velocity, channel))
    if any(sounding.values()):
        raise AssertionError("notes never end: %r" % sounding)
    return sorted(notes)


def decode_midicsv(path):
    output = subprocess.run(["midicsv", path], check=True, capture_output=True, text=True, timeout=60).stdout
    song, events = {"end": 0, "programs": {}, "bends": []}, []
    for record in output.splitlines():
        fields = [field.strip() for field in record.split(",")]
        track, tick, kind = int(fields[0]), int(fields[1]), fields[2]
        if kind == "Header":
            song["format"], song["tracks"], song["division"] = int(fields[3]), int(fields[4]), int(fields[5])
        elif kind == "Tempo":
            song["tempo"] = int(fields[3])
        elif kind == "Program_c":
            song["programs"].setdefault(int(fields[3]), int(fields[4]))
        elif kind == "Pitch_bend_c":
            song["bends"].append((tick, int(fields[3]), int(fields[4])))
        elif kind in ("Note_on_c", "Note_off_c"):
            events.append((tick, int(fields[4]), int(fields[5]) if kind == "Note_on_c" else 0, int(fields[3])))
        elif kind == "End_track" and track == 2:
            song["end"] = tick
    return finish_decoded(song, events)


def decode_mido(path):
    midi = mido.MidiFile(path)
    song = {"format": midi.type, "tracks": len(midi.tracks), "division": midi.ticks_per_beat, "end": 0,
            "programs": {}, "bends": []}
    events = []
    for index, track in enumerate(midi.tracks):
        tick = 0
        for message in track:
            tick += message.time
            if message.type == "set_tempo":
                song["tempo"] = message.tempo
            elif message.type == "program_change":
                song["programs"].setdefault(message.channel, message.program)
            elif message.type == "pitchwheel":
                song["bends"].append((tick, message.channel, message.pitch + 8192))
            elif message.type in ("note_on", "note_off"):
                events.append((tick, message.note, message.velocity if message.type == "note_on" else 0,
                               message.channel))
            elif message.type == "end_of_track" and index == 1:
                song["end"] = tick
    return finish_decoded(song, events)


def finish_decoded(song, events):
    song["program"] = song["programs"].get(0)
    song["heard"] = pair_notes(events)
    song["notes"] = sorted((start, key, length) for start, key, length, _, _ in song["heard"])
    return song


def check_decoded(name, decoder, decoded, expected):
    problems = []
    if (decoded.get("format"), decoded.get("tracks"), decoded.get("division")) != (1, 2, TICKS_PER_QUARTER):
        problems.append("header %r" % ((decoded.get("format"), decoded.get("tracks"), decoded.get("division")),))
    for key in ("tempo", "program", "end"):
        if decoded.get(key) != expected[key]:
            problems.append("%s %r, expected %r" % (key, decoded.get(key), expected[key]))
    if decoded["notes"] != expected["notes"]:
        missing = [n for n in expected["notes"] if n not in decoded["notes"]][:5]
        extra = [n for n in decoded["notes"] if n not in expected["notes"]][:5]
        problems.append("notes differ: missing %r, extra %r" % (missing, extra))
    else:
        problems += check_marks(decoded, expected)
    return ["%s (%s): %s" % (name, decoder, problem) for problem in problems]


def check_marks(decoded, expected):
    """What the marks promise, heard in the file: in a list without marks every note at full velocity on
    channel 1; ghost notes clearly softer than the softest other note or at most 64; slapped and popped
    notes on channels of their own (never 10) set to Slap Bass 1 and 2; pitch bends on the channel of a
    slide, a slide in or a bend while the note sounds."""
    problems = []
    heard = {(start, key): (velocity, channel) for start, key, _, velocity, channel in decoded["heard"]}
    others = [heard[(n["start"], n["key"])][0] for n in expected["marks"] if n["kind"] == "plain"]
    for note in expected["marks"]:
        velocity, channel = heard[(note["start"], note["key"])]
        what = "note %d at %d" % (note["key"], note["start"])
        if not expected["marked"] and (velocity, channel) != (127, 0):
            problems.append("%s: velocity %d on channel %d" % (what, velocity, channel))
        if note["kind"] == "ghost" and (velocity > 64 or velocity >= min(others, default=128)):
            problems.append("%s: a ghost note at velocity %d" % (what, velocity))
        for word, program in (("slap", 36), ("pop", 37)):
            if word in note["words"] and (channel in (0, 9) or decoded["programs"].get(channel) != program):
                problems.append("%s: %s on channel %d with program %r"
                                % (what, word, channel, decoded["programs"].get(channel)))
        if note["slide_in"] or note["bend"] or note["link"] in ("/", "\\"):
            if not any(note["start"] <= tick <= note["end"] and on == channel and value != 8192
                       for tick, on, value in decoded["bends"]):
                problems.append("%s: no pitch bend on channel %d while it sounds" % (what, channel))
    return problems


def peak_of_wav(path):
    with wave.open(path, "rb") as wav:
        if wav.getsampwidth() != 2:
            raise AssertionError("%d-byte samples" % wav.getsampwidth())
        samples = array.array("h", wav.readframes(wav.getnframes()))
    return max((abs(sample) for sample in samples), default=0), len(samples)


def generate(rng, index):
    """A random chord list with its header: chords, rests, comments, count-offs and bars."""
    lines = ["*Info 1: Fretwerk Bass Version 1.0 File Information", "*Info 2:%d" % rng.randrange(32, 39),
             "*Info 3:555555", "*Info 4:%d" % rng.randrange(60, 300), "* Title: generated %d" % index]
    if rng.random() < 0.5:
        lines.append("*Count Off %d" % rng.randrange(0, 9))
    durations = ["W", "H", "Q", "E", "S", "T", ".Q", ".e", "/Q", "/E", "h", "q"]
    for _ in range(rng.randrange(1, 40)):
        roll = rng.random()
        if roll < 0.1:
            lines.append("")
        elif roll < 0.15:
            lines.append("* a comment, with commas")
        else:
            frets = [rng.choice(["x", "x", "-1", str(rng.randrange(0, 19))]) for _ in range(4)]
            name = "Rest" if all(f in ("x", "-1") for f in frets) else rng.choice(["G", "Am7", "N", "Bb/D"])
            lines.append("%s, %s, %s" % (name, ", ".join(frets), rng.choice(durations)))
    if not any(line and not line.startswith("*") for line in lines[4:]):
        lines.append("E, 0, x, x, x, Q")
    return ("\r\n".join(lines) + "\r\n").encode("cp1252")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--examples", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--generated", type=int, default=100)
    args = parser.parse_args()
    soundfonts = sorted(glob.glob("/usr/share/sounds/sf2/*.sf2"))
    if not soundfonts:
        print("no SoundFont in /usr/share/sounds/sf2/")
        return 1
    os.makedirs(args.work, exist_ok=True)

    inputs = [(os.path.basename(path), open(path, "rb").read())
              for path in sorted(glob.glob(os.path.join(args.examples, "*.bss")))]
    if not inputs:
        print("no examples in %s" % args.examples)
        return 1
    rng = random.Random(20261208)
    inputs += [("generated-%03d.bss" % i, generate(rng, i)) for i in range(args.generated)]

    passed, failures = 0, []
    for name, data in inputs:
        source = os.path.join(args.work, name)
        with open(source, "wb") as handle:
            handle.write(data)
        midi_path = source[:-4] + ".mid"
        wav_path = source[:-4] + ".wav"
        problems = []
        export = subprocess.run([args.cli, "midi", source, "-o", midi_path], capture_output=True, text=True,
                                timeout=60)
        if export.returncode != 0:
            problems.append("%s: export failed: %s" % (name, export.stderr.strip()))
        else:
            expected = expected_song(data)
            problems += check_decoded(name, "midicsv", decode_midicsv(midi_path), expected)
            problems += check_decoded(name, "mido", decode_mido(midi_path), expected)
            if os.path.exists(wav_path):
                os.remove(wav_path)
            render = subprocess.run(["fluidsynth", "-ni", "-F", wav_path, "-r", "44100", soundfonts[0], midi_path],
                                    capture_output=True, text=True, timeout=120)
            if render.returncode != 0 or not os.path.exists(wav_path):
                problems.append("%s: fluidsynth failed: %s" % (name, render.stderr.strip()[-300:]))
            else:
                peak, count = peak_of_wav(wav_path)
                if not expected["notes"] or peak < 300:
                    problems.append("%s: rendered audio is silent (peak %d in %d samples)" % (name, peak, count))
                os.remove(wav_path)
        if problems:
            failures += problems
        else:
            passed += 1
    for problem in failures:
        print(problem)
    print("%d passed, %d failed" % (passed, len(inputs) - passed))
    return 0 if passed == len(inputs) else 1


if __name__ == "__main__":
    sys.exit(main())
