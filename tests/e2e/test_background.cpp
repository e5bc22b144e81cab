// The background button with real clicks: a red line drawn over the captured
// screen, kept through the other three modes by answering No, shows again
// only over the captured screen replayed; a lesson saved in each mode opens
// to that mode's background with the line over it. Cycling with nothing
// drawn, unasked, is tested with the board itself.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "tests/e2e/board_session.h"

namespace {

constexpr int kBackgroundImage = 4;  // the background cycle's button image

using BackgroundCycle = e2e::BoardSession;

TEST_F(BackgroundCycle, ALineKeptThroughEveryModeShowsOnlyInTheLastAndIsSavedInEach) {
  ClickPalette(40, 34);  // the red cell
  ASSERT_TRUE(ClickToolBarImage(e2e::kLineImage));
  Drag(200, 600, 800, 300);
  ASSERT_TRUE(e2e::WaitUntil([&] {
    return !BarsShown() && x_->Screenshot().At(500, 450) == RGB(255, 0, 0);
  })) << "no red line";
  const Picture line = Settled(), pattern = Pattern();
  constexpr COLORREF kDesktop = 0xFFFFFFFF;  // no colour: the captured desktop
  // The board over the desktop, white or black, with or without the line.
  auto over = [&](COLORREF background, bool withLine) {
    return MakePicture(1024, 768, [&](int x, int y) {
      if (withLine && line.At(x, y) != pattern.At(x, y)) return line.At(x, y);
      return background == kDesktop ? pattern.At(x, y) : background;
    });
  };
  // Modes 0 to 3: the background and whether the cycle shows the line.
  const std::pair<COLORREF, bool> modes[] = {
      {kDesktop, true}, {RGB(255, 255, 255), false}, {RGB(0, 0, 0), false}, {kDesktop, true}};
  for (int mode = 0; mode < 4; ++mode) {
    if (mode > 0) {
      ShowBarsAgain();
      ASSERT_TRUE(ClickToolBarImage(kBackgroundImage)) << "the button is not enabled";
      ASSERT_TRUE(TypeInto("提示!", {"n"})) << "no question";
      ASSERT_TRUE(x_->WaitNotViewable("提示!"));
      EXPECT_TRUE(BoardShows(over(modes[mode].first, modes[mode].second)))
          << "cycle to mode " << mode;
    }
    const std::string path = e2e::ArtifactDir() + "/mode" + std::to_string(mode) + ".zsy";
    ASSERT_TRUE(SaveLesson(path)) << "no save dialog";
    ASSERT_TRUE(OpenLesson(path)) << "no open dialog";
    EXPECT_TRUE(BoardShows(over(modes[mode].first, true))) << "opened in mode " << mode;
  }
}

}  // namespace
