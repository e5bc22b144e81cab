// A teacher walks a class through a prepared lesson with a presenter
// clicker: `pointer --step LESSON.zsy`, then Page Down, Space, the blank key,
// Left and Page Up, with the pointer on the dialog and then away. Where each
// key leads is tested with the dialog itself.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "records/draw_record.h"
#include "tests/e2e/board_session.h"

namespace {

using e2e::Rect;

class Step : public e2e::Session<> {
 protected:
  void SetUp() override { ASSERT_NO_FATAL_FAILURE(Open(1024, 768)); }

  static DrawRecord Rec(char op, int f1, int f2, int f3, int f4) {
    DrawRecord r{};
    r.op = op;
    r.f1 = f1, r.f2 = f2, r.f3 = f3, r.f4 = f4;
    return r;
  }
  // A line, a pen stroke of two segments after a pen change, a rectangle.
  std::string WriteLesson() {
    const std::string path = folder_ / "第一课.zsy";
    const DrawRecord records[] = {
        Rec(op::kLine, 600, 300, 400, 300), Rec(op::kPen, 0, 0, PS_SOLID, 4),
        Rec(op::kPenSegment, 250, 530, 200, 500), Rec(op::kPenSegment, 300, 500, 250, 530),
        Rec(op::kRect, 850, 600, 700, 450)};
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(records), sizeof records);
    return path;
  }
  // Which of the three gestures the screen shows, once it stops changing.
  std::vector<bool> Shown() {
    const Rect areas[] = {{395, 290, 210, 20}, {195, 490, 110, 45}, {695, 445, 160, 160}};
    std::vector<bool> shown;
    e2e::WaitUntil([&] {
      const Picture shot = x_->Screenshot();
      std::vector<bool> now;
      for (const Rect& r : areas)
        now.push_back(CountDifferences(e2e::Crop(shot, r), e2e::Crop(pattern_, r)) > 0);
      return std::exchange(shown, now) == now;
    });
    return shown;
  }
  // Presses the key once the screen shows the last step, and returns what it
  // shows after.
  std::vector<bool> Press(const std::string& key) {
    x_->Xdotool({"key", key});
    e2e::WaitUntil([] { return false; }, 200);
    return Shown();
  }

  TempFolder folder_{"pointer-e2e-step"};
  const Picture pattern_ = e2e::MakePattern(0, 1024, 768);
};

using Shows = std::vector<bool>;

TEST_F(Step, ALessonOpenedForSteppingGoesGestureByGestureWithTheClickerKeys) {
  ASSERT_TRUE(x_->StartPointer(&pointer_, {"--step", WriteLesson()}));
  ASSERT_TRUE(x_->WaitViewable(e2e::kReviewTitle)) << "no review of the lesson";
  EXPECT_FALSE(BarsShown());
  EXPECT_EQ(Shown(), Shows({false, false, false})) << "the first step is the bare background";

  const auto dialog = x_->FindWindow(e2e::kReviewTitle);
  Move(dialog->rect.x + dialog->rect.w / 2, dialog->rect.bottom() - 5);
  EXPECT_EQ(Press("Next"), Shows({true, false, false}));
  EXPECT_EQ(Press("space"), Shows({true, true, false})) << "both segments of the stroke";
  EXPECT_EQ(Press("Next"), Shows({true, true, true}));
  EXPECT_EQ(Press("b"), Shows({false, false, false})) << "blank";
  EXPECT_EQ(Press("period"), Shows({true, true, true}));

  // With the pointer moved away onto the board the keys still steer the
  // review.
  ParkPointer();
  EXPECT_EQ(Press("Left"), Shows({true, true, false}));
  EXPECT_EQ(Press("Prior"), Shows({true, false, false}));
  EXPECT_TRUE(x_->Viewable(e2e::kReviewTitle));
}

}  // namespace
