// Opening a long chord list with auto-correction on, against loading the same text with it off.
#include "BestOfRuns.h"
#include "ChordEditor.h"
#include "MainWindow.h"
#include "NullBackend.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <cstdio>

namespace {

QByteArray MakeChordList(int lines)
{
    // Lines as a user types them: names that do not match their notes and no blanks after commas.
    const char* samples[] = { "x,3,x,x,x,Q", "foo,3,5,x,x,.E", "R,x,x,x,x,H", "* a comment line", "",
        "A#/Bb, x, 1, x, x, /S", "Low, 0, x, x, x, F" };
    QByteArray text;
    for (int i = 0; i < lines; ++i)
        text += QByteArray(samples[i % 7]) + "\r\n";
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr int LineCount = 100000;
    QTemporaryDir dir;
    const QString path = dir.filePath("long.bss");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(MakeChordList(LineCount)) < 0)
        return 2;
    file.close();

    fw::TfrmMain window(fw::Settings {}, std::make_unique<fw::NullBackend>());
    window.settings().AutoCorrect = false;
    const double plainMs = fw::bench::BestMilliseconds(3, [&] { window.LoadChordList(path); });
    window.settings().AutoCorrect = true;
    const double correctedMs = fw::bench::BestMilliseconds(3, [&] { window.LoadChordList(path); });
    const bool renamed = window.RichEdit1->document()->findBlockByNumber(0).text() == QLatin1String("G, 3, x, x, x, Q");

    const double ratio = correctedMs / plainMs;
    std::printf("lines                         %d\n", LineCount);
    std::printf("open, auto-correction off     %.1f ms\n", plainMs);
    std::printf("open, auto-correction on      %.1f ms  (renamed=%d)\n", correctedMs, renamed);
    std::printf("on/off ratio                  %.2f  target <= 3.00  %s\n", ratio, ratio <= 3.0 ? "PASS" : "FAIL");
    return ratio <= 3.0 && renamed ? 0 : 1;
}
