#include "LineParser.h"

#include "SpecialLines.h"
#include "TextRules.h"

#include <algorithm>
#include <limits>

namespace fw {

namespace {

    constexpr int NotAnInteger = std::numeric_limits<int>::max();
    constexpr qsizetype MaxNameLength = 79;
    constexpr qsizetype MaxCommentLength = 80;
    constexpr qsizetype MaxDurationLength = 5;

    // Case-blind search for an upper-case ASCII needle, matching how the program upper-cases lines.
    qsizetype IndexOfUpper(QStringView haystack, QLatin1StringView needle)
    {
        const qsizetype n = needle.size();
        for (qsizetype i = 0; i + n <= haystack.size(); ++i) {
            qsizetype k = 0;
            while (k < n) {
                char16_t c = haystack[i + k].unicode();
                if (c >= u'a' && c <= u'z')
                    c = c - u'a' + u'A';
                if (c != static_cast<unsigned char>(needle.data()[k]))
                    break;
                ++k;
            }
            if (k == n)
                return i;
        }
        return -1;
    }

    // Splits off the text before the next comma and moves past that comma.
    QStringView TakeField(QStringView& rest)
    {
        const qsizetype comma = rest.indexOf(u',');
        const QStringView field = rest.left(comma);
        rest = rest.mid(comma + 1);
        return field;
    }

    QString FretFieldMessage(
        const QString& stringName, QStringView field, int fret, int fretLimit, FretFieldError marksError, int markValue)
    {
        const QString quoted = QStringLiteral(" string (\"") + field.toString() + QStringLiteral("\")");
        switch (marksError) {
        case FretFieldError::Combination:
            return QStringLiteral("Fret marks for ") + stringName + quoted + " do not go together.";
        case FretFieldError::Harmonic:
            return QStringLiteral("Harmonic on the %1 string must be at a node such as 12, 7, 5, 4 or 3.2, not at %2.")
                .arg(stringName, HarmonicNodeText(markValue));
        case FretFieldError::Bend:
            return QStringLiteral("Bend on the %1 string must go up 1 to %2 frets, not to fret %3.")
                .arg(stringName)
                .arg(MaxBendFrets)
                .arg(markValue);
        case FretFieldError::NotANumber:
        case FretFieldError::TooHigh:
        case FretFieldError::None:
            break;
        }
        if (fret == NotAnInteger)
            return QStringLiteral("Fret number for ") + stringName + quoted + " not a number.";
        if (fret < -1)
            return QStringLiteral("Fret number for ") + stringName + quoted + " must be higher than -2.";
        return QStringLiteral("Fret Number for ") + stringName + quoted + " must be lower than "
            + QString::number(fretLimit + 1) + ".";
    }

} // namespace

QString LinePrefix(int lineIndex) { return QStringLiteral("Line %1    ").arg(lineIndex + 1); }

QString InvalidCountOffMessage(QStringView line)
{
    return QStringLiteral("\r") + line.toString() + QStringLiteral("\r\rInvalid Count Off Number. Use 0 thru 8 only.");
}

namespace {

