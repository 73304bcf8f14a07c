#pragma once

#include "../TabTestSupport.h"
#include "SaveFileDialog.h"
#include "TabWindows.h"

#include <QPrinter>

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
    int shown = 0;
    bool choosePrinter(QWidget*, QPrinter& printer) override
    {
        ++shown;
        if (fileName.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(fileName);
        return true;
    }
};

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
