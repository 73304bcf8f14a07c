#include "EditGlyphs.h"

#include <QFont>
#include <QFontMetricsF>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>

namespace fw::EditGlyphs {

namespace {

    const QColor EnabledInk(0x10, 0x10, 0x10);
    const QColor DisabledInk(0x90, 0x90, 0x90);
    const QColor Accent(0xC8, 0x20, 0x20);

    // Small capitals, shrunk to fit the width they are given.
    void fittedText(QPainter& p, const QRectF& box, const QString& text)
    {
        QFont font(QStringLiteral("Sans Serif"));
        font.setStyleHint(QFont::SansSerif);
        font.setBold(true);
        font.setPixelSize(std::max(4, static_cast<int>(box.height())));
        const qreal width = QFontMetricsF(font).horizontalAdvance(text);
        p.save();
        p.setFont(font);
        p.translate(box.center());
        if (width > box.width())
            p.scale(box.width() / width, 1.0);
        const qreal w = std::max(width, box.width());
        p.drawText(QRectF(-w / 2, -box.height() / 2 - 2, w, box.height() + 4), Qt::AlignCenter, text);
        p.restore();
    }

    // Four strings, a nut and three frets; dotFret (1..3) puts a note on the second string.
    void fretDiagram(QPainter& p, const QRectF& r, const QColor& ink, int dotFret = 0)
    {
        p.save();
        p.setPen(QPen(ink, 0.8));
        for (int s = 0; s < 4; ++s) {
            const qreal y = r.top() + r.height() * s / 3.0;
            p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
        }
        for (int f = 1; f <= 3; ++f) {
            const qreal x = r.left() + r.width() * f / 3.0;
            p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
        }
        p.setPen(QPen(ink, 2.0));
        p.drawLine(r.topLeft(), r.bottomLeft());
        if (dotFret > 0) {
            p.setPen(Qt::NoPen);
            p.setBrush(ink);
            const qreal x = r.left() + r.width() * (dotFret - 0.5) / 3.0;
            p.drawEllipse(QPointF(x, r.top() + r.height() / 3.0), r.height() / 6.0, r.height() / 6.0);
        }
        p.restore();
    }

    void arrow(QPainter& p, QPointF from, QPointF to, const QColor& ink, qreal head)
    {
        p.save();
        p.setPen(QPen(ink, 1.4, Qt::SolidLine, Qt::FlatCap));
        const QPointF dir = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
        const QPointF normal(-dir.y(), dir.x());
        p.drawLine(from, to - dir * head * 0.8);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        const QPointF tip = to;
        const QPointF base = to - dir * head;
        p.drawPolygon(QPolygonF({ tip, base + normal * head * 0.6, base - normal * head * 0.6 }));
        p.restore();
    }

    void restGlyph(QPainter& p, const QColor& ink)
    {
        // The quarter-rest zigzag: two slants, a thick bar and a hook.
        QPainterPath path;
        path.moveTo(14, 3);
        path.lineTo(20, 10);
        path.lineTo(15.5, 15);
        path.lineTo(21, 21);
        path.cubicTo(16, 19, 13, 22, 17, 27);
        path.cubicTo(10, 24, 11, 17, 17, 18.5);
        path.lineTo(12, 12);
        path.lineTo(17, 7.5);
        path.closeSubpath();
        p.setPen(QPen(ink, 1.2));
        p.setBrush(ink);
        p.drawPath(path);
        p.setPen(ink);
        fittedText(p, QRectF(1, 28, 31, 7), QStringLiteral("REST"));
    }

    void newNoteGlyph(QPainter& p, const QColor& ink)
    {
        const QRectF diagram(6, 7, 24, 13);
        fretDiagram(p, diagram, ink, 2);
        // Rays from the new note.
        const QPointF centre(diagram.left() + diagram.width() * 1.5 / 3.0, diagram.top() + diagram.height() / 3.0);
        p.setPen(QPen(Accent, 1.0));
        for (int i = 0; i < 6; ++i) {
            const qreal angle = -2.6 + i * 0.5;
            const QPointF d(std::cos(angle), std::sin(angle));
            p.drawLine(centre + d * 4.5, centre + d * 7.5);
        }
        p.setPen(ink);
        fittedText(p, QRectF(33, 4, 29, 10), QStringLiteral("NEW"));
        fittedText(p, QRectF(33, 16, 29, 10), QStringLiteral("NOTE"));
    }

    void duplicateGlyph(QPainter& p, const QColor& ink)
    {
        fretDiagram(p, QRectF(3, 4, 17, 12), ink, 2);
        fretDiagram(p, QRectF(35, 4, 17, 12), ink, 2);
        arrow(p, QPointF(22, 10), QPointF(33, 10), Accent, 5);
        p.setPen(ink);
        fittedText(p, QRectF(14, 19, 27, 9), QStringLiteral("Dup"));
    }

    void clearGlyph(QPainter& p, const QColor& ink)
    {
        fretDiagram(p, QRectF(12, 3, 22, 11), ink);
        p.setPen(ink);
        fittedText(p, QRectF(1, 18, 44, 8), QStringLiteral("CLEAR NOTES"));
    }

    void deleteGlyph(QPainter& p, const QColor& ink)
    {
        const QRectF diagram(16, 4, 22, 11);
        fretDiagram(p, diagram, ink, 1);
        const QPointF c = diagram.center();
        p.save();
        p.setPen(QPen(Accent, 1.8));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, 8.5, 8.5);
        p.drawLine(c + QPointF(-6, -6), c + QPointF(6, 6));
        p.restore();
        p.setPen(ink);
        fittedText(p, QRectF(1, 19, 53, 8), QStringLiteral("DELETE NOTE"));
    }

