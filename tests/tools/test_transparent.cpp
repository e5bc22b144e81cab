// Shapes drawn with the tools while transparent display is on and off, and
// their replay.
#include "tests/tools/tools_fixture.h"

namespace {

class TransparentDisplay : public ToolsTest {
 protected:
  static COLORREF Inverted(int x, int y) { return ~BackgroundAt(x, y) & 0xFFFFFF; }
  // Pixels of `shown` in `area` that are not `expected`.
  static int Wrong(const Picture& shown, const CRect& area, COLORREF (*expected)(int, int)) {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) n += shown.At(x, y) != expected(x, y);
    return n;
  }
};

TEST_F(TransparentDisplay, AFillOnlyRectangleInvertsItsWholeAreaAndNothingBesideIt) {
  CBoardWnd& board = Board();
  g_style.outline = 0;
  board.AppendStyleRecord(kStyleFill);
  board.OnTransparent();
  UseTool(ID_TOOL_RECT);
  // The band passed outside the final shape and along its edges.
  Drag({100, 100}, {{250, 200}, {200, 160}}, {200, 160});
  const Picture shown = Snap();
  EXPECT_EQ(Wrong(shown, CRect(101, 101, 199, 159), Inverted), 0);
  // The edges the band lay on are inverted with the rest: no ring remains.
  EXPECT_EQ(shown.At(100, 130), Inverted(100, 130));
  EXPECT_EQ(shown.At(150, 100), Inverted(150, 100));
  int outside = 0;
  for (int y = 0; y < shown.height; ++y)
    for (int x = 0; x < shown.width; ++x)
      if (x < 98 || x > 202 || y < 98 || y > 162) outside += shown.At(x, y) != BackgroundAt(x, y);
  EXPECT_EQ(outside, 0);
  EXPECT_TRUE(ShowsItsReplay());
}

TEST_F(TransparentDisplay, ShapesInvertWhileOnArePaintedWhenOffAndReplayAlike) {
  CBoardWnd& board = Board();
  g_style.brushColor = RGB(0, 128, 0);
  board.AppendStyleRecord(kStyleBrush);
  UseTool(ID_TOOL_ELLIPSE);
  board.OnTransparent();
  Drag({300, 100}, {{380, 180}}, {400, 200});
  board.OnTransparent();
  UseTool(ID_TOOL_RECT);
  Drag({500, 100}, {{560, 160}}, {600, 200});
  board.OnTransparent();
  UseTool(ID_TOOL_ROUNDRECT);
  Drag({100, 300}, {{150, 350}}, {300, 450});

  const Picture shown = Snap();
  EXPECT_EQ(shown.At(350, 150), Inverted(350, 150));
  EXPECT_EQ(shown.At(550, 150), RGB(0, 128, 0));
  EXPECT_EQ(Wrong(shown, CRect(150, 330, 250, 420), Inverted), 0);
  ASSERT_EQ(Count(), 7);
  EXPECT_TRUE(ShowsItsReplay());
  EXPECT_TRUE(board.m_bTransparent) << "the replay ends in the mode of its last switch";
}

}  // namespace
