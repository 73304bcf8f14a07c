#include "MainWindowLayout.h"

#include <array>

namespace fw {

namespace {

    constexpr QSize MinimumEditor { 120, 60 };
    // Far beyond any screen: a layout that fits nowhere below this keeps its given size.
    constexpr int SearchLimit = 8000;

    bool Fits(const MainWindowLayoutInput& in, int extraWidth, int extraHeight)
    {
        const MainWindowLayout out = ArrangeMainWindow(in);
        const QRect surface(0, 0, in.outerWidth - extraWidth, in.outerHeight - extraHeight - in.statusBarHeight);
        const std::array<QRect, 5> parts { in.neckFrame, out.playButtons, out.editControls, out.editor,
            out.playControls };
        for (size_t i = 0; i < parts.size(); ++i) {
            if (!surface.contains(parts[i]))
                return false;
            for (size_t j = i + 1; j < parts.size(); ++j) {
                if (parts[i].intersects(parts[j]))
                    return false;
            }
        }
        return out.editor.width() >= MinimumEditor.width() && out.editor.height() >= MinimumEditor.height();
    }

} // namespace

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

QSize MinimumOuterSize(const MainWindowLayoutInput& in, int extraWidth, int extraHeight)
{
    // Each control moves with the size in one direction only, so the first width that fits at a roomy
    // height, and then the first height that fits at that width, is the smallest size.
    MainWindowLayoutInput probe = in;
    probe.outerHeight = SearchLimit;
    for (probe.outerWidth = 0; probe.outerWidth < SearchLimit && !Fits(probe, extraWidth, extraHeight);)
        ++probe.outerWidth;
    for (probe.outerHeight = 0; probe.outerHeight < SearchLimit && !Fits(probe, extraWidth, extraHeight);)
        ++probe.outerHeight;
    if (probe.outerWidth >= SearchLimit || probe.outerHeight >= SearchLimit)
        return { in.outerWidth, in.outerHeight };
    return { probe.outerWidth, probe.outerHeight };
}

} // namespace fw
