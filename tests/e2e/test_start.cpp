// The program's start, its windows and the ways it ends and comes back,
// driven through a real X server.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/e2e/board_session.h"

namespace {

using e2e::kFontBarTitle;
using e2e::kFrameTitle;
using e2e::kPaletteTitle;
using e2e::kToolsBarTitle;
using e2e::Rect;

const char kClassroomTitle[] = "Corvale多媒体网络教室";
const char kTempExitCaption[] = "请按Alt+1激活";

// Screen width and height.
class Start : public e2e::Session<::testing::TestWithParam<std::pair<int, int>>> {
 protected:
  void SetUp() override { Open(GetParam().first, GetParam().second); }

  // Waits until everything outside the bars shows pattern variant v exactly;
  // the count of differing pixels at the end, the first one in `where_`.
  int BoardDifferencesFrom(int variant) {
    const Picture want = e2e::MakePattern(variant, x_->width(), x_->height());
    int diff = -1;
    e2e::WaitUntil([&] {
      const std::vector<Rect> bars = ShownBars();
      diff =
          CountDifferences(e2e::Masked(x_->Screenshot(), bars), e2e::Masked(want, bars), &where_);
      return diff == 0;
    });
    return diff;
  }

  // Opens the temporary-exit question and answers it with key.
  void TemporaryExit(const std::string& key) {
    ASSERT_EQ(x_->RunPointer({"--command", "32832"}), 0);
    ASSERT_TRUE(x_->WaitViewable(kTempExitCaption)) << "the question never appeared";
    const auto box = x_->FindWindow(kTempExitCaption);
    Move(box->rect.x + box->rect.w / 2, box->rect.y + box->rect.h / 2);
    ASSERT_EQ(x_->Xdotool({"key", key}), 0);
    ASSERT_TRUE(x_->WaitNotViewable(kTempExitCaption));
    ASSERT_TRUE(x_->WaitNotViewable(kFrameTitle)) << "the frame stayed on the screen";
    ParkPointer();
  }

