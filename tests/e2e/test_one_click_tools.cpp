// The one-click tools with real input: a colour picked from the desktop
// fills a drawn rectangle and shows in the palette's swatch; the magnifier
// enlarges and a right click brings the board back.
#include <gtest/gtest.h>

#include "tests/e2e/board_session.h"

namespace {

using e2e::Rect;

constexpr int kMagnifyImage = 7, kFillImage = 8, kRectImage = 14, kPickColorImage = 18;

class OneClickTools : public e2e::BoardSession {
 protected:
  void ShowBars() {
    Move(900, 700);
    x_->Xdotool({"click", "3"});
    ASSERT_TRUE(e2e::WaitUntil([&] { return BarsShown(); }));
  }
};

TEST_F(OneClickTools, APickedDesktopColourFillsADrawnRectangleAndTheMagnifierGoesAndComesBack) {
  const Picture pattern = e2e::MakePattern(0, 1024, 768);
  const COLORREF picked = pattern.At(700, 600);
  ASSERT_TRUE(picked != RGB(255, 255, 255) && picked != RGB(0, 0, 0));

  ASSERT_TRUE(ClickToolBarImage(kRectImage));
  Drag(300, 300, 500, 450);
  ASSERT_TRUE(e2e::WaitUntil([&] { return x_->Screenshot().At(400, 380) == RGB(255, 255, 255); }))
      << "no white rectangle";
  ASSERT_NO_FATAL_FAILURE(ShowBars());

  ASSERT_TRUE(ClickToolBarImage(kPickColorImage));
  Click(700, 600);
  // The foreground swatch, 37 to 52 by 6 to 21 dialog units of 1.5 pixels
  // inside the palette's border and caption.
  const auto palette = x_->FindWindow(e2e::kPaletteTitle);
  ASSERT_TRUE(palette);
  EXPECT_TRUE(e2e::WaitUntil([&] {
    return x_->Screenshot().At(palette->rect.x + 2 + 44 * 3 / 2,
                               palette->rect.y + 17 + 13 * 3 / 2) == picked;
  })) << "the swatch does not show the picked colour";

  ASSERT_TRUE(ClickToolBarImage(kFillImage));
  Click(400, 380);
  ASSERT_TRUE(e2e::WaitUntil([&] {
    const Picture shot = x_->Screenshot();
    return shot.At(400, 380) == picked && shot.At(305, 305) == picked &&
           shot.At(495, 445) == picked;
  })) << "the rectangle is not filled with the picked colour";
  const Picture filled = x_->Screenshot();
  EXPECT_EQ(filled.At(290, 290), pattern.At(290, 290)) << "the fill left the rectangle";
  EXPECT_EQ(filled.At(300, 380), RGB(0, 0, 0)) << "the outline is kept";

  ASSERT_NO_FATAL_FAILURE(ShowBars());
  ASSERT_TRUE(ClickToolBarImage(kMagnifyImage));
  ASSERT_TRUE(e2e::WaitUntil([&] { return !BarsShown(); }));
  // The part of 400 x 300 around the click, each pixel 2.56 times larger.
  Click(512, 384);
  const Picture enlarged = MakePicture(1024, 768, [&](int x, int y) {
    return filled.At(312 + (2 * x + 1) * 400 / 2048, 234 + (2 * y + 1) * 300 / 1536);
  });
  std::string where;
  EXPECT_TRUE(e2e::WaitUntil([&] {
    return CountDifferences(x_->Screenshot(), enlarged, &where) == 0;
  })) << where;

  x_->Xdotool({"click", "3"});
  ASSERT_TRUE(e2e::WaitUntil([&] { return BarsShown(); }));
  EXPECT_TRUE(e2e::WaitUntil([&] {
    const std::vector<Rect> bars = ShownBars();
    return CountDifferences(e2e::Masked(x_->Screenshot(), bars), e2e::Masked(filled, bars),
                            &where) == 0;
  })) << where;
}

}  // namespace
