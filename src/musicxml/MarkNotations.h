#pragma once

#include "Marks.h"

#include <QXmlStreamWriter>
#include <map>
#include <tuple>

namespace fw::musicxml {

// The playing techniques of one written note, as MusicXML's own elements:
//
//   hammer-on, pull-off   <hammer-on>/<pull-off> start (text H, P) on the note, stop on the next,
//                         with a <slur> over the two
//   legato slide          <slide line-type="solid"> start on the note, stop on the next
//   slide in / out        the articulations <scoop/> (in from below), <plop/> (in from above),
//                         <doit/> (off upward), <falloff/> (off downward)
//   tie                   <tie> and <tied>, start and stop
//   ghost, dead           <notehead parentheses="yes">normal</notehead>, <notehead>x</notehead>
//   harmonic              <harmonic><natural/><sounding-pitch/></harmonic>: the note is written at
//                         the pitch it sounds, the TAB staff shows the fret nearest the node
//   bend                  <bend><bend-alter> in semitones
//   vibrato               <wavy-line> start and stop in <ornaments>
//   accent, staccato      <accent/>, <staccato/> in <articulations>
//   tap                   <tap>T</tap>
//   slap, pop, pm, lr     <other-technical>slap</other-technical>, pop, palm mute, let ring
//
// Start and stop elements carry numbers (SpannerNumbers), so the pairs of a chord's notes and of
// the two staves stay apart. The words of a line go on the first note of its chord only.
struct NoteMarkup {
    NoteMarks marks;
    // The link of the note before on this string that this note completes; None when it has none.
    NoteLink into = NoteLink::None;
    // The note's slide has no next note on its string: it slides off.
    bool slideOff = false;
    // The line's words, on the chord's first note; null on the others.
    const LineMarks* words = nullptr;
    int string = 1; // 1 for the highest
    int fret = -1; // as Frets holds it

    // Something to write in <notations> besides string and fret.
    bool hasNotations() const;
};

// The numbers of the slides, slurs (with their hammer-ons and pull-offs) and wavy lines that are
// open while a score is written in document order: the lowest of 1 to 6 (the numbers MusicXML 3
// readers accept) that no open element of the same kind has, so that a slide still open on the
// notation staff at a bar line is not taken for one of the TAB staff's.
class SpannerNumbers {
public:
    enum Kind { Slide, Legato, WavyLine };
    int start(Kind kind, int staff, int string);
    int stop(Kind kind, int staff, int string);

private:
    std::map<std::tuple<int, int, int>, int> m_open;
};

// <tie> elements, written right after <duration>.
void WriteTies(QXmlStreamWriter& xml, const NoteMarkup& markup);
// <notehead>, written right before <staff>.
void WriteNotehead(QXmlStreamWriter& xml, const NoteMarkup& markup);
// The children of <notations> after the tuplets. On the TAB staff <technical> starts with the
// string and the fret (a dead note without a fret has its string alone).
void WriteMarkNotations(
    QXmlStreamWriter& xml, const NoteMarkup& markup, bool tabStaff, int staff, SpannerNumbers& numbers);

} // namespace fw::musicxml