  std::string where_;
};

TEST_P(Start, TheFrameCoversTheScreenWithTheCapturedPictureTakesCommandsAndF12EndsIt) {
  EXPECT_EQ(x_->RunPointer({"--command", "32822"}), 1) << "no board runs yet";
  // The classroom program's window does not stop the start.
  ownWindows_.push_back(x_->CreateTitledWindow(kClassroomTitle));
  StartBoard();
  const auto frame = x_->FindWindow(kFrameTitle);
  EXPECT_EQ(std::tuple(frame->rect.x, frame->rect.y, frame->rect.w, frame->rect.h),
            std::tuple(0, 0, x_->width(), x_->height()));

  EXPECT_EQ(BoardDifferencesFrom(0), 0) << where_;
  // The board paints its own copy: what the desktop shows beneath it now no
  // longer matters.
  x_->ShowPattern(1);
  EXPECT_EQ(BoardDifferencesFrom(0), 0) << where_;

  EXPECT_EQ(x_->RunPointer({"--command", "32822"}), 0);
  EXPECT_EQ(x_->FindWindows(kFrameTitle).size(), 1u);
  ASSERT_TRUE(pointer_.Running());
  ParkPointer();
  ASSERT_EQ(x_->Xdotool({"key", "F12"}), 0);
  EXPECT_EQ(pointer_.Wait(), 0);
  EXPECT_TRUE(x_->FindWindows(kFrameTitle).empty());
}

// The button face: the colour of most of the bar.
COLORREF MostFrequentColour(const Picture& p) {
  std::map<COLORREF, int> count;
  for (COLORREF c : p.pixels) ++count[c];
  return std::max_element(count.begin(), count.end(),
                          [](const auto& a, const auto& b) { return a.second < b.second; })
      ->first;
}

TEST_P(Start, TheToolBarFloatsAtItsPlaceWithSixRowsOfFourButtonsAndThePaletteHangsBelowIt) {
  StartBoard();
  const auto tools = x_->FindWindow(kToolsBarTitle), palette = x_->FindWindow(kPaletteTitle);
  EXPECT_EQ(std::tuple(tools->rect.x, tools->rect.y, palette->rect.x, palette->rect.y),
            std::tuple(10, 50, 10 - 2, tools->rect.bottom() - 17));
  EXPECT_FALSE(x_->Viewable(kFontBarTitle)) << "the font bar is shown at start";

  // The palette hangs over the tool bar's empty lower strip, in front of it:
  // its caption, not the strip's face, shows there.
  const Picture screen = x_->Screenshot();
  EXPECT_NE(screen.At(palette->rect.x + 4, palette->rect.y + 3),
            screen.At(tools->rect.x + 4, palette->rect.y - 2));
  // Every button but row six is enabled.
  std::vector<int> enabled(20);
  std::iota(enabled.begin(), enabled.end(), 0);
  Picture whole;
  std::map<int, std::pair<int, int>> at;
  e2e::WaitUntil([&] {
    whole = e2e::Crop(x_->Screenshot(), tools->rect);
    at = e2e::FindToolBarImages(whole, 20);
    return std::all_of(enabled.begin(), enabled.end(), [&](int i) { return at.count(i) > 0; });
  });
  // A button drawn greyed (disabled) does not show its image either.
  for (int i : enabled) ASSERT_TRUE(at.count(i)) << "button " << i + 1 << " not shown enabled";
  const int pitchY = at.at(8).second - at.at(0).second;
  EXPECT_GT(pitchY / 2, 22) << "no separator gap between rows";
  for (int i : enabled) {
    const int row = i / 4, col = i % 4;
    // A checked button may draw its image one pixel lower and further right.
    EXPECT_NEAR(at.at(i).first, at.at(0).first + 23 * col, 1) << "button " << i;
    EXPECT_NEAR(at.at(i).second, at.at(0).second + pitchY / 2 * row, 1) << "button " << i;
  }

  // Row six (undo, redo, clear all, replay: disabled while nothing is drawn)
  // is there in grey.
  const COLORREF face = MostFrequentColour(whole);
  const int row6 = at.at(0).second + 5 * (pitchY / 2);
  ASSERT_LE(row6 + 15, whole.height) << "the window has no room for a sixth row";
  for (int col = 0; col < 4; ++col) {
    int drawn = 0;
    for (int y = row6; y < row6 + 15; ++y)
      for (int x = at.at(0).first + 23 * col; x < at.at(0).first + 23 * col + 16; ++x)
        drawn += whole.At(x, y) != face;
    EXPECT_GE(drawn, 10) << "button " << 21 + col << " of row six is blank";
  }
}

TEST_P(Start, AnyWindowTitledLikeTheFrameMakesTheStartEndSilently) {
  ownWindows_.push_back(x_->CreateTitledWindow(kFrameTitle));
  ASSERT_TRUE(x_->StartPointer(&pointer_));
  bool showedSomething = false;
  EXPECT_TRUE(e2e::WaitUntil([&] {
    showedSomething |=
        !x_->FindWindows(kToolsBarTitle).empty() || x_->FindWindows(kFrameTitle).size() > 1;
    return !pointer_.Running();
  }));
  EXPECT_EQ(pointer_.Wait(0), 0);
  EXPECT_FALSE(showedSomething);
  EXPECT_EQ(BoardDifferencesFrom(0), 0) << where_;
}

TEST_P(Start, AfterATemporaryExitAlt1ShowsTheKeptPictureOrCapturesTheScreenAnew) {
  StartBoard();
  ASSERT_EQ(BoardDifferencesFrom(0), 0) << where_;
  TemporaryExit("y");
  x_->ShowPattern(1);
  ASSERT_EQ(x_->Xdotool({"key", "alt+1"}), 0);
  ASSERT_TRUE(x_->WaitViewable(kFrameTitle)) << "Alt+1 did not bring the board back";
  EXPECT_TRUE(e2e::WaitUntil([&] { return BarsShown(); })) << "the bars did not come back";
  EXPECT_EQ(BoardDifferencesFrom(0), 0) << "not the kept picture: " << where_;

  // Dropped: the bars go too, and Alt+1 captures the desktop as it is then.
  x_->ShowPattern(0);
  TemporaryExit("n");
  EXPECT_TRUE(e2e::WaitUntil([&] { return ShownBars().empty(); }));
  x_->ShowPattern(1);
  ASSERT_EQ(x_->Xdotool({"key", "alt+1"}), 0);
  ASSERT_TRUE(x_->WaitViewable(kFrameTitle)) << "Alt+1 did not bring the board back";
  EXPECT_TRUE(e2e::WaitUntil([&] { return BarsShown(); }));
  EXPECT_EQ(BoardDifferencesFrom(1), 0) << "not captured anew: " << where_;
}

INSTANTIATE_TEST_SUITE_P(Screens, Start,
                         ::testing::Values(std::pair(1024, 768), std::pair(1920, 1080)));

}  // namespace
