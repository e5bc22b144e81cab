// Drawing and keeping a lesson with real input.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "tests/e2e/board_session.h"

namespace {

// Drawing with real input: the bars toggled by right clicks, a colour and a
// width clicked on the palette and the line tool on the tool bar, a drag on
// the board, and the lesson saved with Ctrl+S, undone with Ctrl+Z and
// opened again with Ctrl+O through the real file dialogs; then drawn again
// by "pointer render" and listed by "pointer info" with no display at all.
using Drawing = e2e::BoardSession;

TEST_F(Drawing, ARedLineSixThickIsUndoneAndTheSavedLessonOpensAndRendersPixelForPixel) {
  const Picture pattern = Pattern();
  const e2e::Rect around{300, 300, 600, 400};
  auto changed = [&] {
    return CountDifferences(e2e::Crop(x_->Screenshot(), around), e2e::Crop(pattern, around));
  };
  ASSERT_TRUE(BarsShown());
  Move(600, 650);
  x_->Xdotool({"click", "3"});
  EXPECT_TRUE(e2e::WaitUntil([&] { return !BarsShown(); }));
  x_->Xdotool({"click", "3"});
  EXPECT_TRUE(e2e::WaitUntil([&] { return BarsShown(); }));
  EXPECT_EQ(changed(), 0) << "the toggling touched the board";

  ClickPalette(40, 34);  // the red cell
  ClickPalette(16, 41);  // the lowest of the five widths in the pen area
  ASSERT_TRUE(ClickToolBarImage(e2e::kLineImage));
  Drag(400, 500, 700, 500);
  // Across the line, away from its ends: six red rows where the picture was.
  const COLORREF red = RGB(255, 0, 0);
  auto redRows = [&](const Picture& shot, int x) {
    int n = 0;
    for (int y = 480; y < 520; ++y) n += shot.At(x, y) == red && pattern.At(x, y) != red;
    return n;
  };
  ASSERT_TRUE(e2e::WaitUntil([&] { return redRows(x_->Screenshot(), 550) > 0; }))
      << "no red line on the board";
  // The press hides the bars; the picture once they are gone and it stays.
  ASSERT_TRUE(x_->WaitNotViewable(e2e::kToolsBarTitle) && x_->WaitNotViewable(e2e::kPaletteTitle));
  const Picture drawn = Settled();
  for (int x : {450, 550, 650}) EXPECT_EQ(redRows(drawn, x), 6) << "at x " << x;
  EXPECT_LT(changed(), 2400) << "more than the line changed";

  // A Chinese extension, which the dialog keeps as it is.
  const std::string path = e2e::ArtifactDir() + "/第1课.课件";
  ASSERT_TRUE(SaveLesson(path)) << "no save dialog";

  Move(700, 600);
  x_->Xdotool({"key", "ctrl+z"});
  EXPECT_TRUE(e2e::WaitUntil([&] { return changed() == 0; })) << "undo left the line";

  // Opened under the name typed, the lesson brings the line back.
  ASSERT_TRUE(OpenLesson(path)) << "no open dialog";
  std::string where;
  EXPECT_TRUE(BoardShows(drawn, &where)) << where;

  // "pointer render" draws it as the board opened it, over the same screen.
  const std::string screen = e2e::ArtifactDir() + "/render-screen.bmp",
                    out = e2e::ArtifactDir() + "/render.png";
  ASSERT_TRUE(e2e::SaveImage(pattern, screen));
  const e2e::Env headless = {{"DISPLAY", std::nullopt}, {"QT_QPA_PLATFORM", std::nullopt}};
  std::string said;
  ASSERT_EQ(
      x_->RunPointer({"render", path, "-o", out, "--size", "1024x768", "--background", screen},
                     headless, &said),
      0)
      << said;
  EXPECT_EQ(CountDifferences(e2e::LoadImage(out), drawn, &where), 0) << where;
  ASSERT_EQ(x_->RunPointer({"info", path}, headless, &said), 0) << said;
  EXPECT_NE(said.find("line"), std::string::npos) << said;
}

// The background button with real clicks: a red line drawn over the captured
// screen, kept through the other three modes by answering No, shows again
// only over the captured screen replayed; a lesson saved in each mode opens
// to that mode's background with the line over it. Cycling with nothing
// drawn, unasked, is tested with the board itself.
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
