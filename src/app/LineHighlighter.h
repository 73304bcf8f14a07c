#pragma once

#include <QSyntaxHighlighter>

namespace fw {

// Comments in a muted colour, count-off lines set apart, and lines in error underlined with a
// red wave, so a user sees at a glance which lines will stop playback.
class LineHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit LineHighlighter(QTextDocument* document);

protected:
    void highlightBlock(const QString& text) override;
};

} // namespace fw
