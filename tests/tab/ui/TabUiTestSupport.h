#pragma once

#include "../TabTestSupport.h"
#include "SaveFileDialog.h"
#include "TabWindows.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QSet>

namespace fw::test {

struct FakeSaveDialog : SaveFileDialog {
    QList<SaveDialogRequest> requests;
    QString answer;
    QString getSaveFileName(QWidget*, const SaveDialogRequest& request) override
    {
        requests << request;
        return answer;
    }
};

// Picks "print to file" for the given PDF, as a user would in the platform dialog.
struct PdfPrintDialog : PrintDialog {
    QString fileName;
    QPageSize pageSize { QPageSize::A4 };
    int shown = 0;
    bool choosePrinter(QWidget*, QPrinter& printer) override
    {
        ++shown;
        if (fileName.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(fileName);
        printer.setPageSize(pageSize);
        return true;
    }
};

// Every character of the box's text is as wide as a dash in the font the box draws with, so tab
// lines stay in columns whatever fonts are installed.
inline void ExpectColumnsLineUp(const QPlainTextEdit& box)
{
    const QFontMetricsF metrics(box.font());
    const QString text = box.toPlainText();
    ASSERT_FALSE(text.isEmpty()) << box.objectName().toStdString();
    const qreal dash = metrics.horizontalAdvance(QStringLiteral("-"));
    ASSERT_GT(dash, 0.0);
    QSet<QChar> checked;
    for (const QChar c : text) {
        if (c == u'\n' || checked.contains(c))
            continue;
        checked.insert(c);
        EXPECT_DOUBLE_EQ(metrics.horizontalAdvance(QString(c)), dash)
            << box.objectName().toStdString() << ": '" << QString(c).toStdString() << "' in "
            << QFontInfo(box.font()).family().toStdString();
    }
}

// bars bars of two notes each, separated by blank lines.
inline QStringList Bars(int bars, int columnsPerBar = 2)
{
    QStringList lines;
    for (int bar = 0; bar < bars; ++bar) {
        for (int column = 0; column < columnsPerBar; ++column)
            lines << FretLine(6 - column % 4, (bar + column) % 12);
        lines << QString();
    }
    return lines;
}

inline TabWindowInputs Inputs(const QStringList& lines, int mode, bool prompt = false)
{
    TabWindowInputs inputs;
    inputs.TabMode = mode;
    inputs.ParsedLines = ParseEveryLine(lines);
    inputs.EditorLines = lines;
    inputs.DocumentFileName = QStringLiteral("/songs/groove.bss");
    inputs.TabPrompt = prompt;
    return inputs;
}

} // namespace fw::test
