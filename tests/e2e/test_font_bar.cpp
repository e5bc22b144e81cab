// The font bar with real input: the text tool shows it with a face chosen
// from the installed ones, the pen hides it again.
#include <gtest/gtest.h>

#include "tests/e2e/board_session.h"

namespace {

constexpr int kPenImage = 10, kTextImage = 19;

using FontBar = e2e::BoardSession;

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
  })) << "the face field shows no face: "
      << ink << " dark pixels";

  ASSERT_TRUE(ClickToolBarImage(kPenImage));
  EXPECT_TRUE(x_->WaitNotViewable(e2e::kFontBarTitle)) << "the pen kept the font bar";
}

}  // namespace
