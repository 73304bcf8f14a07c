#include "Tuning.h"

#include "TextRules.h"

#include <optional>

namespace fw {

namespace {

    // Without an octave digit the lowest string takes the value of its name in this range (B 35 .. A# 46).
    constexpr int LowestImplicitNote = 35;
    // Note values a string may have: fret 24 of the highest still fits a MIDI key after any octave shift.
    constexpr int MinOpenNote = 12;
    constexpr int MaxOpenNote = 100;

    struct NoteToken {
        QString name; // letter and accidental, as written ("Eb")
        int pitch = 0; // letter plus accidental in semitones from C; may be -1 (Cb) or 12 (B#)
        std::optional<int> octave;
    };

    std::optional<NoteToken> ParseNoteToken(QStringView text)
    {
        static constexpr int LetterPitch[] = { 9, 11, 0, 2, 4, 5, 7 }; // A B C D E F G
        if (text.isEmpty())
            return std::nullopt;
        const char16_t letter = text[0].toUpper().unicode();
        if (letter < u'A' || letter > u'G')
            return std::nullopt;
        NoteToken token;
        token.pitch = LetterPitch[letter - u'A'];
        token.name = QString(QChar(letter));
        qsizetype i = 1;
        if (i < text.size() && (text[i] == u'#' || text[i] == u'b')) {
            token.pitch += text[i] == u'#' ? 1 : -1;
            token.name += text[i];
            ++i;
        }
        if (i < text.size()) {
            if (i + 1 != text.size() || !text[i].isDigit() || text[i].unicode() > u'9')
                return std::nullopt;
            token.octave = text[i].unicode() - u'0';
        }
        return token;
    }

    int Modulo12(int value) { return ((value % 12) + 12) % 12; }

    // The value a name without an octave digit takes above the previous string (or as the lowest).
    int ImplicitNote(int pitch, std::optional<int> below)
    {
        if (!below)
            return LowestImplicitNote + Modulo12(pitch - LowestImplicitNote);
        return *below + 1 + Modulo12(pitch - (*below + 1));
    }

    // Scientific pitch is of the sounding note; note values are one octave above it.
    int ExplicitNote(int pitch, int octave) { return 12 * (octave + 1) + pitch + 12; }

    bool StartsWithTuningWord(QStringView text)
    {
        return text.startsWith(QLatin1StringView("tuning:"), Qt::CaseInsensitive);
    }

} // namespace

Tuning::Tuning()
    : m_open { 40, 45, 50, 55 }
    , m_names { QStringLiteral("E"), QStringLiteral("A"), QStringLiteral("D"), QStringLiteral("G") }
{
}

Tuning::Tuning(std::vector<int> openNotes, QStringList names)
    : m_open(std::move(openNotes))
    , m_names(std::move(names))
{
}

int Tuning::openNote(int slot) const { return hasSlot(slot) ? m_open[stringOfSlot(slot)] : 0; }

QString Tuning::pitchName(int slot) const { return hasSlot(slot) ? m_names.value(stringOfSlot(slot)) : QString(); }

QString Tuning::stringName(int slot) const
{
    if (!hasSlot(slot))
        return QString();
    return slot == 6 ? QStringLiteral("Low ") + pitchName(slot) : pitchName(slot);
}

const Tuning& StandardTuning()
{
    static const Tuning standard;
    return standard;
}

bool Tuning::isStandard() const { return *this == StandardTuning(); }

QString Tuning::namesText() const
{
    QStringList tokens;
    std::optional<int> below;
    for (int i = 0; i < stringCount(); ++i) {
        QString token = m_names.value(i);
        const auto parsed = ParseNoteToken(token);
        const int pitch = parsed ? parsed->pitch : Modulo12(m_open[i]);
        if (!parsed || ImplicitNote(pitch, below) != m_open[i])
            token += QString::number((m_open[i] - 12 - pitch) / 12 - 1);
        tokens.append(token);
        below = m_open[i];
    }
    return tokens.join(u' ');
}

QString Tuning::lineText() const { return QStringLiteral("* Tuning: ") + namesText(); }

TuningLineResult ParseTuningNames(QStringView names)
{
    TuningLineResult result;
    result.kind = TuningLineKind::Invalid;
    std::vector<int> open;
    QStringList written;
    std::optional<int> below;
    qsizetype i = 0;
    while (i < names.size()) {
        if (names[i] == u' ' || names[i] == u',' || names[i] == u'\t') {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < names.size() && names[end] != u' ' && names[end] != u',' && names[end] != u'\t')
            ++end;
        const QStringView text = names.mid(i, end - i);
        i = end;
        const auto token = ParseNoteToken(text);
        if (!token) {
            result.reason = QStringLiteral("\"%1\" is not a note name.").arg(text.toString());
            return result;
        }
        const int note = token->octave ? ExplicitNote(token->pitch, *token->octave) : ImplicitNote(token->pitch, below);
        if (below && note <= *below) {
            result.reason = QStringLiteral("The strings must rise in pitch, lowest first.");
            return result;
        }
        if (note < MinOpenNote || note > MaxOpenNote) {
            result.reason = QStringLiteral("\"%1\" is out of range.").arg(text.toString());
            return result;
        }
        open.push_back(note);
        written.append(token->name);
        below = note;
    }
    const int count = static_cast<int>(open.size());
    if (count < MinTuningStrings || count > MaxTuningStrings) {
        result.reason = QStringLiteral("%1 note names; a tuning names 4 to 6 strings.").arg(count);
        return result;
    }
    result.kind = TuningLineKind::Valid;
    result.tuning = Tuning(std::move(open), std::move(written));
    return result;
}

TuningLineResult ParseTuningLine(QStringView line)
{
    if (!IsCommentLine(line))
        return {};
    QStringView rest = line.mid(1);
    if (rest.startsWith(u' '))
        rest = rest.mid(1);
    if (!StartsWithTuningWord(rest))
        return {};
    TuningLineResult result = ParseTuningNames(rest.mid(7));
    if (result.kind == TuningLineKind::Invalid)
        result.reason = QStringLiteral("Not a tuning line: ") + result.reason;
    return result;
}

Tuning TuningOfLines(const QStringList& lines)
{
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        const QString& line = lines[i];
        if (!line.startsWith(u'*'))
            continue;
        TuningLineResult result = ParseTuningLine(line);
        if (result.kind == TuningLineKind::Valid)
            return result.tuning;
    }
    return Tuning();
}

