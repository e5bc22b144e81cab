// The one-click tools with real input: a colour picked from the desktop
// shows in the palette's swatch and fills a drawn rectangle.
#include <gtest/gtest.h>

#include "tests/e2e/board_session.h"

namespace {

constexpr int kFillImage = 8, kRectImage = 14, kPickColorImage = 18;

using OneClickTools = e2e::BoardSession;

TEST_F(OneClickTools, APickedDesktopColourShowsInTheSwatchAndFillsADrawnRectangle) {
  const Picture pattern = e2e::MakePattern(0, 1024, 768);
  const COLORREF picked = pattern.At(700, 600);
  ASSERT_TRUE(picked != RGB(255, 255, 255) && picked != RGB(0, 0, 0));
  ASSERT_TRUE(ClickToolBarImage(kPickColorImage));
  Click(700, 600);
  // The foreground swatch's middle: (44, 13) dialog units of 1.5 pixels.
  const auto palette = x_->FindWindow(e2e::kPaletteTitle);
  ASSERT_TRUE(palette);
  EXPECT_TRUE(e2e::WaitUntil([&] {
    return x_->Screenshot().At(palette->rect.x + 2 + 66, palette->rect.y + 17 + 19) == picked;
  })) << "the swatch does not show the picked colour";

  // A white rectangle outlined in the picked colour.
  ASSERT_TRUE(ClickToolBarImage(kRectImage));
  Drag(300, 300, 500, 450);
  ASSERT_TRUE(e2e::WaitUntil([&] { return x_->Screenshot().At(400, 380) == RGB(255, 255, 255); }));
  Move(900, 700);
  x_->Xdotool({"click", "3"});  // the press hid the bars
  ASSERT_TRUE(ClickToolBarImage(kFillImage));
  Click(400, 380);
  EXPECT_TRUE(e2e::WaitUntil([&] {
    const Picture shot = x_->Screenshot();
    return shot.At(400, 380) == picked && shot.At(305, 305) == picked &&
           shot.At(290, 290) == pattern.At(290, 290);
  })) << "the rectangle is not filled with the picked colour";
}

}  // namespace
