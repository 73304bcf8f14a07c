#include "ScoreParts.h"

#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <algorithm>
#include <tuple>
#include <vector>

namespace fw::musicxml {

namespace {

    // A note as two staves that show the same music have it in common.
    struct Placed {
        int measure;
        int onset;
        int key;
        friend auto operator<=>(const Placed&, const Placed&) = default;
    };

    // The notes of each staff, sorted, to tell a staff that only repeats another.
    QMap<int, std::vector<Placed>> NotesByStaff(const ReadPart& part)
    {
        QMap<int, std::vector<Placed>> staves;
        for (int m = 0; m < static_cast<int>(part.measures.size()); ++m) {
            const ReadMeasure& measure = part.measures[m];
            for (int n = measure.firstNote; n < measure.firstNote + measure.noteCount; ++n) {
                const ReadNote& note = part.notes[n];
                if (SoundsInTime(note))
                    staves[note.staff].push_back({ m, note.onset, note.key });
            }
        }
        for (std::vector<Placed>& notes : staves)
            std::sort(notes.begin(), notes.end());
        return staves;
    }

    // Two staves show the same music when their notes fall at the same times, the same keys or all
    // a whole number of octaves apart (notation written an octave above its tablature).
    bool SameMusic(const std::vector<Placed>& a, const std::vector<Placed>& b)
    {
        if (a.empty() || a.size() != b.size())
            return false;
        const int shift = b.front().key - a.front().key;
        if (shift % 12 != 0)
            return false;
        for (size_t i = 0; i < a.size(); ++i) {
            if (a[i].measure != b[i].measure || a[i].onset != b[i].onset || b[i].key - a[i].key != shift)
                return false;
        }
        return true;
    }

    bool NamesBass(const QString& text)
    {
        static const QRegularExpression bass(QStringLiteral("\\b(bass|basse|basso|bajo|contrabass|contrabasso|"
                                                            "contrabbasso|kontrabass|bassgitarre|violone|continuo)\\b"),
            QRegularExpression::CaseInsensitiveOption);
        static const QRegularExpression other(QStringLiteral("clarinet|klarinette|trombone|posaune|drum|trommel|"
                                                             "flute|fl\\S*te|sax|tuba|oboe|horn|recorder|bassoon|"
                                                             "fagott|voice|vocal|choir|chor\\b|singer"),
            QRegularExpression::CaseInsensitiveOption);
        return bass.match(text).hasMatch() && !other.match(text).hasMatch();
    }

    bool IsBass(const ReadPart& part)
    {
        // General MIDI programs 33 to 40 are the basses, 44 the contrabass (counted from 1).
        if ((part.program >= 32 && part.program <= 39) || part.program == 43)
            return true;
        return NamesBass(part.name) || NamesBass(part.instrument) || NamesBass(QString(part.sound).replace(u'.', u' '));
    }

} // namespace

PartVoices VoicesOf(const ReadPart& part)
{
    PartVoices result;
    const QMap<int, std::vector<Placed>> staves = NotesByStaff(part);
    for (auto a = staves.cbegin(); a != staves.cend(); ++a) {
        for (auto b = std::next(a); b != staves.cend(); ++b) {
            if (result.copies.contains(a.key()) || result.copies.contains(b.key()) || !SameMusic(*a, *b))
                continue;
            // The TAB staff stays, for its strings and frets; else the first.
            result.copies.insert(b.key() == part.tabStaff ? a.key() : b.key());
        }
    }
    struct Tally {
        int notes = 0;
        double keys = 0;
        QMap<int, int> staves;
    };
    QMap<int, Tally> tallies;
    for (const ReadNote& note : part.notes) {
        if (!SoundsInTime(note) || result.copies.contains(note.staff))
            continue;
        Tally& tally = tallies[note.voice];
        ++tally.notes;
        tally.keys += note.key;
        ++tally.staves[note.staff];
    }
    for (auto tally = tallies.cbegin(); tally != tallies.cend(); ++tally) {
        PartVoices::Voice voice;
        voice.number = tally.key();
        voice.notes = tally->notes;
        voice.meanKey = tally->keys / tally->notes;
        int most = 0;
        for (auto staff = tally->staves.cbegin(); staff != tally->staves.cend(); ++staff) {
            if (staff.value() > most) {
                most = staff.value();
                voice.staff = staff.key();
            }
        }
        result.voices.append(voice);
    }
    return result;
}

QList<int> DefaultVoices(const PartVoices& voices)
{
    // A voice of a few notes beside a full one (a low note held under a line) is not the line.
    QMap<int, int> mostByStaff;
    for (const PartVoices::Voice& voice : voices.voices)
        mostByStaff[voice.staff] = std::max(mostByStaff.value(voice.staff), voice.notes);
    QMap<int, int> lowestByStaff; // staff -> index of its lowest voice
    for (int i = 0; i < voices.voices.size(); ++i) {
        const PartVoices::Voice& voice = voices.voices[i];
        if (voice.notes * 4 < mostByStaff.value(voice.staff))
            continue;
        const auto found = lowestByStaff.constFind(voice.staff);
        if (found == lowestByStaff.cend() || voice.meanKey < voices.voices[*found].meanKey)
            lowestByStaff.insert(voice.staff, i);
    }
    QList<int> chosen = lowestByStaff.values();
    std::sort(chosen.begin(), chosen.end());
    return chosen;
}

QList<PartSummary> SummariesOf(const ReadScore& score)
{
    QList<PartSummary> summaries;
    summaries.reserve(score.parts.size());
    for (const ReadPart& part : score.parts) {
        PartSummary summary;
        summary.name = part.name.isEmpty() ? part.id : part.name;
        summary.instrument = part.instrument.isEmpty() ? summary.name : part.instrument;
        summary.strings = part.tabStaff ? static_cast<int>(part.staffTuning.value(part.tabStaff).size()) : 0;
        summary.bass = IsBass(part);
        const PartVoices voices = VoicesOf(part);
        summary.voices = static_cast<int>(voices.voices.size());
        double keys = 0;
        for (const ReadNote& note : part.notes) {
            if (!SoundsInTime(note) || voices.copies.contains(note.staff))
                continue;
            ++summary.notes;
            keys += note.key;
            summary.lowest = summary.lowest < 0 ? note.key : std::min<int>(summary.lowest, note.key);
            summary.highest = std::max<int>(summary.highest, note.key);
        }
        summary.meanKey = summary.notes > 0 ? keys / summary.notes : 0;
        summaries.append(summary);
    }
    return summaries;
}

int DefaultPart(const QList<PartSummary>& parts)
{
    const auto lowest = [&parts](bool bassOnly, const QList<int>& tabParts) {
        int best = -1;
        for (int i = 0; i < parts.size(); ++i) {
            const PartSummary& part = parts[i];
            if (part.notes == 0 || (bassOnly && !part.bass && !tabParts.contains(i)))
                continue;
            if (best < 0 || std::tie(part.meanKey, part.lowest) < std::tie(parts[best].meanKey, parts[best].lowest))
                best = i;
        }
        return best;
    };
    QList<int> tabParts;
    for (int i = 0; i < parts.size(); ++i) {
        if (parts[i].strings > 0)
            tabParts.append(i);
    }
    int chosen = lowest(true, tabParts);
    if (chosen < 0)
        chosen = lowest(false, tabParts);
    return std::max(chosen, 0);
}

} // namespace fw::musicxml
