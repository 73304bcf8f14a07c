#pragma once

#include <QRect>

namespace fw {

// Where the resizable controls of the main window go, from the window's outer size. All halvings
// drop the remainder.
struct MainWindowLayout {
    QRect playControls;
    QRect editor;
    QRect playButtons;
    QRect editControls;
};

struct MainWindowLayoutInput {
    int outerWidth;
    int outerHeight;
    int statusBarHeight;
    QRect neckFrame; // shpNeckRect
    QRect playControls;
    QRect editor;
    QRect playButtons;
    QRect editControls;
};

MainWindowLayout ArrangeMainWindow(const MainWindowLayoutInput& in);

} // namespace fw
