// The font bar with real input: the text tool shows it, the pen hides it.
#include "tests/e2e/board_session.h"

namespace {
using FontBar = e2e::BoardSession;

constexpr int kPenImage = 10, kTextImage = 19;

TEST_F(FontBar, TheTextToolShowsTheBarWithAChosenFaceAndThePenHidesIt) {
  ASSERT_TRUE(ClickToolBarImage(kTextImage));
  ASSERT_TRUE(x_->WaitViewable(e2e::kFontBarTitle)) << "no font bar with the text tool";
  const auto bar = x_->FindWindow(e2e::kFontBarTitle);
  // The face field inside its frame, below the caption, right of the borders.
  const e2e::Rect field{bar->rect.x + 12, bar->rect.y + 21, 100, 12};
  int ink = 0;  // smoothed text on white: any clearly darker pixel
  EXPECT_TRUE(e2e::WaitUntil([&] {
    const Picture shot = e2e::Crop(x_->Screenshot(), field);
    ink = 0;
    for (COLORREF c : shot.pixels)
      ink += GetRValue(c) < 160 && GetGValue(c) < 160 && GetBValue(c) < 160;
    return ink >= 20;
  })) << "no face shown, dark pixels: "
      << ink;

  ASSERT_TRUE(ClickToolBarImage(kPenImage));
  EXPECT_TRUE(x_->WaitNotViewable(e2e::kFontBarTitle)) << "the pen kept the font bar";
}

}  // namespace
