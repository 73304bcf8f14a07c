#include "Marks.h"

#include "Pitch.h"

#include <algorithm>
#include <cstdlib>

namespace fw {

namespace {

    // Nodes of the harmonics 2 to 8 up to fret 24: where the node lies (hundredths of a fret), how
    // players write it (tenths), and how far the harmonic sounds above the open string.
    struct HarmonicNode {
        short hundredths;
        short tenths;
        signed char semitones;
    };
    constexpr HarmonicNode Nodes[] = {
        { 1200, 120, 12 }, // 1/2
        { 702, 70, 19 }, // 1/3
        { 1902, 190, 19 }, // 2/3
        { 498, 50, 24 }, // 1/4
        { 2400, 240, 24 }, // 3/4
        { 386, 40, 28 }, // 1/5
        { 884, 90, 28 }, // 2/5
        { 1586, 160, 28 }, // 3/5
        { 316, 32, 31 }, // 1/6
        { 267, 27, 34 }, // 1/7
        { 583, 58, 34 }, // 2/7
        { 969, 97, 34 }, // 3/7
        { 1467, 147, 34 }, // 4/7
        { 2087, 210, 34 }, // 5/7
        { 231, 23, 36 }, // 1/8
        { 814, 80, 36 }, // 3/8
        { 1698, 170, 36 }, // 5/8
    };
    // A written node counts within a quarter fret of the true one.
    constexpr int NodeTolerance = 25;

    const HarmonicNode* NodeOf(int tenths)
    {
        for (const HarmonicNode& node : Nodes) {
            if (node.tenths == tenths)
                return &node;
        }
        return nullptr;
    }

    bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

    // Reads decimal digits at i; -1 when there are none. Long runs saturate, to be caught as too high.
    int ReadDigits(QStringView text, qsizetype& i)
    {
        if (i >= text.size() || !IsDigit(text[i]))
            return -1;
        long long value = 0;
        while (i < text.size() && IsDigit(text[i])) {
            value = std::min(value * 10 + (text[i].unicode() - u'0'), 1000000LL);
            ++i;
        }
        return static_cast<int>(value);
    }

    char16_t Lower(QChar c)
    {
        const char16_t u = c.unicode();
        return u >= u'A' && u <= u'Z' ? static_cast<char16_t>(u - u'A' + u'a') : u;
    }

    NoteLink LinkOf(char16_t c)
    {
        switch (c) {
        case u'h':
            return NoteLink::HammerOn;
        case u'p':
            return NoteLink::PullOff;
        case u'/':
            return NoteLink::SlideUp;
        case u'\\':
            return NoteLink::SlideDown;
        case u'_':
            return NoteLink::Tie;
        default:
            return NoteLink::None;
        }
    }

