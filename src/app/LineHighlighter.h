#pragma once

#include "Tuning.h"

#include <QSyntaxHighlighter>

namespace fw {

// Comments in a muted colour, count-off lines set apart, and lines in error underlined with a
// red wave, so a user sees at a glance which lines will stop playback.
class LineHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit LineHighlighter(QTextDocument* document);

    // Lines are checked against the list's tuning; a change marks every line again.
    void setTuning(const Tuning& tuning);
    const Tuning& tuning() const { return m_tuning; }

protected:
    void highlightBlock(const QString& text) override;

private:
    Tuning m_tuning;
};

} // namespace fw
