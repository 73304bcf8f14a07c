#include "MainWindowLayout.h"

namespace fw {

MainWindowLayout ArrangeMainWindow(const MainWindowLayoutInput& in)
{
    const int W = in.outerWidth;
    const int H = in.outerHeight;
    const int neckBottom = in.neckFrame.top() + in.neckFrame.height();
    const int neckRight = in.neckFrame.left() + in.neckFrame.width();

    MainWindowLayout out { in.playControls, in.editor, in.playButtons, in.editControls };
    out.playControls.moveLeft(W - in.playControls.width() - 12);
    out.editor.setWidth(out.playControls.left() - in.editor.left() - 7);
    out.editor.setHeight(H - in.statusBarHeight - in.editor.top() - 50);
    out.playButtons.moveLeft(neckRight + (W - neckRight) / 2 - in.playButtons.width() / 2);
    out.editControls.moveTop(neckBottom + (H - 64 - neckBottom) / 2 - in.editControls.height() / 2);
    out.playControls.moveTop(neckBottom + (H - 70 - neckBottom) / 2 - in.playControls.height() / 2);
    return out;
}

} // namespace fw
