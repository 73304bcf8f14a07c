#pragma once

#include <QLabel>
#include <QList>

class QWidget;

namespace fw {

// A label whose every new text assistive tools hear at once, as a status-bar panel's should be.
// setText hides QLabel's own, so it is the one called through this type.
class AnnouncingLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    void setText(const QString& text);
};

// What every window of the program does for assistive tools, in one place.
namespace Accessibility {

    // Makes the accessible press and toggle actions of every button run what a click runs (the
    // program's handlers listen to clicks, which a plain toggle never sends). Call before the first
    // window is built; later calls do nothing.
    void Install();

    // Gives every control of the window that has a hint (status tip) that hint as its accessible
    // description, unless its description already says it.
    void DescribeHints(QWidget* window);

    // Tab and Shift+Tab visit the widgets in this order.
    void ChainTabOrder(const QList<QWidget*>& widgets);

} // namespace Accessibility

} // namespace fw
