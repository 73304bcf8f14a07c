#pragma once

#include <QString>

namespace fw {

// Every box the program shows goes through here, so tests can answer them without a window.
class MessageBoxes {
public:
    enum class Answer { Yes, No, Cancel };
    virtual ~MessageBoxes() = default;
    virtual void errorBox(const QString& text) = 0;
    // A box with only an OK button and no icon.
    virtual void plainBox(const QString& text) = 0;
    virtual void warningBox(const QString& text) = 0;
    virtual void informationBox(const QString& text) = 0;
    virtual Answer askYesNoCancel(const QString& text) = 0;
};

} // namespace fw
