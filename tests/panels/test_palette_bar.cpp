// The palette bar: its choice rectangles at the template geometry, what each
// click records, the colour dialog and what the bar shows.
#include <tuple>
#include <utility>

#include "panels/palette_bar.h"
#include "platform/commdlg.h"
#include "tests/records/data_file_util.h"
#include "tests/support/board_fixture.h"

namespace {

// 9-point "宋体" is a 12-pixel face with Latin letters 6 wide: a dialog unit
// is 6/4 pixel across and 12/8 down, position and size each rounded.
CRect Px(int x, int y, int w, int h) {
  const int l = (x * 6 + 2) / 4, t = (y * 12 + 4) / 8;
  return CRect(l, t, l + (w * 6 + 2) / 4, t + (h * 12 + 4) / 8);
}
// Choice i of an area cut into `parts` bands: two bands each, from band 1.
CRect Choice(const CRect& a, int i, int parts) {
  const int k = 2 * i + 1, h = a.Height();
  return CRect(a.left, a.top + k * h / parts, a.right, a.top + (k + 2) * h / parts);
}
CPoint Mid(const CRect& r) { return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

const CRect kFore = Px(37, 6, 15, 15), kBack = Px(43, 10, 15, 15), kPen = Px(1, 2, 30, 47),
            kStyles = Px(1, 52, 30, 31);
CRect Width(int i) { return Choice(kPen, i, 12); }
CRect Fill(int i) { return Choice(kPen, i, 8); }
CRect Style(int i) { return Choice(kStyles, i, 10); }
// Colour cells, left column then right, top to bottom, 9 units apart.
const COLORREF kColors[12] = {0x0000FF, 0xFF0000, 0x800000, 0x000080, 0x808000, 0x008000,
                              0x00FF00, 0x008080, 0x000000, 0x800080, 0xFFFFFF, 0x808080};
CRect Cell(int i) { return Px(i < 6 ? 34 : 49, 31 + 9 * (i % 6), 13, 7); }

class PaletteTest : public BoardTest {
 protected:
  void SetUp() override {
    BoardTest::SetUp();
    bar.m_pBoard = &Board();
    ASSERT_TRUE(bar.Create(&Frame(), IDD_PALETTEBAR, WS_CHILD | CBRS_SIZE_FIXED, IDD_PALETTEBAR));
  }
  void Left(CPoint p) { bar.OnLButtonDown(MK_LBUTTON, p); }
  void Right(CPoint p) { bar.OnRButtonDown(MK_RBUTTON, p); }
  COLORREF At(CPoint p) { return CClientDC(&bar).GetPixel(p.x, p.y); }
  void Paint() {
    bar.Invalidate(true);
    bar.UpdateWindow();
  }
  int BlackDown(int x, const CRect& r) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y) n += At({x, y}) == 0;
    return n;
  }
  // Op and colour of record i.
  static std::pair<char, COLORREF> Colour(int i) { return {g_records[i].op, g_records[i].f5}; }
  CPaletteBar bar;
};

TEST_F(PaletteTest, ChoiceRectanglesFollowTheTemplateGeometry) {
  RECT client;
  bar.GetClientRect(&client);
  EXPECT_EQ(client, Px(0, 0, 64, 85));
  bar.UpdateWindow();  // painting computes the width choices
  Left(Mid(Style(0)));
  UseTool(ID_TOOL_ELLIPSE);
  Left(Mid(Fill(0)));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(bar.m_rcWidth[i], Width(i)) << i;
  for (int i = 0; i < 4; ++i) EXPECT_EQ(bar.m_rcStyle[i], Style(i)) << i;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(bar.m_rcFill[i], Fill(i)) << i;
}

TEST_F(PaletteTest, CellsColourThePenOnTheLeftTheBrushOnTheRightAndRecordOnlyChanges) {
  Left(Mid(Cell(8)));  // black: the pen colour already
  EXPECT_EQ(Count(), 0);
  for (int i = 0; i < 12; ++i) {
    Left(Mid(Cell(i)));
    Right(Mid(Cell(i)));
    EXPECT_EQ(Colour(2 * i), std::pair(op::kPen, kColors[i]));
    EXPECT_EQ(Colour(2 * i + 1), std::pair(op::kBrush, kColors[i]));
  }
  // Between cells: the left click does nothing, the right click records the
  // bar's brush colour only when the style has left it.
  const CPoint gap = Cell(0).BottomRight();
  Left(gap);
  Left(Mid(Cell(0)));
  Right(gap);
  EXPECT_EQ(Count(), 25);
  g_style.brushColor = RGB(1, 2, 3);
  Right(gap);
  EXPECT_EQ(std::pair(Count(), g_style.brushColor), std::pair(26, kColors[11]));
}

