// Parsing a long chord list held in the real editor, against merely reading its lines, and the
// display of its last line; for a four-string list, for a five-string list with its tuning line, and
// for a list whose lines carry playing techniques (with the partners of their hammer-ons, ties and
// slides checked) after a time line.
#include "BestOfRuns.h"
#include "ChordEditor.h"
#include "ChordList.h"
#include "PlainTextEditorLines.h"
#include "SilentHost.h"

#include <QApplication>
#include <cstdio>
#include <vector>

namespace {

QString MakeChordList(int lines)
{
    const char* samples[] = { "G, 3, x, x, x, Q", "Chord, 3, 5, x, x, .E", "Rest, x, x, x, x, H", "* a comment line",
        "", "A#/Bb, x, 1, x, x, /S", "E, 0, x, x, x, F" };
    QStringList text;
    text.reserve(lines);
    for (int i = 0; i < lines; ++i)
        text << QString::fromLatin1(samples[i % 7]);
    return text.join(QLatin1Char('\n'));
}

// The same mix for a five-string bass; the tuning line comes first, where the program writes it.
QString MakeFiveStringList(int lines)
{
    const char* samples[] = { "D, 3, x, x, x, x, Q", "Chord, 5, 5, x, x, x, .E", "Rest, x, x, x, x, x, H",
        "* a comment line", "", "A#/Bb, x, x, 1, x, x, /S", "B, 0, x, x, x, x, F" };
    QStringList text;
    text.reserve(lines);
    text << QStringLiteral("* Tuning: B E A D G");
    for (int i = 1; i < lines; ++i)
        text << QString::fromLatin1(samples[i % 7]);
    return text.join(QLatin1Char('\n'));
}

// Every kind of mark, each hammer-on, tie and slide completed by the next line, after a time line.
QString MakeMarkedList(int lines)
{
    const char* samples[] = { "A, x, 0h, x, x, S, slap", "B, x, 2_, x, x, S", "B, x, 2/, x, x, E, pop accent",
        "* a comment line", "", "E, x, 7~, (5), <12>, /S, lr", "x, m, 5m, 7b9, x, F, pm staccato" };
    QStringList text;
    text.reserve(lines);
    text << QStringLiteral("* Time: 3/4");
    for (int i = 1; i < lines; ++i)
        text << QString::fromLatin1(samples[i % 7]);
    return text.join(QLatin1Char('\n'));
}

struct Figures {
    double readMs = 0;
    double parseMs = 0;
    double showUs = 0;
    const char* shown = "ShowLineInfo(last line)";
    qsizetype entries = 0;
    qsizetype checksum = 0;
    bool ok = true;
    double ratio() const { return parseMs / readMs; }
    bool pass() const { return ratio() <= 2.0 && showUs < 1000.0 && ok; }
};

// shownFromEnd: which line ShowLineInfo shows, counted back from the last (0 the last line).
Figures Measure(const QString& text, int shownFromEnd = 0)
{
    fw::ChordEditor editor;
    editor.setPlainText(text);
    fw::PlainTextEditorLines lines(editor);
    fw::SilentHost host;
    fw::ChordList list(lines, host, host);
    Figures f;
    f.readMs = fw::bench::BestMilliseconds(5, [&] {
        for (int i = 0; i <= lines.lineCount(); ++i)
            f.checksum += lines.lineText(i).size();
    });
    f.parseMs = fw::bench::BestMilliseconds(5, [&] { f.ok = list.ParseAllLines(QString(), false) && f.ok; });
    const int shown = lines.lineCount() - 1 - shownFromEnd;
    f.showUs = fw::bench::BestMilliseconds(200, [&] { list.ShowLineInfo(shown); }) * 1000.0;
    f.entries = list.ParsedLines.size();
    return f;
}

// prefix names the list in every figure, so the figures of both lists can be told apart.
void Print(const char* prefix, const Figures& f)
{
    const auto name = [prefix](const char* figure) { return (QByteArray(prefix) + figure).leftJustified(34, ' '); };
    std::printf("%s%.1f ms\n", name("read lines").constData(), f.readMs);
    std::printf("%s%.1f ms  (%zu entries, ok=%d)\n", name("ParseAllLines").constData(), f.parseMs,
        static_cast<size_t>(f.entries), f.ok);
    std::printf("%s%.2f  target <= 2.00  %s\n", name("parse/read ratio").constData(), f.ratio(),
        f.ratio() <= 2.0 ? "PASS" : "FAIL");
    std::printf(
        "%s%.1f us  target < 1000 us  %s\n", name(f.shown).constData(), f.showUs, f.showUs < 1000.0 ? "PASS" : "FAIL");
    std::printf("(checksum %lld)\n", static_cast<long long>(f.checksum));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr int LineCount = 100000;

    const Figures four = Measure(MakeChordList(LineCount));
    const Figures five = Measure(MakeFiveStringList(LineCount));
    // The line shown is a hammer-on near the end: its next line and its bar are read to show it.
    Figures marked = Measure(MakeMarkedList(LineCount), 3);
    marked.shown = "ShowLineInfo(hammer-on)";
    std::printf("lines                      %d\n", LineCount);
    Print("", four);
    std::printf("five strings: the same mix after \"* Tuning: B E A D G\"\n");
    Print("5-string ", five);
    std::printf("marks: every mark, with the partners of hammer-ons, ties and slides, after \"* Time: 3/4\"\n");
    Print("marked ", marked);
    return four.pass() && five.pass() && marked.pass() ? 0 : 1;
}
