// Drawing with real input: the bars toggled by right clicks, a colour and a
// width clicked on the palette and the line tool on the tool bar, a drag on
// the board, and the lesson saved with Ctrl+S, undone with Ctrl+Z and
// opened again with Ctrl+O through the real file dialogs; then drawn again
// by "pointer render" and listed by "pointer info" with no display at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/e2e/board_session.h"

namespace {

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
  EXPECT_TRUE(e2e::WaitUntil([&] {
    std::error_code noFile;
    const auto bytes = std::filesystem::file_size(path, noFile);
    return !noFile && bytes > 0 && bytes % 24 == 0;
  })) << "no lesson under the name typed";

  Move(700, 600);
  x_->Xdotool({"key", "ctrl+z"});
  EXPECT_TRUE(e2e::WaitUntil([&] { return changed() == 0; })) << "undo left the line";

  ASSERT_TRUE(OpenLesson(path)) << "no open dialog";
  std::string where;
  EXPECT_TRUE(e2e::WaitUntil([&] {
    return CountDifferences(x_->Screenshot(), drawn, &where) == 0;
  })) << where;
}

}  // namespace
