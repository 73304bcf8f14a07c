#pragma once

#include "EditorLines.h"

#include <QStringList>

namespace fw {

// An editor held in memory, for the command-line tools and for tests. Positions count one
// character for each line break, as the GUI editor does.
class StringListLines : public EditorLines {
public:
    explicit StringListLines(QStringList lines = {});

    int lineCount() const override;
    QString lineText(int index) const override;
    void replaceLine(int index, const QString& text) override;
    void insertLine(int index, const QString& text) override;
    void deleteLine(int index) override;
    int selectionStart() const override { return m_selectionStart; }
    int selectionLength() const override { return m_selectionLength; }
    void setSelection(int start, int length) override;
    int currentLine() const override;
    void selectLine(int index, bool highlight) override;
    long long revision() const override { return m_revision; }

    const QStringList& lines() const { return m_lines; }
    int lineStart(int index) const override;

private:
    QStringList m_lines;
    int m_selectionStart = 0;
    int m_selectionLength = 0;
    long long m_revision = 0;
};

} // namespace fw
