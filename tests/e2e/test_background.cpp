// The background button with real clicks: nothing drawn, so no question;
// the board turns white, then black, and the bars come back.
#include <gtest/gtest.h>

#include "tests/e2e/board_session.h"

namespace {

constexpr int kBackgroundImage = 4;  // the background cycle's button image

using BackgroundCycle = e2e::BoardSession;

TEST_F(BackgroundCycle, TheButtonShowsAWhiteThenABlackBoardAndTheBarsAgain) {
  for (COLORREF colour : {RGB(255, 255, 255), RGB(0, 0, 0)}) {
    ASSERT_TRUE(ClickToolBarImage(kBackgroundImage)) << "the button is not enabled";
    // Points away from the bars, in every part of the board.
    EXPECT_TRUE(e2e::WaitUntil([&] {
      const Picture s = x_->Screenshot();
      for (auto [x, y] : {std::pair{512, 384}, {1020, 3}, {1020, 764}, {3, 764}, {700, 150}})
        if (s.At(x, y) != colour) return false;
      return true;
    })) << std::hex
        << colour;
    EXPECT_TRUE(e2e::WaitUntil([&] { return BarsShown(); }));
  }
}

}  // namespace