    // A count-off line's number, 0..8 or -1 when out of range; nothing for any other line.
    std::optional<int> CountOffNumber(QStringView line)
    {
        if (!IsCommentLine(line))
            return std::nullopt;
        const qsizetype countOffAt = IndexOfUpper(line, QLatin1StringView("COUNT OFF"));
        if (countOffAt != 1 && countOffAt != 2)
            return std::nullopt;
        const qsizetype offAt = IndexOfUpper(line, QLatin1StringView("OFF"));
        int number = StrToIntDef(line.mid(offAt + 3), -1);
        if (number == -1)
            number = 0;
        return number >= 0 && number <= 8 ? number : -1;
    }

} // namespace

std::optional<int> CountOffOfLines(const QStringList& lines)
{
    std::optional<int> beats;
    for (const QString& line : lines)
        if (const auto number = CountOffNumber(line))
            beats = std::max(0, *number);
    return beats;
}

QString CountOffLineText(int beats) { return QStringLiteral("*Count Off %1").arg(beats); }

LineParseResult ParseLineText(QStringView line, int lineIndex, ChordDef& def)
{
    return ParseLineText(line, lineIndex, def, StandardTuning());
}

LineParseResult ParseLineText(QStringView line, int lineIndex, ChordDef& def, const Tuning& tuning, int fretLimit)
{
    LineParseResult result;
    def = ChordDef {};

    if (const auto countOff = CountOffNumber(line)) {
        result.kind = LineKind::CountOff;
        result.countOffNumber = *countOff;
        return result;
    }
    if (IsCommentLine(line)) {
        result.kind = LineKind::Comment;
        def.Name = line.left(MaxCommentLength).toString();
        const TimeLineResult timeLine = ParseTimeLine(line);
        if (timeLine.kind == SpecialLineKind::Valid)
            def.Time = timeLine.time;
        return result;
    }
    if (TrimBlanks(line).isEmpty()) {
        result.kind = LineKind::Blank;
        def.Name = QStringLiteral(" ");
        return result;
    }

    result.kind = LineKind::ChordDefinition;
    const int commas = CountCommas(line);
    const int wanted = tuning.stringCount() + 1;
    QStringView rest = line;
    // One field more is the per-line words; any other extra field is one comma too many, as ever.
    QString wordsConflict;
    if (commas == wanted + 1) {
        const qsizetype lastComma = line.lastIndexOf(u',');
        if (ParseLineMarks(line.mid(lastComma + 1), def.Technique, wordsConflict))
            rest = line.left(lastComma);
        else
            def.Technique = {};
    }
    if (commas != wanted && rest.size() == line.size()) {
        result.errorText = LinePrefix(lineIndex)
            + (commas < wanted ? QStringLiteral("Not enough commas.") : QStringLiteral("Too many commas."));
        return result;
    }

    def.Name = TrimBlanks(TakeField(rest)).left(MaxNameLength).toString();
    if (def.Name.isEmpty()) {
        result.errorText = LinePrefix(lineIndex) + QStringLiteral("Note name required.");
        return result;
    }
    if (StrToIntDef(def.Name, NotAnInteger) != NotAnInteger) {
        result.errorText = LinePrefix(lineIndex) + QStringLiteral("Number not allowed for note name.");
        return result;
    }

    for (int slot = LastBassSlot; slot >= tuning.firstSlot(); --slot) {
        const QStringView field = TrimBlanks(TakeField(rest));
        int fret;
        if (field.size() == 1 && (field[0] == u'x' || field[0] == u'X'))
            fret = NotPlayedFret;
        else
            fret = StrToIntDef(field, NotAnInteger);
        FretFieldError marksError = FretFieldError::None;
        int markValue = 0;
        if (fret == NotAnInteger) {
            const MarkedFret marked = ReadMarkedFret(field, fretLimit);
            marksError = marked.error;
            markValue = marked.value;
            if (marksError == FretFieldError::None || marksError == FretFieldError::TooHigh) {
                fret = marked.fret;
                def.Marks[slot] = marked.marks;
            }
        }
        def.Frets[slot] = fret;

        if (marksError != FretFieldError::None || fret == NotAnInteger || fret < -1 || fret > fretLimit) {
            result.errorText = LinePrefix(lineIndex)
                + FretFieldMessage(tuning.stringName(slot), field, fret, fretLimit, marksError, markValue);
            return result;
        }
        def.Notes[slot]
            = fret == NotPlayedFret ? NotPlayedNote : static_cast<unsigned char>(tuning.openNote(slot) + fret);
    }

    def.Duration = TrimBlanks(rest).left(MaxDurationLength).toString();
    if (DurationValue(def.Duration, 1000) == 0) {
        result.errorText = LinePrefix(lineIndex) + QStringLiteral("\"") + def.Duration
            + QStringLiteral("\" invalid. (W)hole,(H)alf,Q,E,S,T,F");
        return result;
    }
    def.Duration.truncate(4);
    if (!wordsConflict.isEmpty())
        result.errorText = LinePrefix(lineIndex) + wordsConflict;
    return result;
}

QString BuildLine(const ChordDef& def) { return BuildLine(def, StandardTuning()); }

} // namespace fw