QStringList NewDocumentLines(const QString& newTuning)
{
    const TuningLineResult result = ParseTuningNames(newTuning);
    if (result.kind != TuningLineKind::Valid || result.tuning.isStandard())
        return {};
    return { result.tuning.lineText() };
}

QString BuildLine(const ChordDef& def, const Tuning& tuning)
{
    // Room for six marked fields and the words at once: imports build millions of lines.
    QString line;
    line.reserve(def.Name.size() + 64);
    line += def.Name;
    line += QStringLiteral(", ");
    for (int slot = 6; slot >= tuning.firstSlot(); --slot) {
        if (def.Marks[slot].any())
            line += FretFieldText(def.Frets[slot], def.Marks[slot]);
        else if (def.Frets[slot] == NotPlayedFret)
            line += u'x';
        else
            line += QString::number(def.Frets[slot]);
        line += QLatin1String(", ");
    }
    line += def.Duration;
    if (def.Technique.any()) {
        line += QLatin1String(", ");
        line += LineMarksText(def.Technique);
    }
    return line;
}

QString NoteName(const Tuning& tuning, int slot, int fret, const QString& fallback)
{
    if (!tuning.hasSlot(slot) || fret < 0 || fret > 24)
        return fallback;
    return PitchClassName(tuning.openNote(slot) + fret);
}

QString AutomaticName(const ChordDef& def, const Tuning& tuning)
{
    int played = 0;
    int playedSlot = 0;
    for (int slot = tuning.firstSlot(); slot <= 6; ++slot) {
        if (IsStruck(def, slot)) {
            ++played;
            playedSlot = slot;
        }
    }
    if (played == 1) {
        // A dead note has no pitch: it is named as tabs write it. A harmonic by the pitch it sounds.
        const NoteMarks& marks = def.Marks[playedSlot];
        if (marks.kind == NoteKind::Dead)
            return QStringLiteral("x");
        if (marks.kind == NoteKind::Harmonic)
            return PitchClassName(tuning.openNote(playedSlot) + HarmonicSemitones(marks.harmonicNode));
        return NoteName(tuning, playedSlot, def.Frets[playedSlot], def.Name);
    }
    return played == 0 ? QStringLiteral("Rest") : QStringLiteral("Chord");
}

bool IsProgramName(QStringView name)
{
    const QStringView trimmed = TrimBlanks(name);
    if (trimmed.isEmpty())
        return true;
    for (const char* word : { "New", "Rest", "Chord", "x" }) {
        if (trimmed.compare(QLatin1String(word), Qt::CaseInsensitive) == 0)
            return true;
    }
    for (int pitchClass = 0; pitchClass < 12; ++pitchClass) {
        if (trimmed.compare(PitchClassName(pitchClass), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace fw
