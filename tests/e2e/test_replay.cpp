// A teacher reviews a drawing: two lines, the replay dialog opened from the
// tool bar, played to the end with the real pointer travelling, closed.
#include <X11/Xlib.h>
// Xlib's None and Bool would clash with the test framework's own.
#undef None
#undef Bool

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/board_session.h"

namespace {

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

TEST_F(Replay, TwoLinesPlayedToTheEndAndClosedLeaveTheDrawingAndThePointerAsTheyWere) {
  ASSERT_TRUE(ClickToolBarImage(e2e::kLineImage));
  Drag(400, 300, 600, 400, 1);
  Drag(300, 500, 500, 450, 1);
  Move(800, 650);
  x_->Xdotool({"click", "3"});  // the drawing hid the bars
  ASSERT_TRUE(x_->WaitViewable(e2e::kPaletteTitle));
  std::vector<Rect> over = {x_->FindWindow(e2e::kToolsBarTitle)->rect,
                            x_->FindWindow(e2e::kPaletteTitle)->rect};
  // Both lines are on the screen: black across the middle of each.
  auto drawn = [](const Picture& shot) {
    for (const Point& m : {Point{500, 350}, Point{400, 475}}) {
      int black = 0;
      for (int d = -2; d <= 2; ++d) black += shot.At(m.first, m.second + d) == RGB(0, 0, 0);
      if (black == 0) return false;
    }
    return true;
  };
  Picture before;
  ASSERT_TRUE(e2e::WaitUntil([&] { return drawn(before = x_->Screenshot()); }));

  ASSERT_TRUE(ClickToolBarImage(23));  // the replay button
  const char title[] = "复习控制 - 播放时按ESC键暂停";
  ASSERT_TRUE(x_->WaitViewable(title));
  over.push_back(x_->FindWindow(title)->rect);
  // Only the board is compared: the bars and the dialog come and go over it.
  auto board = [&](const Picture& p) { return e2e::Masked(p, over); };
  std::vector<Point> items;
  ASSERT_TRUE(e2e::WaitUntil([&] { return (items = MenuItems(over.back())).size() == 4; }));
  Click(items[1].first, items[1].second);
  bool waitedAtTheLine = false;
  ASSERT_TRUE(e2e::WaitUntil(
      [&] {
        waitedAtTheLine |= Pointer() == Point{400, 300};
        return Pointer() == items[1] &&
               CountDifferences(board(x_->Screenshot()), board(before)) == 0;
      },
      2 * 3000 + e2e::kWaitCapMs))
      << "the play did not end with the drawing shown and the pointer back";
  EXPECT_TRUE(waitedAtTheLine);
  Click(items[3].first, items[3].second);
  EXPECT_TRUE(x_->WaitNotViewable(title));
  EXPECT_TRUE(x_->WaitViewable(e2e::kToolsBarTitle));
  EXPECT_TRUE(e2e::WaitUntil([&] {
    return CountDifferences(board(x_->Screenshot()), board(before)) == 0;
  })) << "the board does not show the drawing after the review";
}

}  // namespace
