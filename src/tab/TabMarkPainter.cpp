#include "TabMarkPainter.h"

#include "Marks.h"
#include "TabPainter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <algorithm>

namespace fw {

namespace {

    bool ShownIn(const TabBar& bar, qsizetype column) { return column >= bar.FirstColumn && column < bar.ShownEnd(); }

    const PlacedNote* Find(const QList<PlacedNote>& notes, qsizetype column, int slot)
    {
        for (const PlacedNote& note : notes) {
            if (note.Column == column && note.Slot == slot)
                return &note;
        }
        return nullptr;
    }

    QString Parenthesised(const QString& text) { return u'(' + text + u')'; }

    // How far a bend goes, as tab writes it: in whole tones, "full" for one.
    QString BendText(int semitones)
    {
        switch (semitones) {
        case 1:
            return QStringLiteral("1/2");
        case 2:
            return QStringLiteral("full");
        default:
            return semitones % 2 == 0 ? QString::number(semitones / 2)
                                      : QString::number(semitones / 2) + QStringLiteral(" 1/2");
        }
    }

    // The letter of a slapped, popped or tapped line, then > for an accent and . for staccato.
    QString AttackText(const LineMarks& marks)
    {
        QString text;
        if (const QChar letter = AttackLetter(marks.attack); !letter.isNull())
            text += letter;
        if (marks.accent)
            text += u'>';
        if (marks.staccato)
            text += u'.';
        return text;
    }

    // Draws the marks in the painter's pen, with a smaller font for their words.
    class MarkDrawer {
    public:
        MarkDrawer(QPainter& painter, const TabLayout& layout, const QFont& fretFont, int staffTop)
            : m_painter(painter)
            , m_gap(layout.StringGap)
            , m_staffTop(staffTop)
            , m_staffBottom(staffTop + layout.StaffHeight)
        {
            m_font = fretFont;
            m_font.setBold(false);
            m_font.setPointSizeF(fretFont.pointSizeF() * 0.8);
            m_textHeight = QFontMetricsF(m_font, painter.device()).height();
        }

        // A place at the edge of the row, where a link leaves it or comes in.
        QRectF openEnd(qreal x, qreal lineY) const { return QRectF(x, lineY - m_gap / 3, 0, 2 * m_gap / 3); }

        void link(NoteLink link, const QRectF& from, const QRectF& to, bool labelled)
        {
            switch (link) {
            case NoteLink::HammerOn:
            case NoteLink::PullOff: {
                const QPointF apex = arc(
                    QPointF(from.center().x(), from.top() - 1), QPointF(to.center().x(), to.top() - 1), -0.7 * m_gap);
                // Over the arc, on a patch of background where it crosses the string line above.
                if (labelled)
                    text(link == NoteLink::HammerOn ? QStringLiteral("h") : QStringLiteral("p"), apex.x(), apex.y(),
                        true);
                break;
            }
            case NoteLink::Tie:
                arc(QPointF(from.center().x(), from.bottom() + 1), QPointF(to.center().x(), to.bottom() + 1),
                    0.6 * m_gap);
                break;
            case NoteLink::SlideUp:
            case NoteLink::SlideDown: {
                const qreal rise = link == NoteLink::SlideUp ? m_gap / 4 : -m_gap / 4;
                const QPointF start(from.right() + 2, from.center().y() + rise);
                const QPointF end(to.left() - 2, to.center().y() - rise);
                if (end.x() > start.x())
                    m_painter.drawLine(start, end);
                break;
            }
            case NoteLink::None:
                break;
            }
        }

        // A slide off the note with no next note on its string.
        void slideOut(NoteLink link, const QRectF& from)
        {
            const qreal rise = link == NoteLink::SlideUp ? m_gap / 4 : -m_gap / 4;
            m_painter.drawLine(QPointF(from.right() + 2, from.center().y() + rise),
                QPointF(from.right() + 2 + m_gap, from.center().y() - rise));
        }

        void slideIn(SlideIn slide, const QRectF& to)
        {
            const qreal rise = slide == SlideIn::FromBelow ? m_gap / 4 : -m_gap / 4;
            m_painter.drawLine(
                QPointF(to.left() - 2 - m_gap, to.center().y() + rise), QPointF(to.left() - 2, to.center().y() - rise));
        }

        // An arrow from the note up above the staff, with how far the bend goes over its tip; returns the tip.
        QPointF bend(const QRectF& from, int semitones)
        {
            const QPointF start(from.right() + 1, from.center().y());
            const QPointF tip(from.right() + 0.7 * m_gap, m_staffTop - 0.8 * m_gap);
            QPainterPath path(start);
            path.quadTo(QPointF(tip.x(), start.y()), tip);
            m_painter.setBrush(Qt::NoBrush);
            m_painter.drawPath(path);
            const qreal side = m_gap / 5;
            const QPointF head[]
                = { tip, QPointF(tip.x() - side, tip.y() + 1.5 * side), QPointF(tip.x() + side, tip.y() + 1.5 * side) };
            m_painter.setBrush(m_painter.pen().color());
            m_painter.drawPolygon(head, 3);
            m_painter.setBrush(Qt::NoBrush);
            text(BendText(semitones), tip.x(), tip.y() - 1);
            return tip;
        }

