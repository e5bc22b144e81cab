// The background button with real clicks: nothing drawn, so no question;
// the board turns white, then black, and the bars come back.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/e2e/board_session.h"

namespace {

constexpr int kBackgroundImage = 4;  // the background cycle's button image

using BackgroundCycle = e2e::BoardSession;

TEST_F(BackgroundCycle, TheButtonShowsAWhiteThenABlackBoardAndTheBarsAgain) {
  // Every 8th pixel outside the bars is `colour`.
  auto boardIs = [&](COLORREF colour) {
    const Picture shot = x_->Screenshot();
    const auto bars = ShownBars();
    for (int y = 0; y < shot.height; y += 8)
      for (int x = 0; x < shot.width; x += 8)
        if (shot.At(x, y) != colour && std::none_of(bars.begin(), bars.end(), [&](auto& r) {
              return x >= r.x && x < r.right() && y >= r.y && y < r.bottom();
            }))
          return false;
    return true;
  };
  for (COLORREF colour : {RGB(255, 255, 255), RGB(0, 0, 0)}) {
    ASSERT_TRUE(ClickToolBarImage(kBackgroundImage)) << "the button is not enabled";
    EXPECT_TRUE(e2e::WaitUntil([&] { return boardIs(colour); })) << std::hex << colour;
    EXPECT_TRUE(e2e::WaitUntil([&] { return BarsShown(); }));
  }
}

}  // namespace
