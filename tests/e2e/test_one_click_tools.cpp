// The one-click tools with real input on the desktop picture: a picked colour
// shows in the palette's swatch, the magnifier enlarges and a right click
// goes back to the pen, which draws in the picked colour; the fill paints a
// drawn rectangle with it.
#include <gtest/gtest.h>

#include "tests/e2e/board_session.h"

namespace {

constexpr int kMagnifyImage = 7, kFillImage = 8, kRectImage = 14, kPickColorImage = 18;

using OneClickTools = e2e::BoardSession;

TEST_F(OneClickTools, PickMagnifyAndBackDrawAndFillOnTheDesktop) {
  const Picture pattern = Pattern();
  const COLORREF picked = pattern.At(700, 600);
  ASSERT_TRUE(picked != RGB(255, 255, 255) && picked != RGB(0, 0, 0));
  ASSERT_TRUE(ClickToolBarImage(kPickColorImage));
  Click(700, 600);
  const auto [swatchX, swatchY] = PaletteAt(44, 13);  // the foreground swatch's middle
  EXPECT_TRUE(e2e::WaitUntil([&] { return x_->Screenshot().At(swatchX, swatchY) == picked; }))
      << "the swatch does not show the picked colour";

  // A click at the middle enlarges the source (312, 234)-(712, 534) 2.56
  // times, each board pixel taken from the nearest source pixel.
  ASSERT_TRUE(ClickToolBarImage(kMagnifyImage));
  Click(512, 384);
  EXPECT_TRUE(e2e::WaitUntil([&] {
    const Picture shot = x_->Screenshot();
    for (int y = 0; y < 768; y += 3)
      for (int x = 0; x < 1024; x += 3) {
        bool near = false;
        for (int d = 0; d < 9; ++d)
          near |= shot.At(x, y) ==
                  pattern.At(312 + x * 400 / 1024 + d % 3 - 1, 234 + y * 300 / 768 + d / 3 - 1);
        if (!near) return false;
      }
    return true;
  })) << "the board does not show the enlarged middle";
  ShowBarsAgain();
  EXPECT_TRUE(BarsShown());
  EXPECT_TRUE(BoardShows(pattern)) << "the right click did not bring back the unenlarged picture";
  // The pen is current again.
  Drag(100, 650, 300, 650);
  EXPECT_TRUE(e2e::WaitUntil([&] {
    const Picture shot = x_->Screenshot();
    for (int x = 120; x <= 280; x += 20)
      if (shot.At(x, 649) != picked && shot.At(x, 650) != picked && shot.At(x, 651) != picked)
        return false;
    return true;
  })) << "the pen does not draw in the picked colour";

  // A white rectangle outlined in the picked colour.
  ShowBarsAgain();
  ASSERT_TRUE(ClickToolBarImage(kRectImage));
  Drag(300, 300, 500, 450);
  ASSERT_TRUE(e2e::WaitUntil([&] { return x_->Screenshot().At(400, 380) == RGB(255, 255, 255); }));
  ShowBarsAgain();
  ASSERT_TRUE(ClickToolBarImage(kFillImage));
  Click(400, 380);
  EXPECT_TRUE(e2e::WaitUntil([&] {
    const Picture shot = x_->Screenshot();
    return shot.At(400, 380) == picked && shot.At(305, 305) == picked &&
           shot.At(290, 290) == pattern.At(290, 290);
  })) << "the rectangle is not filled with the picked colour";
}

}  // namespace