        // A wave from start to the right, on a patch of background; returns where it ends.
        qreal vibrato(const QPointF& start)
        {
            const qreal left = start.x();
            const qreal width = 0.9 * m_gap;
            const qreal middle = start.y();
            const qreal amplitude = m_gap / 6;
            m_painter.fillRect(QRectF(left, middle - 2 * amplitude, width, 4 * amplitude), Qt::white);
            QPainterPath wave(QPointF(left, middle));
            const int halves = 3;
            for (int i = 0; i < halves; ++i) {
                const qreal x = left + width * i / halves;
                const qreal sign = i % 2 == 0 ? -1 : 1;
                wave.quadTo(QPointF(x + width / halves / 2, middle + 2 * sign * amplitude),
                    QPointF(x + width / halves, middle));
            }
            m_painter.drawPath(wave);
            return left + width;
        }

        // Text centred on x, under the staff.
        void below(const QString& words, qreal x) { text(words, x, m_staffBottom + 0.75 * m_gap + m_textHeight); }

        // "PM" or "let ring" at left above the staff, then a dashed line to right ending in a short tick.
        void bracket(const QString& label, qreal left, qreal right)
        {
            const qreal bottom = m_staffTop - 1.6 * m_gap;
            m_painter.setFont(m_font);
            const qreal labelWidth = QFontMetricsF(m_font, m_painter.device()).horizontalAdvance(label);
            m_painter.drawText(QPointF(left, bottom - QFontMetricsF(m_font, m_painter.device()).descent()), label);
            const qreal lineY = bottom - m_textHeight / 2;
            if (right <= left + labelWidth + 3)
                return;
            const QPen pen = m_painter.pen();
            QPen dashed = pen;
            dashed.setStyle(Qt::DashLine);
            m_painter.setPen(dashed);
            m_painter.drawLine(QPointF(left + labelWidth + 3, lineY), QPointF(right, lineY));
            m_painter.setPen(pen);
            m_painter.drawLine(QPointF(right, lineY), QPointF(right, lineY + m_gap / 3));
        }

    private:
        // A curve between two points bulging by bulge (negative: upwards); returns its middle point.
        QPointF arc(const QPointF& from, const QPointF& to, qreal bulge)
        {
            const QPointF control(
                (from.x() + to.x()) / 2, (bulge < 0 ? std::min(from.y(), to.y()) : std::max(from.y(), to.y())) + bulge);
            QPainterPath path(from);
            path.quadTo(control, to);
            m_painter.setBrush(Qt::NoBrush);
            m_painter.drawPath(path);
            return (from + 2 * control + to) / 4;
        }

        // Text centred on x with its bottom at bottom.
        void text(const QString& words, qreal x, qreal bottom, bool onBackground = false)
        {
            m_painter.setFont(m_font);
            const QFontMetricsF metrics(m_font, m_painter.device());
            const QPointF baseline(x - metrics.horizontalAdvance(words) / 2, bottom - metrics.descent());
            if (onBackground)
                m_painter.fillRect(
                    metrics.tightBoundingRect(words).translated(baseline).adjusted(-1, -1, 1, 1), Qt::white);
            m_painter.drawText(baseline, words);
        }

