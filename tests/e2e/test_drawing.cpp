// Drawing with real input: a tool chosen on the tool bar, a drag on the
// board, undo from the keyboard and the bars toggled by a right click.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/e2e/board_session.h"

namespace {

using e2e::Rect;

constexpr int kLineImage = 11;  // the line tool's button image

class Drawing : public e2e::BoardSession {
 protected:
  bool BarsShown() {
    auto tools = x_->FindWindow(e2e::kToolsBarTitle);
    auto palette = x_->FindWindow(e2e::kPaletteTitle);
    return tools && tools->viewable && palette && palette->viewable;
  }
  // Pixels of the board that differ from the known picture, around the line.
  int Changed(const Rect& r) {
    return CountDifferences(e2e::Crop(x_->Screenshot(), r),
                            e2e::Crop(e2e::MakePattern(0, 1024, 768), r));
  }
};

TEST_F(Drawing, ALineDrawnWithTheLineToolShowsAndCtrlZTakesItAway) {
  ASSERT_TRUE(ClickToolBarImage(kLineImage));
  const Rect around{380, 280, 260, 140};
  ASSERT_EQ(Changed(around), 0);
  Drag(400, 300, 600, 400);

  // A black line of width 2 from (400, 300) to (600, 400).
  ASSERT_TRUE(e2e::WaitUntil([&] { return Changed(around) > 300; })) << "no line on the board";
  const Picture shot = x_->Screenshot();
  int black = 0;
  for (int x = 410; x < 590; x += 10) {
    const int y = 300 + (x - 400) / 2;
    for (int dy = -2; dy <= 2; ++dy) black += shot.At(x, y + dy) == RGB(0, 0, 0);
  }
  EXPECT_GE(black, 18) << "the line is not black along its path";
  EXPECT_LT(Changed(around), 1200) << "more than the line changed";

  // The press hid the bars; Ctrl+Z redraws without the line and shows them.
  EXPECT_FALSE(BarsShown());
  x_->Xdotool({"key", "ctrl+z"});
  EXPECT_TRUE(e2e::WaitUntil([&] { return Changed(around) == 0; })) << "undo left the line";
  EXPECT_TRUE(e2e::WaitUntil([&] { return BarsShown(); }));
}

TEST_F(Drawing, ARightClickOnTheBoardHidesAndShowsTheBars) {
  ASSERT_TRUE(BarsShown());
  Move(600, 500);
  x_->Xdotool({"click", "3"});
  EXPECT_TRUE(e2e::WaitUntil([&] { return !BarsShown(); }));
  x_->Xdotool({"click", "3"});
  EXPECT_TRUE(e2e::WaitUntil([&] { return BarsShown(); }));
  // The board itself is untouched by the toggling.
  EXPECT_EQ(Changed(Rect{300, 300, 600, 400}), 0);
}

}  // namespace
