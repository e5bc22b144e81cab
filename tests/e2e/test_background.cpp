// The background button with real clicks: the board turns white, then black,
// with no question while nothing is drawn, and the bars come back.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/e2e/board_session.h"

namespace {

constexpr int kBackgroundImage = 4;  // the background cycle's button image

class BackgroundCycle : public e2e::BoardSession {
 protected:
  // Every 8th pixel of the board outside the bars is `colour`.
  bool BoardIs(COLORREF colour) {
    const Picture shot = x_->Screenshot();
    const std::vector<e2e::Rect> bars = ShownBars();
    for (int y = 0; y < shot.height; y += 8)
      for (int x = 0; x < shot.width; x += 8) {
        const bool onBar = std::any_of(bars.begin(), bars.end(), [&](const e2e::Rect& r) {
          return x >= r.x && x < r.right() && y >= r.y && y < r.bottom();
        });
        if (!onBar && shot.At(x, y) != colour) return false;
      }
    return true;
  }
};

TEST_F(BackgroundCycle, TheButtonShowsAWhiteThenABlackBoardAndTheBarsAgain) {
  ASSERT_TRUE(ClickToolBarImage(kBackgroundImage)) << "the button is not enabled";
  EXPECT_TRUE(e2e::WaitUntil([&] { return BoardIs(RGB(255, 255, 255)); })) << "no white board";
  EXPECT_TRUE(e2e::WaitUntil([&] { return BarsShown(); }));
  ASSERT_TRUE(ClickToolBarImage(kBackgroundImage));
  EXPECT_TRUE(e2e::WaitUntil([&] { return BoardIs(RGB(0, 0, 0)); })) << "no black board";
  EXPECT_TRUE(e2e::WaitUntil([&] { return BarsShown(); }));
}

}  // namespace