    // A note value in a 16 x 31 box: head at the bottom, stem up its right side, flags on the stem.
    void noteGlyph(QPainter& p, const QColor& ink, bool hollow, bool stem, int flags)
    {
        const QPointF head(6.5, 25.5);
        p.save();
        p.translate(head);
        p.rotate(-20);
        p.setPen(QPen(ink, hollow ? 1.3 : 0.8));
        p.setBrush(hollow ? QBrush(Qt::NoBrush) : QBrush(ink));
        p.drawEllipse(QPointF(0, 0), 4.2, hollow && !stem ? 3.2 : 2.8);
        p.restore();
        if (!stem)
            return;
        const qreal stemX = head.x() + 3.9;
        p.setPen(QPen(ink, 1.1, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(stemX, head.y() - 1), QPointF(stemX, 2));
        p.setPen(QPen(ink, 1.4, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        for (int i = 0; i < flags; ++i) {
            const qreal y = 2.5 + i * 4.0;
            QPainterPath flag;
            flag.moveTo(stemX, y);
            flag.cubicTo(stemX + 1.5, y + 3, stemX + 5.5, y + 4, stemX + 4, y + 8.5);
            p.drawPath(flag);
        }
    }

    void shiftGlyph(QPainter& p, const QColor& ink, bool left)
    {
        p.setPen(ink);
        fittedText(p, QRectF(2, 0, 29, 6), QStringLiteral("SHIFT"));
        fittedText(p, QRectF(2, 11, 29, 6), left ? QStringLiteral("LEFT") : QStringLiteral("RIGHT"));
        if (left)
            arrow(p, QPointF(27, 8.5), QPointF(6, 8.5), Accent, 4);
        else
            arrow(p, QPointF(6, 8.5), QPointF(27, 8.5), Accent, 4);
    }

    void paintDesign(QPainter& p, EditGlyph glyph, const QColor& ink)
    {
        switch (glyph) {
        case EditGlyph::Rest:
            return restGlyph(p, ink);
        case EditGlyph::NewNote:
            return newNoteGlyph(p, ink);
        case EditGlyph::Duplicate:
            return duplicateGlyph(p, ink);
        case EditGlyph::ClearNotes:
            return clearGlyph(p, ink);
        case EditGlyph::DeleteNote:
            return deleteGlyph(p, ink);
        case EditGlyph::WholeNote:
            return noteGlyph(p, ink, true, false, 0);
        case EditGlyph::HalfNote:
            return noteGlyph(p, ink, true, true, 0);
        case EditGlyph::QuarterNote:
            return noteGlyph(p, ink, false, true, 0);
        case EditGlyph::EighthNote:
            return noteGlyph(p, ink, false, true, 1);
        case EditGlyph::SixteenthNote:
            return noteGlyph(p, ink, false, true, 2);
        case EditGlyph::ThirtySecondNote:
            return noteGlyph(p, ink, false, true, 3);
        case EditGlyph::SixtyFourthNote:
            return noteGlyph(p, ink, false, true, 4);
        case EditGlyph::ShiftLeft:
            return shiftGlyph(p, ink, true);
        case EditGlyph::ShiftRight:
            return shiftGlyph(p, ink, false);
        }
    }

    class GlyphIconEngine : public QIconEngine {
    public:
        explicit GlyphIconEngine(EditGlyph glyph)
            : m_glyph(glyph)
        {
        }

        void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
        {
            EditGlyphs::paint(*painter, m_glyph, rect, mode == QIcon::Disabled ? DisabledInk : EnabledInk);
        }

        QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
        {
            return scaledPixmap(size, mode, state, 1.0);
        }

        // size is in device pixels; the pixmap carries the ratio so it is drawn at its logical size.
        QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
        {
            QPixmap result(size);
            result.fill(Qt::transparent);
            result.setDevicePixelRatio(scale);
            QPainter painter(&result);
            paint(&painter, QRect(QPoint(0, 0), (QSizeF(size) / scale).toSize()), mode, state);
            return result;
        }

        QIconEngine* clone() const override { return new GlyphIconEngine(m_glyph); }

    private:
        EditGlyph m_glyph;
    };

} // namespace

QSize designSize(EditGlyph glyph)
{
    switch (glyph) {
    case EditGlyph::Rest:
        return { 33, 35 };
    case EditGlyph::NewNote:
        return { 63, 29 };
    case EditGlyph::Duplicate:
        return { 55, 29 };
    case EditGlyph::ClearNotes:
        return { 46, 29 };
    case EditGlyph::DeleteNote:
        return { 55, 29 };
    case EditGlyph::ShiftLeft:
    case EditGlyph::ShiftRight:
        return { 33, 17 };
    default:
        return { 16, 31 };
    }
}

void paint(QPainter& painter, EditGlyph glyph, const QRectF& box, const QColor& ink)
{
    const QSizeF design = designSize(glyph);
    const qreal scale = std::min(box.width() / design.width(), box.height() / design.height());
    if (scale <= 0)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(box.center());
    painter.scale(scale, scale);
    painter.translate(-design.width() / 2, -design.height() / 2);
    paintDesign(painter, glyph, ink);
    painter.restore();
}

QPixmap pixmap(EditGlyph glyph, qreal devicePixelRatio)
{
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    return icon(glyph).pixmap(designSize(glyph), ratio);
}

QIcon icon(EditGlyph glyph) { return QIcon(new GlyphIconEngine(glyph)); }

} // namespace fw::EditGlyphs
