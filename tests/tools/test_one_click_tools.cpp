// The magnifier's enlargements and its ways out, the colour picker and the
// fill: what each shows live and what its records replay to.
#include "tests/tools/tools_fixture.h"
#include "tools/magnifier.h"

namespace {

using OneClickToolsTest = ToolsTest;

TEST(MagnifierSource, StaysInsideTheBoardOnEachSide) {
  struct Case {
    CPoint at;
    CRect source;
  } cases[] = {
      {{512, 384}, {312, 234, 712, 534}},    // no side reached
      {{100, 100}, {0, 0, 400, 300}},        // left and top
      {{1000, 700}, {624, 468, 1024, 768}},  // right and bottom
      {{200, 150}, {0, 0, 400, 300}},        // just inside on the left and top
      {{201, 151}, {1, 1, 401, 301}},
      {{824, 618}, {624, 468, 1024, 768}},  // just inside on the right and bottom
      {{823, 617}, {623, 467, 1023, 767}},
      {{-50, 2000}, {0, 468, 400, 768}},  // a point off the board
  };
  for (const Case& c : cases) {
    const CRect got = MagnifierSource(c.at, 1024, 768);
    EXPECT_TRUE(got.left == c.source.left && got.top == c.source.top &&
                got.right == c.source.right && got.bottom == c.source.bottom)
        << "at (" << c.at.x << ", " << c.at.y << "): " << got.left << ' ' << got.top << ' '
        << got.right << ' ' << got.bottom;
  }
  // A board smaller than the part gives its whole width and height.
  for (CPoint at : {CPoint(0, 0), CPoint(150, 100), CPoint(299, 199)}) {
    const CRect got = MagnifierSource(at, 300, 200);
    EXPECT_TRUE(got.left == 0 && got.top == 0 && got.right == 300 && got.bottom == 200);
  }
  const CRect narrow = MagnifierSource(CPoint(100, 700), 350, 768);
  EXPECT_TRUE(narrow.left == 0 && narrow.right == 350 && narrow.top == 468 && narrow.bottom == 768);
}

TEST_F(OneClickToolsTest, TwoReleasesEnlargeAThirdChangesNothingARightClickGoesBackToThePen) {
  CBoardWnd& board = Board();
  const int w = board.m_rcDesktop.right, h = board.m_rcDesktop.bottom;
  const Picture before = Snap();
  UseTool(ID_TOOL_MAGNIFY);
  Click(CPoint(w / 2, h / 2));
  // Nearest pixels, each destination pixel taking the source pixel under
  // its centre.
  const CRect src = MagnifierSource(CPoint(w / 2, h / 2), w, h);
  const Picture once = Snap();
  std::string where;
  EXPECT_EQ(CountDifferences(once,
                             MakePicture(w, h,
                                         [&](int x, int y) {
                                           return before.At(
                                               src.left + (2 * x + 1) * src.Width() / (2 * w),
                                               src.top + (2 * y + 1) * src.Height() / (2 * h));
                                         }),
                             &where),
            0)
      << where;
  EXPECT_EQ(CountDifferences(Of(board.m_bmpZoomView), once), 0);

  Click(CPoint(10, 10));
  const Picture twice = Snap();
  EXPECT_GT(CountDifferences(twice, once), w * h / 2);
  Click(CPoint(w - 10, h - 10));
  EXPECT_EQ(CountDifferences(Snap(), twice), 0);
  EXPECT_EQ(CountDifferences(Of(board.m_bmpZoomView), twice), 0);
  EXPECT_EQ(Count(), 0);

  ASSERT_TRUE(Frame().m_barsHidden);
  board.OnRButtonUp(0, CPoint(5, 5));
  EXPECT_EQ(board.m_nTool, ID_TOOL_PEN);
  EXPECT_FALSE(Frame().m_barsHidden);
  EXPECT_EQ(CountDifferences(Snap(), before, &where), 0) << where;

  // Chosen again, the magnifier starts from no enlargement.
  UseTool(ID_TOOL_MAGNIFY);
  Click(CPoint(w / 2, h / 2));
  EXPECT_EQ(CountDifferences(Snap(), once), 0);
}

TEST_F(OneClickToolsTest, LeavingTheMagnifierKeepsTheEnlargementUnderTheRecordsUntilAnUndo) {
  CBoardWnd& board = Board();
  UseTool(ID_TOOL_RECT);
  Drag(CPoint(300, 300), {CPoint(320, 320)}, CPoint(340, 330));
  UseTool(ID_TOOL_LINE);
  Drag(CPoint(50, 500), {CPoint(100, 500)}, CPoint(150, 500));
  ASSERT_EQ(Count(), 2);
  const Picture drawn = Snap();

  UseTool(ID_TOOL_MAGNIFY);
  Click(CPoint(100, 100));
  const Picture zoomed = Snap();
  UseTool(ID_TOOL_FILL);
  const Picture left = Snap();
  EXPECT_EQ(CountDifferences(Of(board.m_bmpCurrent), left), 0);
  EXPECT_EQ(left.At(320, 315), RGB(255, 255, 255)) << "the rectangle is drawn over it";
  EXPECT_EQ(left.At(100, 500), RGB(0, 0, 0)) << "the line is drawn over it";
  EXPECT_EQ(left.At(700, 100), zoomed.At(700, 100)) << "the enlargement is under them";
  EXPECT_GT(CountDifferences(left, drawn), board.m_rcDesktop.right * 100);
  EXPECT_EQ(Count(), 2);

  board.OnUndo();
  EXPECT_EQ(Count(), 1);
  EXPECT_TRUE(ShowsItsReplay());
}

TEST_F(OneClickToolsTest, ThePickerTakesTheColourUnderThePointerIntoOnePenRecord) {
  CBoardWnd& board = Board();
  {
    CClientDC dc(&board);
    const RECT blue{200, 200, 260, 260};
    dc.FillSolidRect(&blue, RGB(0, 0, 255));
  }
  ASSERT_EQ(RGB(0, 0, 255), 0x00FF0000u);
  UseTool(ID_TOOL_PICKCOLOR);
  // The press's own point lies elsewhere: the pointer's position counts.
  m_services.pointer = {230, 230};
  Click(CPoint(10, 10));
  EXPECT_EQ(g_style.penColor, 0x00FF0000u);
  ASSERT_EQ(Count(), 1);
  EXPECT_EQ(g_records[0].op, op::kPen);
  EXPECT_EQ(g_records[0].f5, 0x00FF0000);
  EXPECT_EQ(Frame().m_paletteRepaints, 1);
  EXPECT_FALSE(Frame().m_barsHidden) << "picking keeps the bars";

  // A second pick updates the pen record at the end.
  m_services.pointer = {5, 5};
  Click(CPoint(230, 230));
  ASSERT_EQ(Count(), 1);
  EXPECT_EQ(COLORREF(g_records[0].f5), BackgroundAt(5, 5));

  // Off the board nothing is picked.
  for (POINT off : {POINT{-1, 5}, POINT{5, board.m_rcDesktop.bottom}}) {
    m_services.pointer = off;
    Click(CPoint(230, 230));
  }
  EXPECT_EQ(Count(), 1);
  EXPECT_EQ(g_style.penColor, BackgroundAt(5, 5));

  // The picked colour draws.
  m_services.pointer = {230, 230};
  Click(CPoint(230, 230));
  UseTool(ID_TOOL_LINE);
  Drag(CPoint(400, 600), {}, CPoint(500, 600));
  EXPECT_EQ(Snap().At(450, 600), 0x00FF0000u);
}

TEST_F(OneClickToolsTest, AFillPaintsThePenColourLiveAndTheBrushColourWhenReplayed) {
  CBoardWnd& board = Board();
  UseTool(ID_TOOL_RECT);
  Drag(CPoint(100, 100), {CPoint(200, 200)}, CPoint(300, 250));
  {
    // One pixel a shade off white is another colour: the fill goes round it.
    CClientDC dc(&board);
    dc.SetPixel(150, 150, RGB(254, 255, 255));
  }
  board.SnapshotBoard();
  g_style.penColor = RGB(255, 0, 0);
  board.AppendStyleRecord(kStylePen);
  g_style.brushColor = RGB(0, 255, 0);
  board.AppendStyleRecord(kStyleBrush);
  const Picture before = Snap();

  UseTool(ID_TOOL_FILL);
  Click(CPoint(200, 180));
  ASSERT_EQ(Count(), 4);
  EXPECT_EQ(Describe(3), Describe(Rec(op::kFloodFill, 200, 180, 0, 0)));
  const Picture filled = Snap();
  EXPECT_EQ(filled.At(101, 101), RGB(255, 0, 0));
  EXPECT_EQ(filled.At(298, 248), RGB(255, 0, 0));
  EXPECT_EQ(filled.At(150, 150), RGB(254, 255, 255));
  EXPECT_EQ(filled.At(100, 100), RGB(0, 0, 0)) << "the outline stays";
  EXPECT_EQ(filled.At(99, 99), before.At(99, 99)) << "outside stays";
  EXPECT_EQ(CountDifferences(Of(board.m_bmpCurrent), filled), 0);

  // Off the board: nothing painted, nothing recorded.
  for (CPoint off : {CPoint(-1, 180), CPoint(200, board.m_rcDesktop.bottom)}) Click(off);
  EXPECT_EQ(Count(), 4);
  EXPECT_EQ(CountDifferences(Snap(), filled), 0);

  UseTool(ID_TOOL_LINE);
  Drag(CPoint(400, 600), {}, CPoint(500, 600));
  board.OnUndo();
  ASSERT_EQ(Count(), 4);
  const Picture replayed = Snap();
  EXPECT_EQ(replayed.At(101, 101), RGB(0, 255, 0));
  // The shade off white was drawn by no record: the redraw floods it too.
  EXPECT_EQ(replayed.At(150, 150), RGB(0, 255, 0));
}

}  // namespace
