// Parsing a long chord list held in the real editor, against merely reading its lines, and the
// display of its last line.
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

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr int LineCount = 100000;

    fw::ChordEditor editor;
    editor.setPlainText(MakeChordList(LineCount));
    fw::PlainTextEditorLines lines(editor);
    fw::SilentHost host;
    fw::ChordList list(lines, host, host);

    qsizetype checksum = 0;
    const double readMs = fw::bench::BestMilliseconds(5, [&] {
        for (int i = 0; i <= lines.lineCount(); ++i)
            checksum += lines.lineText(i).size();
    });
    bool ok = true;
    const double parseMs = fw::bench::BestMilliseconds(5, [&] { ok = list.ParseAllLines(QString(), false) && ok; });
    const double showUs = fw::bench::BestMilliseconds(200, [&] { list.ShowLineInfo(lines.lineCount() - 1); }) * 1000.0;

    const double ratio = parseMs / readMs;
    std::printf("lines                      %d\n", LineCount);
    std::printf("read lines                 %.1f ms\n", readMs);
    std::printf("ParseAllLines              %.1f ms  (%zu entries, ok=%d)\n", parseMs,
        static_cast<size_t>(list.ParsedLines.size()), ok);
    std::printf("parse/read ratio           %.2f  target <= 2.00  %s\n", ratio, ratio <= 2.0 ? "PASS" : "FAIL");
    std::printf(
        "ShowLineInfo(last line)    %.1f us  target < 1000 us  %s\n", showUs, showUs < 1000.0 ? "PASS" : "FAIL");
    std::printf("(checksum %lld)\n", static_cast<long long>(checksum));
    return ratio <= 2.0 && showUs < 1000.0 && ok ? 0 : 1;
}
