#pragma once

#include "TabBuilder.h"

#include <QFont>
#include <QList>
#include <QPoint>
#include <QRectF>
#include <QString>

class QFontMetrics;
class QPainter;

namespace fw {

struct TabLayout;

// One note of a drawn bar: where its text stands.
struct PlacedNote {
    qsizetype Column = 0; // TabList index
    int Slot = 0;
    QPoint Baseline; // the text's left end on its baseline
    QString Text;
    QRect Ink; // the text's ink, in canvas pixels
};

// Where a bar is drawn.
struct BarPlace {
    qsizetype Index = 0; // in Tablature::Bars
    int X = 0;
    int Y = 0; // the top string line
    int Width = 0;
};

// The text drawn for a note: its fret; "(5)" for a ghost note and for a note held by a tie from the one
// before; "X" for a dead note; "<12>" for a harmonic.
QString DrawnNoteText(const Tablature& tab, qsizetype column, int slot);

// The notes of a bar's shown columns, as DrawBar draws them in metrics' font: column k (from 1) at
// x + k x step, each text's left end there and its top half a text height above its string line.
QList<PlacedNote> PlaceBarNotes(
    const Tablature& tab, const TabLayout& layout, const QFontMetrics& metrics, const TabBar& bar, const BarPlace& at);

// Draws the playing techniques of a bar whose staff and notes are drawn: h and p arcs, slide lines,
// tie arcs, bend arrows, vibrato, then S/P/T letters (with > for an accent and . for staccato) under
// the staff and PM and let-ring brackets above it. A link to a note in the next bar of the same row
// is drawn whole; one that leaves or enters the row is drawn to or from the row's edge.
void DrawBarMarks(QPainter& painter, const Tablature& tab, const TabLayout& layout, const QList<PlacedNote>& notes,
    const BarPlace& at, const QFont& fretFont);

// The string names left of a row whose top string line is at y, each level with its string.
void DrawStringNames(QPainter& painter, const Tablature& tab, const TabLayout& layout, int y, const QFont& fretFont);

} // namespace fw
