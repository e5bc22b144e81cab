// The magnifier's enlargements and its ways out, the colour picker and the
// fill: what each shows live and what its records replay to. What a tool
// shows while it is current and what leaving it or undo takes away.
#include <sstream>

#include "board/text_box.h"
#include "platform/codepage.h"
#include "tests/tools/tools_fixture.h"
#include "tools/magnifier.h"

namespace {

using OneClickToolsTest = ToolsTest;

std::string Source(int x, int y, int w = 1024, int h = 768) {
  const CRect r = MagnifierSource(CPoint(x, y), w, h);
  std::ostringstream s;
  s << r.left << ' ' << r.top << ' ' << r.right << ' ' << r.bottom;
  return s.str();
}

TEST(MagnifierSource, StaysInsideTheBoardOnEachSide) {
  EXPECT_EQ(Source(512, 384), "312 234 712 534");
  EXPECT_EQ(Source(100, 100), "0 0 400 300");        // left and top clamped
  EXPECT_EQ(Source(201, 151), "1 1 401 301");        // just inside them
  EXPECT_EQ(Source(1000, 700), "624 468 1024 768");  // right and bottom clamped
  EXPECT_EQ(Source(823, 617), "623 467 1023 767");   // just inside them
  EXPECT_EQ(Source(-50, 2000), "0 468 400 768");
  // A board smaller than the part gives its whole width or height.
  EXPECT_EQ(Source(150, 100, 300, 200), "0 0 300 200");
  EXPECT_EQ(Source(100, 700, 350, 768), "0 468 350 768");
}

TEST_F(OneClickToolsTest, TwoReleasesEnlargeAThirdChangesNothingARightClickGoesBackToThePen) {
  CBoardWnd& board = Board();
  const int w = board.m_rcDesktop.right, h = board.m_rcDesktop.bottom;
  const Picture before = Snap();
  UseTool(ID_TOOL_MAGNIFY);
  Click(CPoint(w / 2, h / 2));
  // Each pixel takes the source pixel under its centre.
  const CRect src = MagnifierSource(CPoint(w / 2, h / 2), w, h);
  const Picture once = Snap();
  auto centre = [&](int x, int y) {
    return before.At(src.left + (2 * x + 1) * 400 / (2 * w), src.top + (2 * y + 1) * 300 / (2 * h));
  };
  EXPECT_EQ(CountDifferences(once, MakePicture(w, h, centre)), 0);
  Click(CPoint(10, 10));
  const Picture twice = Snap();
  EXPECT_GT(CountDifferences(twice, once), w * h / 2);
  Click(CPoint(w - 10, h - 10));
  EXPECT_EQ(CountDifferences(Snap(), twice), 0);
  EXPECT_EQ(CountDifferences(Of(board.m_bmpZoomView), twice), 0);

  board.OnRButtonUp(0, CPoint(5, 5));
  EXPECT_EQ(std::tuple(board.m_nTool, Frame().m_barsHidden, CountDifferences(Snap(), before)),
            std::tuple(UINT(ID_TOOL_PEN), false, 0));
}

TEST_F(OneClickToolsTest, LeavingTheMagnifierKeepsTheEnlargementUnderTheRecordsUntilAnUndo) {
  CBoardWnd& board = Board();
  UseTool(ID_TOOL_RECT);
  Drag(CPoint(300, 300), {CPoint(320, 320)}, CPoint(340, 330));
  UseTool(ID_TOOL_LINE);
  Drag(CPoint(50, 500), {}, CPoint(150, 500));
  UseTool(ID_TOOL_MAGNIFY);
  Click(CPoint(100, 100));
  const Picture zoomed = Snap();
  UseTool(ID_TOOL_FILL);
  const Picture left = Snap();
  EXPECT_EQ(CountDifferences(Of(board.m_bmpCurrent), left), 0);
  EXPECT_EQ(left.At(320, 315), RGB(255, 255, 255)) << "the rectangle is drawn over it";
  EXPECT_EQ(left.At(100, 500), RGB(0, 0, 0)) << "the line is drawn over it";
  EXPECT_EQ(left.At(700, 100), zoomed.At(700, 100)) << "the enlargement is under them";
  board.OnUndo();
  EXPECT_TRUE(Count() == 1 && ShowsItsReplay());
}

TEST_F(OneClickToolsTest, ThePickerTakesTheColourUnderThePointerIntoOnePenRecord) {
  {
    CClientDC dc(&Board());
    const RECT blue{200, 200, 260, 260};
    dc.FillSolidRect(&blue, 0x00FF0000);
  }
  UseTool(ID_TOOL_PICKCOLOR);
  // The pointer's position counts, not the press's point.
  for (POINT at : {POINT{5, 5}, POINT{230, 230}, POINT{-1, 5}}) {
    m_services.pointer = at;
    Click(CPoint(20, 20));
  }
  // One record; the palette shows each picked colour; the bars stay.
  EXPECT_EQ(std::tuple(g_style.penColor, Count(), g_records[0].op, g_records[0].f5,
                       Frame().m_paletteRepaints, Frame().m_barsHidden),
            std::tuple(0x00FF0000u, 1, op::kPen, 0x00FF0000, 2, false));
  UseTool(ID_TOOL_LINE);
  Drag(CPoint(400, 600), {}, CPoint(500, 600));
  EXPECT_EQ(Snap().At(450, 600), 0x00FF0000u);
}

TEST_F(OneClickToolsTest, AFillPaintsThePenColourLiveAndTheBrushColourWhenReplayed) {
  CBoardWnd& board = Board();
  UseTool(ID_TOOL_RECT);
  Drag(CPoint(100, 100), {}, CPoint(300, 250));
  g_style.penColor = RGB(255, 0, 0);
  board.AppendStyleRecord(kStylePen);
  g_style.brushColor = RGB(0, 255, 0);
  board.AppendStyleRecord(kStyleBrush);
  UseTool(ID_TOOL_FILL);
  // Off the board nothing is painted or recorded.
  for (CPoint at : {CPoint(-1, 180), CPoint(200, 180), CPoint(200, board.m_rcDesktop.bottom)})
    Click(at);
  EXPECT_EQ(std::pair(Count(), Describe(3)),
            std::pair(4, Describe(Rec(op::kFloodFill, 200, 180, 0, 0))));
  const Picture filled = Snap();
  EXPECT_EQ(filled.At(101, 101), RGB(255, 0, 0));
  EXPECT_EQ(filled.At(100, 100), RGB(0, 0, 0)) << "the outline stays";
  EXPECT_EQ(CountDifferences(Of(board.m_bmpCurrent), filled), 0);

  UseTool(ID_TOOL_LINE);
  Drag(CPoint(400, 600), {}, CPoint(500, 600));
  board.OnUndo();
  EXPECT_EQ(Snap().At(101, 101), RGB(0, 255, 0));
}

TEST_F(OneClickToolsTest, UndoWithTheTextToolDropsTheUnfinishedText) {
  CBoardWnd& board = Board();
  board.AppendRecord(Rec(op::kLine, 1, 1, 50, 50));
  UseTool(ID_TOOL_TEXT);
  board.m_textBox->SetWindowText(GBK("未完"));
  board.m_textBox->ShowWindow(SW_SHOW);
  board.SetTimer(2, 1000);
  board.OnUndo();
  EXPECT_EQ(std::tuple(Count(), board.m_textBox->GetWindowText(),
                       board.m_textBox->IsWindowVisible(), board.HasTimer(2)),
            std::tuple(0, "", false, false));
  // The text tool stays current, and so does its font bar.
  EXPECT_EQ(std::pair(board.m_nTool, Frame().m_fontBarShown), std::pair(UINT(ID_TOOL_TEXT), true));
}

TEST_F(OneClickToolsTest, ToolsTellTheFrameWhatTheyShowAndTheMagnifierTakesTheBoardsPicture) {
  CBoardWnd& board = Board();
  UseTool(ID_TOOL_FLASH_MARK);
  UseTool(ID_TOOL_FILL);
  EXPECT_EQ(Frame().m_paletteRepaints, 0);
  UseTool(ID_TOOL_LINE);  // the palette shows widths or fills by tool
  EXPECT_EQ(Frame().m_paletteRepaints, 1);
  UseTool(ID_TOOL_TEXT);
  EXPECT_TRUE(Frame().m_fontBarShown);
  UseTool(ID_TOOL_PEN);
  EXPECT_FALSE(Frame().m_fontBarShown);

  UseTool(ID_TOOL_MAGNIFY);
  EXPECT_TRUE(Frame().m_barsHidden);
  std::string where;
  EXPECT_EQ(CountDifferences(Of(board.m_bmpZoomView), Snap(), &where), 0) << where;
}

}  // namespace