TEST_F(PaletteTest, PenAreaAndLineStyleClicksSetTheStyleAndRecordByTheirRules) {
  struct Step {
    UINT tool;
    CPoint at;
    int width, style, fill, outline, count, lit;  // lit: widths 0-4, styles 5-8
  } const steps[] = {
      {ID_TOOL_POINTER, Mid(Width(0)), 2, PS_SOLID, 1, 1, 0, 0},  // the chosen width again
      {ID_TOOL_POINTER, Width(2).TopLeft(), 4, PS_SOLID, 1, 1, 1, 2},
      {ID_TOOL_RECT, Mid(Fill(1)), 4, PS_SOLID, 1, 1, 2, 2},  // the same pair is recorded
      {ID_TOOL_RECT, Mid(Fill(0)), 4, PS_SOLID, 0, 1, 2, 2},  // and merged
      {ID_TOOL_RECT, Mid(Width(4)), 4, PS_SOLID, 1, 0, 2, 2},
      {ID_TOOL_RECT, Mid(Style(1)), 1, PS_DASH, 1, 0, 3, 6},
      {ID_TOOL_RECT, Mid(Style(1)), 1, PS_DASH, 1, 0, 3, 6},
      {ID_TOOL_PEN, Mid(Width(1)), 3, PS_DASH, 1, 0, 3, 1},
      {ID_TOOL_PEN, CPoint(kPen.left, Width(0).top - 1), 3, PS_DASH, 1, 0, 3, 1},  // off all
      {ID_TOOL_PEN, CPoint(Style(3).right - 1, Style(3).bottom - 1), 1, PS_DASHDOT, 1, 0, 3, 8},
  };
  for (const Step& s : steps) {
    UseTool(s.tool);
    Left(s.at);
    const int n = int(&s - steps);
    EXPECT_EQ(
        std::tuple(g_style.penWidth, g_style.penStyle, g_style.fill, g_style.outline, Count()),
        std::tuple(s.width, s.style, s.fill, s.outline, s.count))
        << n;
    for (int i = 0; i < 9; ++i)
      EXPECT_EQ(i < 5 ? bar.m_bWidth[i] : bar.m_bStyle[i - 5], i == s.lit) << n;
  }
  EXPECT_EQ(std::tuple(g_records[0].f4, g_records[1].op, g_records[2].f3),
            std::tuple(4, op::kFill, PS_DASHDOT));
}

TEST_F(PaletteTest, ADoubleClickOnASwatchAsksForAnyColourFromItsOwnAndCommitsOnOk) {
  m_services.colorAnswers = {{true, 0}, {true, RGB(9, 9, 9)}, {false, 0}, {true, RGB(7, 7, 7)}};
  const CPoint backOnly(kBack.right - 1, kBack.bottom - 1);
  for (CPoint p : {Mid(kFore), Mid(kFore), Mid(kFore), backOnly, Mid(kPen)})
    bar.OnLButtonDblClk(MK_LBUTTON, p);
  EXPECT_EQ(std::pair(g_style.penColor, g_style.brushColor), std::pair(RGB(9, 9, 9), RGB(7, 7, 7)));
  EXPECT_EQ(Count(), 2) << "OK on the same colour and cancel record nothing";
  ASSERT_EQ(m_services.colorRequests.size(), 4u);
  const COLORREF initial[4] = {0, 0, RGB(9, 9, 9), RGB(255, 255, 255)};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(m_services.colorRequests[i].initial, initial[i]);
  EXPECT_EQ(m_services.colorRequests[3].flags, CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR);
}

