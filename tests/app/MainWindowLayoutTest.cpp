#include "MainWindowLayout.h"

#include <gtest/gtest.h>

using namespace fw;

namespace {

MainWindowLayoutInput DesignAt(int width, int height)
{
    return { width, height, 19, QRect(3, 16, 488, 164), QRect(493, 180, 114, 179), QRect(272, 186, 215, 177),
        QRect(494, 4, 111, 173), QRect(6, 186, 261, 159) };
}

} // namespace

TEST(MainWindowLayout, DesignSizeKeepsTheEditorAndCentresThePanels)
{
    const MainWindowLayout out = ArrangeMainWindow(DesignAt(621, 432));
    EXPECT_EQ(out.playControls.left(), 495);
    EXPECT_EQ(out.editor.width(), 495 - 272 - 7);
    EXPECT_EQ(out.editor.height(), 432 - 19 - 186 - 50);
    EXPECT_EQ(out.playButtons.left(), 491 + (621 - 491) / 2 - 111 / 2);
    EXPECT_EQ(out.editControls.top(), 180 + (432 - 64 - 180) / 2 - 159 / 2);
    EXPECT_EQ(out.playControls.top(), 180 + (432 - 70 - 180) / 2 - 179 / 2);
}

TEST(MainWindowLayout, ResizingKeepsPlayControlsTwelvePixelsFromTheRightAndStretchesTheEditor)
{
    const MainWindowLayout out = ArrangeMainWindow(DesignAt(1000, 700));
    EXPECT_EQ(1000 - (out.playControls.left() + out.playControls.width()), 12);
    EXPECT_EQ(out.editor.left() + out.editor.width() + 7, out.playControls.left());
    EXPECT_EQ(out.editor.top() + out.editor.height(), 700 - 19 - 50);
    EXPECT_EQ(out.editor.left(), 272);
}
