#include "TabReport.h"

#include "AsciiTabReader.h"
#include "SpecialLines.h"
#include "TabRhythm.h"

namespace fw::asciitab {

namespace {

    // More sentences of one kind than this are summed up in one line.
    constexpr int MaxPlacesPerKind = 5;

    QString Plural(int count, const QString& one, const QString& many)
    {
        return QStringLiteral("%1 %2").arg(count).arg(count == 1 ? one : many);
    }

    QString LineNumber(int line) { return QString::number(line + 1); }

    QString UnitName(const QString& unit)
    {
        static const std::map<QChar, QString> names { { u'W', QStringLiteral("whole note") },
            { u'H', QStringLiteral("half note") }, { u'Q', QStringLiteral("quarter note") },
            { u'E', QStringLiteral("eighth") }, { u'S', QStringLiteral("sixteenth") },
            { u'T', QStringLiteral("thirty-second") }, { u'F', QStringLiteral("sixty-fourth") } };
        const QChar letter = unit.back();
        QString name = names.count(letter) ? names.at(letter) : unit;
        if (unit.startsWith(u'.'))
            name = QStringLiteral("dotted ") + name;
        else if (unit.startsWith(u'/'))
            name = QStringLiteral("triplet ") + name;
        return QStringLiteral("%1 (%2)").arg(name, unit);
    }

} // namespace

void TabReport::summary(int blocks, int strings, int bars, int chordLines)
{
    m_summary = QStringLiteral("Read %1 of %2 strings: %3, %4.")
                    .arg(Plural(blocks, QStringLiteral("tab block"), QStringLiteral("tab blocks")))
                    .arg(strings)
                    .arg(Plural(bars, QStringLiteral("bar"), QStringLiteral("bars")),
                        Plural(chordLines, QStringLiteral("chord line"), QStringLiteral("chord lines")));
}

void TabReport::tuningGiven(const Tuning& tuning, int tabStrings)
{
    m_tuning = QStringLiteral("Tuning %1, as given.").arg(tuning.namesText());
    if (tabStrings != tuning.stringCount())
        m_tuning += QStringLiteral(" The tab has %1 strings.").arg(tabStrings);
}

void TabReport::tuningFromLine(const Tuning& tuning, int line, const QString& text)
{
    m_tuning
        = QStringLiteral("Tuning %1, from line %2 (\"Tuning: %3\").").arg(tuning.namesText(), LineNumber(line), text);
}

void TabReport::tuningFromLabels(const Tuning& tuning, const QStringList& labelsTopDown)
{
    m_tuning = QStringLiteral("Tuning %1, from the string labels %2.")
                   .arg(tuning.namesText(), labelsTopDown.join(QLatin1Char(' ')));
}

void TabReport::tuningFromCount(const Tuning& tuning)
{
    m_tuning = QStringLiteral("Tuning %1, guessed from the number of strings.").arg(tuning.namesText());
}

void TabReport::blockMapped(int line, int lines, int strings, bool byLabels)
{
    place(QStringLiteral("mapped"),
        QStringLiteral("Line %1: a block of %2 strings in a list of %3; its lines were matched %4.")
            .arg(LineNumber(line))
            .arg(lines)
            .arg(strings)
            .arg(byLabels ? QStringLiteral("by their labels") : QStringLiteral("from the highest string down")));
}

void TabReport::rhythm(TabRhythm rhythm, const QString& unit)
{
    switch (rhythm) {
    case TabRhythm::Uniform:
        m_rhythm = QStringLiteral("Rhythm: every note is an %1; the tab's spacing was not read.").arg(UnitName(unit));
        if (!unit.endsWith(u'E') || unit.size() > 1)
            m_rhythm.replace(QStringLiteral("is an "), QStringLiteral("is a "));
        break;
    case TabRhythm::Grid:
        m_rhythm = QStringLiteral("Rhythm: one character of the tab is one %1.").arg(UnitName(unit));
        break;
    case TabRhythm::Proportional:
        m_rhythm = QStringLiteral("Rhythm: each bar's width is one bar of 4/4.");
        break;
    case TabRhythm::Line:
        m_rhythm = QStringLiteral("Rhythm: from the rhythm line above each block.");
        break;
    }
}

void TabReport::titleGuessed(int line, const QString& title)
{
    m_title = QStringLiteral("Title guessed from line %1: \"%2\".").arg(LineNumber(line), title);
}

void TabReport::tempo(int tempo, int line)
{
    m_tempo = QStringLiteral("Tempo %1, from line %2.").arg(tempo).arg(LineNumber(line));
}

void TabReport::dropped(TextKind kind) { ++m_dropped[kind]; }

void TabReport::strayLines(int line, int count)
{
    place(QStringLiteral("stray"),
        QStringLiteral("Line %1: %2 outside a block of 4 to 6 strings, kept as comments.")
            .arg(LineNumber(line), Plural(count, QStringLiteral("tab line"), QStringLiteral("tab lines"))));
}

void TabReport::noteWithoutString(int line)
{
    place(QStringLiteral("nostring"),
        QStringLiteral("Line %1: the tuning has no string for this line; its notes were dropped.")
            .arg(LineNumber(line)));
}

void TabReport::fretsKept(int highest)
{
    m_frets = QStringLiteral("Frets up to %1 kept: the list allows them with a \"%2\" line.")
                  .arg(highest)
                  .arg(FretsLineText(highest));
}

void TabReport::mendedLink(int line, const MendedLink& mended)
{
    if (mended.after == NoteLink::None)
        place(QStringLiteral("link"),
            QStringLiteral("Line %1: %2 The mark was dropped.").arg(LineNumber(line), mended.problem));
    else if (mended.before == NoteLink::HammerOn || mended.before == NoteLink::PullOff)
        place(QStringLiteral("turned"),
            QStringLiteral("Line %1: %2 It was read as a %3.")
                .arg(LineNumber(line), mended.problem,
                    mended.after == NoteLink::HammerOn ? QStringLiteral("hammer-on") : QStringLiteral("pull-off")));
}

void TabReport::strayAttackLetter(int line)
{
    place(QStringLiteral("attack"),
        QStringLiteral("Line %1: a slap, pop or tap letter stands under no note and was dropped.")
            .arg(LineNumber(line)));
}

void TabReport::letRingUnderPalmMute(int line)
{
    // Once a block, however many of its notes.
    if (line == m_letRingLine)
        return;
    m_letRingLine = line;
    place(QStringLiteral("letring"),
        QStringLiteral("Line %1: notes under both palm mute and let ring are palm-muted; let ring was dropped.")
            .arg(LineNumber(line)));
}

void TabReport::wrappedBar(int fromLine, int toLine)
{
    place(QStringLiteral("wrapped"),
        QStringLiteral("Line %1: a bar without a closing bar line runs on into the block at line %2.")
            .arg(LineNumber(fromLine), LineNumber(toLine)));
}

void TabReport::unbarred(int line)
{
    timingPlace(QStringLiteral("unbarred"),
        QStringLiteral("Line %1: the block has no bar lines; bars of 4/4 were made by counting.")
            .arg(LineNumber(line)));
}

void TabReport::missingRhythmLine(int line, const QString& unit)
{
    place(QStringLiteral("norhythm"),
        QStringLiteral("Line %1: no rhythm line above the block; its notes are %2.")
            .arg(LineNumber(line), UnitName(unit)));
}

void TabReport::strayRhythmToken(int line)
{
    place(QStringLiteral("straytoken"),
        QStringLiteral("Line %1: a duration of the rhythm line stands outside the bars and was dropped.")
            .arg(LineNumber(line)));
}

void TabReport::untimedNotes(int line, int count, const QString& unit)
{
    timingPlace(QStringLiteral("untimed"),
        QStringLiteral("Line %1: %2 without a duration in the rhythm line, written as %3.")
            .arg(LineNumber(line), Plural(count, QStringLiteral("note"), QStringLiteral("notes")), UnitName(unit)));
}

void TabReport::barLength(int bar, int line, int ticks)
{
    timingPlace(QStringLiteral("length"),
        QStringLiteral("Bar %1 (line %2) lasts %3, not 4; it was kept as it is.")
            .arg(bar)
            .arg(LineNumber(line), DescribeBeats(ticks)));
}

void TabReport::barNotFitted(int bar, int line, const QString& unit)
{
    timingPlace(QStringLiteral("nofit"),
        QStringLiteral("Bar %1 (line %2): its notes cannot fill a bar of 4/4; each is %3.")
            .arg(bar)
            .arg(LineNumber(line), UnitName(unit)));
}

void TabReport::proportionalWithoutBars(int line, const QString& unit)
{
    timingPlace(QStringLiteral("propnobars"),
        QStringLiteral("Line %1: the block has no bar lines to measure; its notes are %2.")
            .arg(LineNumber(line), UnitName(unit)));
}

void TabReport::digitRule(const DigitEvidence& evidence)
{
    if (evidence.rule() != DigitRule::DigitPerColumn)
        return;
    m_digitRule
        = QStringLiteral("Digit runs read as one fret a digit: the tab writes its notes one column each "
                         "(%1 no fret can be, %2 one column apart on different strings, %3 that could be "
                         "one fret).")
              .arg(Plural(evidence.longRuns + evidence.noFretPairs, QStringLiteral("run"), QStringLiteral("runs")))
              .arg(Plural(evidence.neighbours, QStringLiteral("note"), QStringLiteral("notes")))
              .arg(Plural(evidence.fretPairs, QStringLiteral("run"), QStringLiteral("runs")));
}

void TabReport::repeatPlayed(int extraPasses, int bars)
{
    ++m_repeatsPlayed;
    m_passesAdded += extraPasses;
    m_barsAdded += bars;
}

void TabReport::repeatNeverClosed(int line)
{
    place(QStringLiteral("unclosed"),
        QStringLiteral("Line %1: a repeat opens here and never closes; its bars are played once.")
            .arg(LineNumber(line)));
}

void TabReport::repeatTooOften(int line, int passes)
{
    place(QStringLiteral("toooften"),
        QStringLiteral("Line %1: a repeat of %2 times was kept once, its mark as a comment.")
            .arg(LineNumber(line))
            .arg(passes));
}

void TabReport::repeatTooLong(int line)
{
    place(QStringLiteral("toolong"),
        QStringLiteral("Line %1: playing this repeat out would make the list too long; it was kept once, its mark "
                       "as a comment.")
            .arg(LineNumber(line)));
}

void TabReport::countOff(int beats, int line)
{
    m_countOff = QStringLiteral("Count-off of %1, from line %2.")
                     .arg(Plural(beats, QStringLiteral("beat"), QStringLiteral("beats")), LineNumber(line));
}

void TabReport::place(const QString& key, const QString& sentence) { addPlace(m_places, key, sentence); }

void TabReport::timingPlace(const QString& key, const QString& sentence) { addPlace(m_timingPlaces, key, sentence); }

void TabReport::addPlace(QStringList& places, const QString& key, const QString& sentence)
{
    const int count = ++m_placeCounts[key];
    if (count <= MaxPlacesPerKind)
        places << sentence;
}

QStringList TabReport::lines() const
{
    QStringList out;
    out << m_summary << m_tuning << m_rhythm;
    if (!m_title.isEmpty())
        out << m_title;
    if (!m_tempo.isEmpty())
        out << m_tempo;
    if (!m_countOff.isEmpty())
        out << m_countOff;
    if (!m_frets.isEmpty())
        out << m_frets;
    if (!m_digitRule.isEmpty())
        out << m_digitRule;
    struct Named {
        Mark mark;
        const char* one;
        const char* many;
    };
    static const Named names[]
        = { { Mark::HammerOn, "hammer-on (h)", "hammer-ons (h)" }, { Mark::PullOff, "pull-off (p)", "pull-offs (p)" },
              { Mark::Slide, "slide (/ \\ s)", "slides (/ \\ s)" }, { Mark::Bend, "bend (b)", "bends (b)" },
              { Mark::Release, "release (r)", "releases (r)" }, { Mark::Vibrato, "vibrato (~ v)", "vibratos (~ v)" },
              { Mark::Ghost, "ghost note ( )", "ghost notes ( )" }, { Mark::Harmonic, "harmonic < >", "harmonics < >" },
              { Mark::Bracket, "bracketed note [ ]", "bracketed notes [ ]" }, { Mark::Tap, "tap (t)", "taps (t)" },
              { Mark::Other, "other mark", "other marks" } };
    QStringList marks;
    for (const Named& named : names) {
        const int count = this->marks.marks[static_cast<int>(named.mark)];
        if (count > 0)
            marks << Plural(count, QString::fromUtf8(named.one), QString::fromUtf8(named.many));
    }
    if (!marks.isEmpty())
        out << QStringLiteral("Techniques dropped, their notes kept: %1.").arg(marks.join(QStringLiteral(", ")));
    const DigitRuns& split = this->marks.splitRuns;
    if (split.count > 0)
        out << QStringLiteral("Digit runs read as several frets: %1 (%2%3).")
                   .arg(split.count)
                   .arg(split.places.join(QStringLiteral(", ")),
                       split.count > split.places.size() ? QStringLiteral(", ...") : QString());
    if (m_alternatives > 0)
        out << QStringLiteral("Alternative frets in brackets, as in \"4(16)\", kept as comments: %1.")
                   .arg(m_alternatives);
    QStringList dropped;
    const std::pair<TextKind, std::pair<const char*, const char*>> kinds[]
        = { { TextKind::Count, { "count line", "count lines" } }, { TextKind::Rule, { "rule", "rules" } },
              { TextKind::MarkLine, { "palm-mute or let-ring line", "palm-mute or let-ring lines" } } };
    for (const auto& [kind, words] : kinds) {
        const auto it = m_dropped.find(kind);
        if (it != m_dropped.end())
            dropped << Plural(it->second, QString::fromUtf8(words.first), QString::fromUtf8(words.second));
    }
    if (!dropped.isEmpty())
        out << QStringLiteral("Lines dropped: %1.").arg(dropped.join(QStringLiteral(", ")));
    if (m_repeatsPlayed > 0)
        out << QStringLiteral("Repeats played out: %1, adding %2 and %3.")
                   .arg(m_repeatsPlayed)
                   .arg(Plural(m_passesAdded, QStringLiteral("pass"), QStringLiteral("passes")),
                       Plural(m_barsAdded, QStringLiteral("bar"), QStringLiteral("bars")));
    if (m_repeatsKept > 0)
        out << QStringLiteral("Repeats kept once as written, their marks as comments: %1.").arg(m_repeatsKept);
    if (m_repeats > 0)
        out << QStringLiteral("Repeat marks kept as comments, not played out: %1.").arg(m_repeats);
    if (m_rhythmLinesKept > 0)
        out << QStringLiteral("Rhythm lines kept as comments: %1 (the line rhythm reads them).").arg(m_rhythmLinesKept);
    if (m_emptyBars > 0)
        out << QStringLiteral("Empty bars written as rests: %1.").arg(m_emptyBars);
    out << m_places << m_timingPlaces;
    for (const auto& [key, count] : m_placeCounts)
        if (count > MaxPlacesPerKind)
            out << QStringLiteral("... and %1 more like it (%2).").arg(count - MaxPlacesPerKind).arg(key);
    return out;
}

} // namespace fw::asciitab
