// The palette with real clicks: a colour cell and a pen width, then a line
// drawn with the line tool in that colour and width.
#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "tests/e2e/board_session.h"

namespace {

constexpr int kLineImage = 11;  // the line tool's button image
constexpr COLORREF kRed = RGB(255, 0, 0);

using Palette = e2e::BoardSession;

TEST_F(Palette, ARedCellAndTheWidestWidthDrawARedLineSixPixelsThick) {
  const auto palette = x_->FindWindow(e2e::kPaletteTitle);
  ASSERT_TRUE(palette);
  // The client area starts inside the 2-pixel border, below the 17-pixel
  // caption; a dialog unit of the palette's 9-point font is 1.5 pixels.
  auto clickUnits = [&](int x, int y) {
    Click(palette->rect.x + 2 + x * 3 / 2, palette->rect.y + 17 + y * 3 / 2);
  };
  clickUnits(40, 34);  // the red cell
  clickUnits(16, 41);  // the lowest of the five widths in the pen area
  ASSERT_TRUE(ClickToolBarImage(kLineImage));
  Drag(400, 500, 700, 500);

  // Across the line, away from its ends: six red rows where the picture was.
  const Picture pattern = e2e::MakePattern(0, 1024, 768);
  auto redRows = [&](const Picture& shot, int x) {
    int n = 0;
    for (int y = 480; y < 520; ++y) n += shot.At(x, y) == kRed && pattern.At(x, y) != kRed;
    return n;
  };
  ASSERT_TRUE(e2e::WaitUntil([&] { return redRows(x_->Screenshot(), 550) > 0; }))
      << "no red line on the board";
  const Picture shot = x_->Screenshot();
  for (int x : {450, 550, 650}) EXPECT_EQ(redRows(shot, x), 6) << "at x " << x;
}

}  // namespace
