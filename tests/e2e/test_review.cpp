// A teacher reviews a drawing in the replay dialog, or walks a class
// through a prepared lesson in it step by step.
#include <X11/Xlib.h>
// Xlib's None and Bool would clash with the test framework's own.
#undef None
#undef Bool

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "records/draw_record.h"
#include "tests/e2e/board_session.h"

namespace {

// A teacher reviews a drawing: two lines, the replay dialog opened from the
// tool bar, played to the end with the real pointer travelling, closed. The
// review ended from outside it is the dialog's and the frame's own test.
using e2e::Rect;
using Point = std::pair<int, int>;

class Replay : public e2e::BoardSession {
 protected:
  Point Pointer() {
    Display* d = XOpenDisplay(x_->name().c_str());
    Window root, child;
    int x = -1, y = -1, wx, wy;
    unsigned mask;
    if (d) XQueryPointer(d, DefaultRootWindow(d), &root, &child, &x, &y, &wx, &wy, &mask);
    if (d) XCloseDisplay(d);
    return {x, y};
  }
  // The menu bar's items in the dialog's upper part, above the slider: runs
  // of columns with text, more than 12 pixels apart.
  std::vector<Point> MenuItems(const Rect& r) {
    const Picture p = e2e::Crop(x_->Screenshot(), r);
    std::vector<Point> items;
    for (int x = 0, first = -1, last = -100; x <= p.width; ++x) {
      bool text = false;
      for (int y = 0; x < p.width && y < p.height * 2 / 5; ++y) {
        const COLORREF c = p.At(x, y);
        text |= GetRValue(c) + GetGValue(c) + GetBValue(c) < 300;
      }
      if (first >= 0 && (x == p.width || (text && x - last > 12)))
        items.push_back({r.x + (first + last) / 2, r.y + p.height / 5});
      if (text && x - last > 12) first = x;
      if (text) last = x;
    }
    return items;
  }
};

TEST_F(Replay, TwoLinesPausedByEscAfterTheFirstPlayedToTheEndAndClosedLeaveTheDrawingAsItWas) {
  ASSERT_TRUE(ClickToolBarImage(e2e::kLineImage));
  ASSERT_TRUE(DrawLine(400, 300, 600, 400) && DrawLine(300, 500, 500, 450));
  ShowBarsAgain();  // the drawing hid them
  ASSERT_TRUE(BarsShown());
  std::vector<Rect> over = {x_->FindWindow(e2e::kToolsBarTitle)->rect,
                            x_->FindWindow(e2e::kPaletteTitle)->rect};
  const Picture before = Settled();

  ASSERT_TRUE(ClickToolBarImage(23));  // the replay button
  ASSERT_TRUE(x_->WaitViewable(e2e::kReviewTitle));
  over.push_back(x_->FindWindow(e2e::kReviewTitle)->rect);
  // Only the board is compared: the bars and the dialog come and go over it.
  auto board = [&](const Picture& p) { return e2e::Masked(p, over); };
  std::vector<Point> items;
  ASSERT_TRUE(e2e::WaitUntil([&] { return (items = MenuItems(over.back())).size() == 5; }));
  Click(items[1].first, items[1].second);
  // Esc half a second into the first line: the play stops once it is drawn,
  // before the pointer goes on to the second.
  ASSERT_TRUE(e2e::WaitUntil([&] { return Pointer() == Point{400, 300}; }));
  e2e::WaitUntil([] { return false; }, 500);
  x_->Xdotool({"key", "Escape"});
  bool second = false;
  auto watch = [&] { return (second |= Pointer() == Point{300, 500}), Pointer() == items[1]; };
  ASSERT_TRUE(e2e::WaitUntil(watch, 3000 + e2e::kWaitCapMs));
  e2e::WaitUntil([&] { return watch(), second; }, 2500);
  EXPECT_FALSE(second || BlackAround(x_->Screenshot(), 400, 475)) << "a line played after Esc";
  Click(items[1].first, items[1].second);
  ASSERT_TRUE(e2e::WaitUntil(
      [&] {
        watch();
        return Pointer() == items[1] &&
               CountDifferences(board(x_->Screenshot()), board(before)) == 0;
      },
      3000 + e2e::kWaitCapMs))
      << "the play did not end with the drawing shown and the pointer back";
  EXPECT_TRUE(second);
  Click(items[4].first, items[3].second);
  EXPECT_TRUE(x_->WaitNotViewable(e2e::kReviewTitle));
  EXPECT_TRUE(x_->WaitViewable(e2e::kToolsBarTitle));
  EXPECT_TRUE(BoardShows(before)) << "the board does not show the drawing after the review";
}

// A teacher walks a class through a prepared lesson with a presenter
// clicker: `pointer --step LESSON.zsy`, then Page Down, Space, the blank key,
// Left and Page Up, with the pointer on the dialog and then away. Where each
// key leads is tested with the dialog itself.
class Step : public e2e::ServerSession {
 protected:
  // Presses the key, if any, and returns which of the three gestures the
  // screen shows once it stops changing.
  std::vector<bool> Press(const std::string& key = "") {
    if (!key.empty()) x_->Xdotool({"key", key});
    e2e::WaitUntil([] { return false; }, 200);
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

  const Picture pattern_ = e2e::MakePattern(0, 1024, 768);
};

using Shows = std::vector<bool>;

TEST_F(Step, ALessonOpenedForSteppingGoesGestureByGestureWithTheClickerKeys) {
  // A line, a pen stroke of two segments after a pen change, a rectangle.
  const std::string path = e2e::ArtifactDir() + "/第一课.zsy";
  const DrawRecord records[] = {{op::kLine, {}, 600, 300, 400, 300, 0},
                                {op::kPen, {}, 0, 0, PS_SOLID, 4, 0},
                                {op::kPenSegment, {}, 250, 530, 200, 500, 0},
                                {op::kPenSegment, {}, 300, 500, 250, 530, 0},
                                {op::kRect, {}, 850, 600, 700, 450, 0}};
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(records), sizeof records);
  ASSERT_TRUE(x_->StartPointer(&pointer_, {"--step", path}));
  ASSERT_TRUE(x_->WaitViewable(e2e::kReviewTitle)) << "no review of the lesson";
  EXPECT_FALSE(BarsShown());
  EXPECT_EQ(Press(), Shows({false, false, false})) << "the first step is the bare background";

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