        QPainter& m_painter;
        QFont m_font;
        qreal m_gap;
        qreal m_textHeight = 0;
        int m_staffTop;
        int m_staffBottom;
    };

} // namespace

QString DrawnNoteText(const Tablature& tab, qsizetype column, int slot)
{
    const TabColumn& def = tab.Columns[column];
    const NoteMarks& marks = def.Marks[slot];
    switch (marks.kind) {
    case NoteKind::Dead:
        return QStringLiteral("X");
    case NoteKind::Harmonic:
        return u'<' + HarmonicNodeText(marks.harmonicNode) + u'>';
    case NoteKind::Ghost:
        return Parenthesised(QString::number(def.Frets[slot]));
    case NoteKind::Normal:
        break;
    }
    // A tied note is not struck again: its fret in parentheses, at the end of the tie.
    const qsizetype source = tab.HasMarks ? tab.LinkSource(column, slot) : -1;
    if (source >= 0 && tab.Columns[source].Marks[slot].link == NoteLink::Tie)
        return Parenthesised(QString::number(def.Frets[slot]));
    return QString::number(def.Frets[slot]);
}

QList<PlacedNote> PlaceBarNotes(
    const Tablature& tab, const TabLayout& layout, const QFontMetrics& metrics, const TabBar& bar, const BarPlace& at)
{
    const int step = at.Width / (SpacingCount(bar.BarLength) + 1);
    // The text's top sits half a text height above its string line.
    const int baselineBelowLine = metrics.ascent() - metrics.height() / 2;
    QList<PlacedNote> notes;
    int col = at.X;
    for (qsizetype i = bar.FirstColumn; i < bar.ShownEnd(); ++i) {
        col += step;
        for (int slot = tab.FirstSlot; slot <= LastBassSlot; ++slot) {
            if (!IsStruck(tab.Columns[i], slot))
                continue;
            PlacedNote note;
            note.Column = i;
            note.Slot = slot;
            note.Baseline = QPoint(col, at.Y + (slot - tab.FirstSlot) * layout.StringGap + baselineBelowLine);
            note.Text = tab.HasMarks ? DrawnNoteText(tab, i, slot) : QString::number(tab.Columns[i].Frets[slot]);
            note.Ink = metrics.tightBoundingRect(note.Text).translated(note.Baseline);
            notes.append(note);
        }
    }
    return notes;
}

void DrawBarMarks(QPainter& painter, const Tablature& tab, const TabLayout& layout, const QList<PlacedNote>& notes,
    const BarPlace& at, const QFont& fretFont)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    MarkDrawer draw(painter, layout, fretFont, at.Y);
    const TabBar& bar = tab.Bars[at.Index];
    // The next bar's notes, when it stands in the same row (bars alternate left and right).
    const bool nextInRow = at.Index % 2 == 0 && at.Index + 1 < tab.Bars.size();
    QList<PlacedNote> nextNotes;
    if (nextInRow) {
        const QFontMetrics metrics(fretFont, painter.device());
        nextNotes = PlaceBarNotes(tab, layout, metrics, tab.Bars[at.Index + 1],
            BarPlace { at.Index + 1, at.X + at.Width - 1, at.Y, at.Width });
    }
    for (const PlacedNote& note : notes) {
        const NoteMarks& marks = tab.Columns[note.Column].Marks[note.Slot];
        const QRectF ink(note.Ink);
        const qreal lineY = at.Y + (note.Slot - tab.FirstSlot) * layout.StringGap;
        // A link from the row before (or from a column cut off) comes in from the row's left edge.
        const qsizetype source = tab.LinkSource(note.Column, note.Slot);
        if (source >= 0 && !ShownIn(bar, source) && !(at.Index % 2 == 1 && ShownIn(tab.Bars[at.Index - 1], source)))
            draw.link(tab.Columns[source].Marks[note.Slot].link, draw.openEnd(at.X, lineY), ink, false);
        if (marks.slideIn != SlideIn::None)
            draw.slideIn(marks.slideIn, ink);
        // Vibrato waves on the string after the note, or beside the tip of its bend.
        QRectF from = ink;
        if (marks.hasBend()) {
            const QPointF tip = draw.bend(ink, marks.bendTarget - tab.Columns[note.Column].Frets[note.Slot]);
            if (marks.vibrato)
                draw.vibrato(tip + QPointF(layout.StringGap / 3.0, layout.StringGap / 4.0));
        } else if (marks.vibrato) {
            from.setRight(draw.vibrato(QPointF(ink.right() + 2, ink.center().y())));
        }
        if (!marks.joinsNext())
            continue;
        const qsizetype partner = tab.LinkPartner(note.Column, note.Slot);
        const PlacedNote* to = partner < 0 ? nullptr : Find(notes, partner, note.Slot);
        if (!to && partner >= 0)
            to = Find(nextNotes, partner, note.Slot);
        if (to)
            draw.link(marks.link, from, QRectF(to->Ink), true);
        else if (partner >= 0)
            draw.link(marks.link, from, draw.openEnd(at.X + at.Width, lineY), true);
        else if (marks.link == NoteLink::SlideUp || marks.link == NoteLink::SlideDown)
            draw.slideOut(marks.link, from);
    }

    // The words of each column's line, under the staff in the middle of the column's notes.
    for (qsizetype k = 0; k < notes.size();) {
        qsizetype last = k;
        while (last + 1 < notes.size() && notes[last + 1].Column == notes[k].Column)
            ++last;
        const QString words = AttackText(tab.Columns[notes[k].Column].Technique);
        if (!words.isEmpty())
            draw.below(words, QRectF(notes[k].Ink).center().x());
        k = last + 1;
    }

    const int step = at.Width / (SpacingCount(bar.BarLength) + 1);
    const auto columnX = [&](qsizetype column) { return at.X + static_cast<int>(column - bar.FirstColumn + 1) * step; };
    for (const TabRunKind& kind : TabRunKinds) {
        ForEachMarkedRun(tab, bar, kind, [&](qsizetype first, qsizetype last) {
            draw.bracket(QString(kind.Label), columnX(first), columnX(last) + step * 3 / 4);
        });
    }
    painter.restore();
}

void DrawStringNames(QPainter& painter, const Tablature& tab, const TabLayout& layout, int y, const QFont& fretFont)
{
    painter.save();
    QFont font = fretFont;
    font.setBold(false);
    painter.setFont(font);
    const QFontMetrics metrics(font, painter.device());
    const int right = layout.TabLeft - std::max(2, layout.StringGap / 3);
    for (int slot = tab.FirstSlot; slot <= LastBassSlot; ++slot) {
        const QString name = tab.StringTuning.pitchName(slot);
        const int lineY = y + (slot - tab.FirstSlot) * layout.StringGap;
        painter.drawText(
            right - metrics.horizontalAdvance(name), lineY + metrics.ascent() - metrics.height() / 2, name);
    }
    painter.restore();
}

} // namespace fw
