#pragma once

#include "Tuning.h"

#include <QSyntaxHighlighter>
#include <QTextBlock>

namespace fw {

// Comments in a muted colour, count-off lines set apart, and lines in error underlined with a
// red wave, so a user sees at a glance which lines will stop playback.
class LineHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit LineHighlighter(QTextDocument* document);

    // Lines are checked against the list's tuning and fret limit; a change marks every line again.
    void setReading(const Tuning& tuning, int fretLimit);
    const Tuning& tuning() const { return m_tuning; }
    int fretLimit() const { return m_fretLimit; }
    // The line's error as playback would report it: its own, or a mark its next note entry does not
    // complete. Empty for a good line.
    QString errorOf(const QTextBlock& block) const;

protected:
    void highlightBlock(const QString& text) override;

private:
    Tuning m_tuning;
    int m_fretLimit = FretCount;
};

} // namespace fw
