// A flashing rectangle with real input: it blinks on the real clock until a
// right click stops it and the board shows its picture again.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "tests/e2e/board_session.h"

namespace {

constexpr int kFlashRectImage = 6;  // the flashing rectangle's button image

using Flashing = e2e::BoardSession;
using Clock = std::chrono::steady_clock;

TEST_F(Flashing, ARectangleInvertsAndRestoresOnceASecondUntilARightClick) {
  const Picture pattern = Pattern();
  auto inverted = [&](const Picture& shot) {
    return shot.At(600, 375) == (~pattern.At(600, 375) & 0xFFFFFF);
  };
  ASSERT_TRUE(ClickToolBarImage(kFlashRectImage));
  Drag(500, 300, 700, 450);
  ASSERT_TRUE(e2e::WaitUntil([&] { return inverted(x_->Screenshot()); })) << "never inverted";

  // The inside changes state on each tick: note when, for four changes.
  std::vector<Clock::time_point> changes;
  bool state = true;
  e2e::WaitUntil(
      [&] {
        const bool now = inverted(x_->Screenshot());
        if (now != state) state = now, changes.push_back(Clock::now());
        return changes.size() == 4;
      },
      6000);
  ASSERT_EQ(changes.size(), 4u) << "the rectangle does not keep blinking";
  for (size_t i = 1; i < changes.size(); ++i) {
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(changes[i] - changes[i - 1]).count();
    EXPECT_GT(ms, 400) << "change " << i;
    EXPECT_LT(ms, 2000) << "change " << i;
  }

  Move(600, 375);
  x_->Xdotool({"click", "3"});
  const e2e::Rect around{480, 280, 240, 190};
  auto untouched = [&] {
    return CountDifferences(e2e::Crop(x_->Screenshot(), around), e2e::Crop(pattern, around)) == 0;
  };
  ASSERT_TRUE(e2e::WaitUntil(untouched)) << "the right click left the rectangle on the board";
  // No tick comes after it.
  EXPECT_FALSE(e2e::WaitUntil([&] { return !untouched(); }, 2500));
}

}  // namespace
