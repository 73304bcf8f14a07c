#pragma once

#include "MessageBoxes.h"

#include <QStringList>

namespace fw {

// Records every box instead of showing it; questions get the prepared answer.
struct FakeMessageBoxes : MessageBoxes {
    QStringList errors;
    QStringList plain;
    QStringList warnings;
    QStringList information;
    QStringList questions;
    Answer answer = Answer::Cancel;

    void errorBox(const QString& text) override { errors << text; }
    void plainBox(const QString& text) override { plain << text; }
    void warningBox(const QString& text) override { warnings << text; }
    void informationBox(const QString& text) override { information << text; }
    Answer askYesNoCancel(const QString& text) override
    {
        questions << text;
        return answer;
    }
    QStringList all() const { return errors + plain + warnings + information + questions; }
};

} // namespace fw
