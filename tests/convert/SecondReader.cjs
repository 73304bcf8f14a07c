// Prints one track of a Guitar Pro file as alphaTab reads it, one line per sounding beat of its
// first voice, grace notes aside: "bar:onset s<string>f<fret>[marks] ... BEAT-MARKS", strings counted
// from 1 the highest, onsets in ticks of 960 to the quarter.
// Usage: node SecondReader.cjs <directory holding node_modules/@coderline/alphatab> <file> <track>
const fs = require('fs');
const alphaTab = require(require.resolve('@coderline/alphatab', { paths: [process.argv[2]] }));

const data = new Uint8Array(fs.readFileSync(process.argv[3]));
const score = alphaTab.importer.ScoreLoader.loadScoreFromBytes(data, new alphaTab.Settings());
const track = score.tracks[Number(process.argv[4])];
const staff = track.staves[0];
const strings = staff.tuning.length;
const lines = [];
for (const bar of staff.bars) {
    for (const beat of bar.voices[0].beats) {
        // Grace notes are beats of their own here, a mark of the note they lead to in ours.
        if (beat.isRest || beat.notes.length === 0 || beat.graceType)
            continue;
        const notes = beat.notes.map((n) => {
            const marks = [];
            if (n.isHammerPullOrigin) marks.push('hammer');
            if (n.slideInType) marks.push('slideIn' + n.slideInType);
            if (n.slideOutType) marks.push('slideOut' + n.slideOutType);
            if (n.isGhost) marks.push('ghost');
            if (n.isDead) marks.push('dead');
            if (n.isTieDestination) marks.push('tied');
            if (n.harmonicType) marks.push('harmonic' + n.harmonicType);
            if (n.hasBend) marks.push('bend' + Math.max(...n.bendPoints.map((p) => p.value)));
            if (n.vibrato || beat.vibrato) marks.push('vibrato');
            if (n.isStaccato) marks.push('staccato');
            if (n.accentuated) marks.push('accent');
            if (n.isPalmMute) marks.push('palmMute');
            if (n.isLetRing) marks.push('letRing');
            const fret = n.isTieDestination ? '' : n.fret;
            return { string: strings + 1 - n.string, text: `s${strings + 1 - n.string}f${fret}` + (marks.length ? `[${marks.join(',')}]` : '') };
        });
        notes.sort((a, b) => a.string - b.string);
        const beatMarks = [];
        if (beat.slap) beatMarks.push('SLAP');
        if (beat.pop) beatMarks.push('POP');
        if (beat.tap) beatMarks.push('TAP');
        lines.push(`${bar.index}:${beat.playbackStart} ${notes.map((n) => n.text).join(' ')} ${beatMarks.join(',')}`.trim());
    }
}
console.log(lines.join('\n'));