    bool CombinationAllowed(const NoteMarks& m)
    {
        switch (m.kind) {
        case NoteKind::Dead:
            return m.slideIn == SlideIn::None && !m.hasBend() && !m.vibrato && m.link == NoteLink::None;
        case NoteKind::Harmonic:
            return m.slideIn == SlideIn::None && !m.hasBend() && (m.link == NoteLink::None || m.link == NoteLink::Tie);
        case NoteKind::Ghost:
            return m.slideIn == SlideIn::None && !m.hasBend();
        case NoteKind::Normal:
            return !m.hasBend() || (m.slideIn == SlideIn::None && m.link == NoteLink::None);
        }
        return false;
    }

} // namespace

int HarmonicSemitones(int nodeTenths)
{
    const HarmonicNode* node = NodeOf(nodeTenths);
    return node ? node->semitones : 0;
}

int HarmonicNodeNear(int tenths)
{
    const HarmonicNode* best = nullptr;
    int bestDistance = NodeTolerance + 1;
    for (const HarmonicNode& node : Nodes) {
        const int distance = std::abs(tenths * 10 - node.hundredths);
        if (distance < bestDistance) {
            best = &node;
            bestDistance = distance;
        }
    }
    return best ? best->tenths : 0;
}

QString HarmonicNodeText(int nodeTenths)
{
    if (nodeTenths % 10 == 0)
        return QString::number(nodeTenths / 10);
    return QStringLiteral("%1.%2").arg(nodeTenths / 10).arg(nodeTenths % 10);
}

int HarmonicFret(int nodeTenths) { return (nodeTenths + 5) / 10; }

QString FretFieldText(int fret, const NoteMarks& marks)
{
    if (!marks.any())
        return fret == NotPlayedFret ? QStringLiteral("x") : QString::number(fret);
    QString text;
    if (marks.slideIn == SlideIn::FromBelow)
        text += u'/';
    else if (marks.slideIn == SlideIn::FromAbove)
        text += u'\\';
    switch (marks.kind) {
    case NoteKind::Normal:
        text += QString::number(fret);
        break;
    case NoteKind::Ghost:
        text += u'(' + QString::number(fret) + u')';
        break;
    case NoteKind::Dead:
        if (fret != NotPlayedFret)
            text += QString::number(fret);
        text += u'm';
        break;
    case NoteKind::Harmonic:
        text += u'<' + HarmonicNodeText(marks.harmonicNode) + u'>';
        break;
    }
    if (marks.hasBend())
        text += u'b' + QString::number(marks.bendTarget);
    if (marks.vibrato)
        text += u'~';
    static constexpr char16_t LinkText[] = { 0, u'h', u'p', u'/', u'\\', u'_' };
    if (marks.link != NoteLink::None)
        text += QChar(LinkText[static_cast<int>(marks.link)]);
    return text;
}

QStringList LineMarkWords(const LineMarks& marks, bool spelledOut)
{
    QStringList words;
    if (marks.attack == Attack::Slap)
        words << QStringLiteral("slap");
    if (marks.attack == Attack::Pop)
        words << QStringLiteral("pop");
    if (marks.attack == Attack::Tap)
        words << QStringLiteral("tap");
    if (marks.accent)
        words << QStringLiteral("accent");
    if (marks.staccato)
        words << QStringLiteral("staccato");
    if (marks.palmMute)
        words << (spelledOut ? QStringLiteral("palm mute") : QStringLiteral("pm"));
    if (marks.letRing)
        words << (spelledOut ? QStringLiteral("let ring") : QStringLiteral("lr"));
    return words;
}

QString LineMarksText(const LineMarks& marks) { return LineMarkWords(marks).join(u' '); }

bool ParseLineMarks(QStringView field, LineMarks& marks, QString& conflict)
{
    marks = {};
    conflict.clear();
    int attacks = 0;
    int words = 0;
    qsizetype i = 0;
    while (i < field.size()) {
        if (field[i].unicode() <= 32) {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < field.size() && field[end].unicode() > 32)
            ++end;
        const QStringView word = field.mid(i, end - i);
        i = end;
        const auto is
            = [word](const char* text) { return word.compare(QLatin1StringView(text), Qt::CaseInsensitive) == 0; };
        Attack attack = Attack::Normal;
        if (is("slap"))
            attack = Attack::Slap;
        else if (is("pop"))
            attack = Attack::Pop;
        else if (is("tap"))
            attack = Attack::Tap;
        else if (is("accent"))
            marks.accent = true;
        else if (is("staccato"))
            marks.staccato = true;
        else if (is("pm"))
            marks.palmMute = true;
        else if (is("lr"))
            marks.letRing = true;
        else
            return false;
        if (attack != Attack::Normal && attack != marks.attack) {
            ++attacks;
            marks.attack = attack;
        }
        ++words;
    }
    if (words == 0)
        return false;
    if (attacks > 1)
        conflict = QStringLiteral("Slap, pop and tap exclude one another.");
    else if (marks.letRing && (marks.palmMute || marks.staccato))
        conflict = QStringLiteral("Let ring does not go with palm mute or staccato.");
    return true;
}

MarkedFret ReadMarkedFret(QStringView field, int fretLimit)
{
    MarkedFret result;
    NoteMarks& marks = result.marks;
    const auto fail = [&result](FretFieldError error) {
        result.error = error;
        return result;
    };
    qsizetype i = 0;
    if (i < field.size() && (field[i] == u'/' || field[i] == u'\\')) {
        marks.slideIn = field[i] == u'/' ? SlideIn::FromBelow : SlideIn::FromAbove;
        ++i;
    }
    if (i >= field.size())
        return fail(FretFieldError::NotANumber);
    int written = 0;
    if (field[i] == u'(') {
        ++i;
        result.fret = ReadDigits(field, i);
        if (result.fret < 0 || i >= field.size() || field[i] != u')')
            return fail(FretFieldError::NotANumber);
        ++i;
        marks.kind = NoteKind::Ghost;
    } else if (field[i] == u'<') {
        ++i;
        const int whole = ReadDigits(field, i);
        if (whole < 0)
            return fail(FretFieldError::NotANumber);
        written = std::min(whole, 100000) * 10;
        if (i < field.size() && field[i] == u'.') {
            ++i;
            if (i >= field.size() || !IsDigit(field[i]))
                return fail(FretFieldError::NotANumber);
            written += field[i].unicode() - u'0';
            ++i;
        }
        if (i >= field.size() || field[i] != u'>')
            return fail(FretFieldError::NotANumber);
        ++i;
        marks.kind = NoteKind::Harmonic;
    } else if (Lower(field[i]) == u'm') {
        ++i;
        marks.kind = NoteKind::Dead;
    } else {
        result.fret = ReadDigits(field, i);
        if (result.fret < 0)
            return fail(FretFieldError::NotANumber);
        if (i < field.size() && Lower(field[i]) == u'm') {
            ++i;
            marks.kind = NoteKind::Dead;
        }
    }
    bool repeated = false;
    while (i < field.size()) {
        const char16_t c = Lower(field[i]);
        ++i;
        if (c == u'b') {
            const int target = ReadDigits(field, i);
            if (target < 0)
                return fail(FretFieldError::NotANumber);
            repeated = repeated || marks.hasBend();
            marks.bendTarget = static_cast<signed char>(std::min(target, 127));
        } else if (c == u'~') {
            repeated = repeated || marks.vibrato;
            marks.vibrato = true;
        } else if (const NoteLink link = LinkOf(c); link != NoteLink::None) {
            repeated = repeated || marks.link != NoteLink::None;
            marks.link = link;
        } else {
            return fail(FretFieldError::NotANumber);
        }
    }
    // Digits alone are a plain fret that the integer rule refused (too large): not a number, as ever.
    if (!marks.any())
        return fail(FretFieldError::NotANumber);
    if (repeated || !CombinationAllowed(marks))
        return fail(FretFieldError::Combination);
    if (marks.kind == NoteKind::Harmonic) {
        marks.harmonicNode = static_cast<short>(HarmonicNodeNear(written));
        if (marks.harmonicNode == 0) {
            result.value = written;
            return fail(FretFieldError::Harmonic);
        }
        result.fret = HarmonicFret(marks.harmonicNode);
    }
    if (result.fret > fretLimit)
        return fail(FretFieldError::TooHigh);
    if (marks.hasBend() && (marks.bendTarget <= result.fret || marks.bendTarget > result.fret + MaxBendFrets)) {
        result.value = marks.bendTarget;
        return fail(FretFieldError::Bend);
    }
    return result;
}

} // namespace fw