TEST_F(PaletteTest, PaintShowsSwatchesCellsAndTheChoicesOfTheCurrentTool) {
  const COLORREF face = GetSysColor(COLOR_BTNFACE), lit = RGB(0, 192, 192);
  Left(Mid(Cell(0)));
  Right(Mid(Cell(6)));
  Left(Mid(Style(2)));
  Paint();
  EXPECT_EQ(std::pair(At(Mid(kFore)), At(kBack.BottomRight() - CPoint(1, 1))),
            std::pair(kColors[0], kColors[6]));
  for (int i = 0; i < 12; ++i) EXPECT_EQ(At(Mid(Cell(i))), kColors[i]);
  const int x = Mid(kPen).x;
  for (int i = 0; i < 5; ++i) EXPECT_EQ(BlackDown(x, Width(i)), i + 2) << "width " << i + 2;
  for (int i = 0; i < 4; ++i) {
    const int y = kStyles.top + (i + 1) * kStyles.Height() / 5;
    int black = 0;
    for (int px = kStyles.left + 5; px < kStyles.right - 5; ++px) black += At({px, y}) == 0;
    const int len = kStyles.Width() - 10;
    EXPECT_TRUE(i == 0 ? black == len : black > 2 && black < len) << "only the first is solid";
    EXPECT_EQ(At({kStyles.left + 2, y}), i == 2 ? lit : face) << "the chosen style is lit";
  }
  // Fill tools: outlined, outlined on white, white alone; the middle one is
  // chosen at first.
  UseTool(ID_TOOL_ROUNDRECT);
  Paint();
  EXPECT_EQ(BlackDown(x, kPen), 4) << "two outlined samples, no width lines";
  const COLORREF inside[3] = {face, 0xFFFFFF, 0xFFFFFF};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(At({x, Fill(i).top + 7}), inside[i]) << i;
  EXPECT_EQ(At({kPen.left + 2, Fill(1).top + 3}), lit);
}

// Undo, redo and an open move the style without the bar's clicks; the bar
// then shows the style in force, and showing it records nothing.
TEST_F(PaletteTest, AfterUndoRedoAndOpenTheBarShowsTheStyleInForce) {
  DrawRecord pen = Rec(op::kPen, 0, 0, PS_DOT, 1);
  pen.f5 = kColors[3];  // then outline only, a black brush
  for (const DrawRecord& r : {pen, Rec(op::kFill, 0, 0, 1, 0), Rec(op::kBrush, 0, 0, 0, 0)})
    Board().AppendRecord(r);
  Board().Replay(0, Count(), false);
  TempFolder dir;
  m_services.fileAnswers = {dir / "a.zsy"};
  Board().SendCommand(ID_SAVE_DATA);
  UseTool(ID_TOOL_RECT);
  Left(Mid(Fill(2)));
  UseTool(ID_TOOL_PEN);
  Left(Mid(Cell(8)));  // black
  Left(Mid(Width(3)));
  // Swatches, the lit width or style (0-8) and fill (9-11), and a repaint asked.
  int repaints = 0;
  auto shows = [&](COLORREF fore, int penChoice, int fillChoice) {
    const int before = std::exchange(repaints, Frame().m_paletteRepaints), count = Count();
    Paint();
    std::vector<COLORREF> seen{At(Mid(kFore)), At(kBack.BottomRight() - CPoint(1, 1))},
        want{fore, 0};
    for (int i = 0; i < 12; ++i) {
      seen.push_back(i < 5 ? bar.m_bWidth[i] : i < 9 ? bar.m_bStyle[i - 5] : bar.m_bFill[i - 9]);
      want.push_back(i == penChoice || i == 9 + fillChoice);
    }
    EXPECT_EQ(Count(), count) << "showing records nothing";
    return seen == want && repaints > before;
  };
  while (Count() > 3) Board().OnUndo();
  EXPECT_TRUE(shows(kColors[3], 5 + PS_DOT, 0)) << "after undo";
  Board().OnRedo();  // the fill-only record
  EXPECT_TRUE(shows(kColors[3], 5 + PS_DOT, 2)) << "after redo";
  m_services.fileAnswers = {dir / "a.zsy"};
  Board().SendCommand(ID_OPEN_DATA);
  EXPECT_TRUE(shows(kColors[3], 5 + PS_DOT, 0)) << "after an open";
}

}  // namespace
