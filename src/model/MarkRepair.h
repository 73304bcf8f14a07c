#pragma once

#include "ChordDef.h"
#include "Tuning.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace fw {

// Marks read from another format (a web tab, a score) made to follow the chord list's rules, so
// that an imported list always parses: what cannot be kept is dropped, and the importer says so.

// Drops the marks of one note that do not go together or that the list's frets do not allow, one
// at a time until the rest do: the bend, the slide in, the vibrato, the link, then the kind (ghost,
// dead, harmonic). fret is the note's fret as Frets holds it. True when something was dropped.
bool FitNoteMarks(int fret, NoteMarks& marks, int fretLimit);

// What a link read from another format may become.
struct LinkLeeway {
    // A slide with no next note on its string is a slide out ("5/" at the end of a phrase).
    bool slideOut = true;
    // A slide may lead into the next note (false for a mark that only slides off its note).
    bool legatoSlide = true;
};
using LinkLeeways = std::array<LinkLeeway, 7>; // by slot, like ChordDef::Frets

struct MendedLink {
    int slot = 0;
    NoteLink before = NoteLink::None;
    NoteLink after = NoteLink::None; // None: dropped
    // Why the link as read did not hold, as the list's own check says it ("Line N" not included).
    QString problem;
};

// Checks each link of def against next (the next note entry, null at the list's end): a hammer-on
// to a lower fret becomes a pull-off and the other way round, a slide turns to its next note's
// direction; a link that still does not hold is dropped. Returns the links it changed.
std::vector<MendedLink> MendLinks(
    ChordDef& def, const ChordDef* next, const Tuning& tuning, const LinkLeeways* leeways = nullptr);

// Appends an importer's note entries to its lines and mends each entry's links (MendLinks) once the
// next note entry is known, rewriting the entry's line when they change. Other lines (comments,
// blank lines) are appended to the lines directly in between.
class LinkMendingWriter {
public:
    // heard: each link changed, with the tag its entry was added with.
    using Heard = std::function<void(const MendedLink& mended, int tag)>;
    LinkMendingWriter(QStringList& lines, const Tuning& tuning, Heard heard);

    // Appends text, the line of def as BuildLine writes it.
    void add(const ChordDef& def, const QString& text, int tag = 0, const LinkLeeways* leeways = nullptr);
    // The list ends: the last entry's links have no next note.
    void finish();
    // Lines were put in at index at, before the entry still waiting for its next note: it moved down.
    void linesInserted(qsizetype at, qsizetype count);

private:
    void mendPending(const ChordDef* next);

    QStringList& m_lines;
    const Tuning& m_tuning;
    Heard m_heard;
    // The last entry while it has links: its def, line and how it was added.
    std::optional<ChordDef> m_pending;
    qsizetype m_pendingLine = -1;
    int m_pendingTag = 0;
    std::optional<LinkLeeways> m_pendingLeeways;
};

} // namespace fw
