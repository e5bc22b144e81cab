// The background button with real clicks. Nothing drawn: no question, the
// board turns white, then black, and the bars come back. Then a red line on
// the black board, kept through the other three modes by answering No, shows
// only over the captured screen replayed; a lesson saved in each mode opens
// to that mode's background with the line over it.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>

#include "tests/e2e/board_session.h"

namespace {

constexpr int kBackgroundImage = 4;  // the background cycle's button image

using BackgroundCycle = e2e::BoardSession;

TEST_F(BackgroundCycle, WhiteAndBlackUnaskedThenALineKeptThroughEveryModeAndSavedInEach) {
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

  ClickPalette(40, 34);  // the red cell
  ASSERT_TRUE(ClickToolBarImage(e2e::kLineImage));
  Drag(200, 600, 800, 300);
  Picture line;
  ASSERT_TRUE(e2e::WaitUntil([&] {
    line = x_->Screenshot();
    return !BarsShown() && line.At(500, 450) == RGB(255, 0, 0);
  })) << "no red line";
  e2e::WaitUntil(
      [&] { return CountDifferences(std::exchange(line, x_->Screenshot()), line) == 0; });
  const Picture pattern = e2e::MakePattern(0, 1024, 768);
  constexpr COLORREF kDesktop = 0xFFFFFFFF;  // no colour: the captured desktop
  // The board over the desktop, white or black, with or without the line.
  auto over = [&](COLORREF background, bool withLine) {
    return MakePicture(1024, 768, [&](int x, int y) {
      if (withLine && line.At(x, y) != 0) return line.At(x, y);
      return background == kDesktop ? pattern.At(x, y) : background;
    });
  };
  auto shows = [&](const Picture& want) {
    return e2e::WaitUntil([&] {
      const auto bars = ShownBars();
      return CountDifferences(e2e::Masked(x_->Screenshot(), bars), e2e::Masked(want, bars)) == 0;
    });
  };
  // Modes 2, 3, 0, 1: the background and whether the cycle shows the line.
  const std::pair<COLORREF, bool> modes[] = {
      {RGB(0, 0, 0), true}, {kDesktop, true}, {kDesktop, false}, {RGB(255, 255, 255), false}};
  for (int m = 0; m < 4; ++m) {
    const std::string mode = std::to_string((m + 2) % 4);
    if (m > 0) {
      ShowBarsAgain();
      ASSERT_TRUE(ClickToolBarImage(kBackgroundImage));
      ASSERT_TRUE(TypeInto("提示!", {"n"})) << "no question";
      ASSERT_TRUE(x_->WaitNotViewable("提示!"));
      EXPECT_TRUE(shows(over(modes[m].first, modes[m].second))) << "cycle to mode " << mode;
    }
    const std::string path = e2e::ArtifactDir() + "/mode" + mode + ".zsy";
    std::remove(path.c_str());
    x_->Xdotool({"key", "ctrl+s"});
    ASSERT_TRUE(TypeInto("把当前操作保存为数据文件", {path, "@Return"})) << "no save dialog";
    ASSERT_TRUE(x_->WaitNotViewable("把当前操作保存为数据文件"));
    x_->Xdotool({"key", "ctrl+o"});
    ASSERT_TRUE(TypeInto("打开", {path, "@Return"})) << "no open dialog";
    ASSERT_TRUE(x_->WaitNotViewable("打开"));
    EXPECT_TRUE(shows(over(modes[m].first, true))) << "opened in mode " << mode;
  }
}

}  // namespace
