#pragma once

#include <QRect>
#include <QSize>

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

// The smallest outer size at which the arranged controls lie inside the window's surface, none covers
// another and the editor keeps room for a few lines. The surface is the outer size less extraWidth
// across and less extraHeight and the status bar down.
QSize MinimumOuterSize(const MainWindowLayoutInput& in, int extraWidth, int extraHeight);

} // namespace fw
