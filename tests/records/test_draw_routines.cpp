#include <climits>

#include "platform/codepage.h"
#include "records/draw_routines.h"
#include "records/style_objects.h"
#include "test_board.h"

namespace {

class DrawRoutines : public RecordsTest {
 protected:
  void Arrow(int x0, int y0, int x1, int y1, int width, COLORREF color, int style = PS_SOLID) {
    DrawArrowLine(*board.GetBoardDC(), x0, y0, x1, y1, style, width, 10, color);
  }
  TestBoard board;
};

}  // namespace

TEST_F(DrawRoutines, AnArrowPaintsItsShaftAndAFilledHeadThatAWidePenOpens) {
  Arrow(50, 150, 150, 150, 2, kRed);
  // (146, 150) is inside the head; nothing past the tip.
  board.ExpectPixels({{60, 150, kRed}, {120, 150, kRed}, {146, 150, kRed}});
  board.ExpectPixels({{120, 140, kWhite}, {155, 150, kWhite}, {45, 150, kWhite}});
  // Width 6: half-angle 0.471 rad, sides of 22.4 px: corners near (230, 90)
  // and (230, 110).
  Arrow(50, 100, 250, 100, 6, kBlue);
  board.ExpectPixels({{232, 93, kBlue}, {232, 107, kBlue}, {225, 90, kWhite}});
}

TEST_F(DrawRoutines, ArrowRecordsOnlyPaintInThePenInForce) {
  // Steep, thin, dashed and wide arrows: the shaft and the head do not cover
  // every pixel of the line, so an inverting pass would leave a trace.
  const std::tuple<int, int, COLORREF, DrawRecord> arrows[] = {
      {PS_SOLID, 1, kRed, Rec(op::kArrow, 380, 37, 12, 250)},
      {PS_DASH, 1, kGreen, Rec(op::kArrow, 33, 290, 300, 5)},
      {PS_SOLID, 7, 0x808080, Rec(op::kArrow, 200, 20, 210, 280)}};
  for (const auto& [style, width, colour, arrow] : arrows) {
    board.m_pen.DeleteObject();
    board.m_pen.CreatePen(style, width, colour);
    // The style's own fields may differ (after a reset, or at a full store).
    g_style.penStyle = PS_DOT, g_style.penWidth = 9, g_style.penColor = kBlue;
    g_records[0] = arrow;
    board.Draw(0);
    EXPECT_GT(board.Count(colour), 100);
  }
  EXPECT_EQ(board.Count(kWhite) + board.Count(kRed) + board.Count(kGreen) + board.Count(0x808080),
            400 * 300);
}

TEST_F(DrawRoutines, ArrowsBetweenFarOffPointsDrawTheVisiblePartQuickly) {
  Arrow(INT_MIN, 150, INT_MAX, 150, INT_MAX, kRed, PS_DASH);
  Arrow(-2000000000, 20, 2000000000, 20, 1, kBlue);
  board.ExpectPixels({{0, 20, kBlue}, {399, 20, kBlue}});
}

TEST_F(DrawRoutines, AShapeIsOutlinedWithThePenAndFilledWithTheBrushAsItsStyleSays) {
  g_records[0] = Rec(op::kRect, 300, 200, 100, 100);  // dragged up and left
  board.m_pen.DeleteObject();
  board.m_pen.CreatePen(PS_SOLID, 1, kRed);
  board.m_brush.DeleteObject();
  board.m_brush.CreateSolidBrush(kGreen);
  board.Draw(0);
  // The right edge is exclusive.
  board.ExpectPixels({{100, 150, kRed}, {200, 100, kRed}, {200, 150, kGreen}});
  board.ExpectPixels({{99, 150, kWhite}, {300, 150, kWhite}});

  // Without outline the shape grows by one pixel and shows no pen.
  board.Clear(kWhite);
  g_style.outline = 0;
  board.Draw(0);
  board.ExpectPixels({{99, 150, kGreen}, {150, 99, kGreen}, {98, 150, kWhite}});
  EXPECT_EQ(board.Count(kRed), 0);

  // Without fill it is hollow.
  board.Clear(kBlue);
  g_style = DrawStyle{};
  g_style.fill = 0;
  board.Draw(0);
  board.ExpectPixels({{100, 150, kRed}, {200, 150, kBlue}});
}

TEST_F(DrawRoutines, TransparentDisplayInvertsFilledShapesOrWithoutOutlineTheirGrownArea) {
  g_records[0] = Rec(op::kRect, 200, 200, 100, 100);
  g_records[1] = Rec(op::kEllipse, 390, 290, 250, 150);
  board.m_bTransparent = true;
  board.Draw(0), board.Draw(1);
  // The rectangle's inverted area keeps 3 pixels off the outline's place.
  board.ExpectPixels(
      {{150, 150, kBlack}, {104, 150, kBlack}, {101, 150, kWhite}, {320, 220, kBlack}});
  EXPECT_EQ(board.Count(kWhite) + board.Count(kBlack), 400 * 300);

  // Twice inverted is the picture again: nothing was painted.
  board.Draw(0), board.Draw(1);
  EXPECT_EQ(board.Count(kWhite), 400 * 300);

  g_records[0] = Rec(op::kRoundRect, 300, 250, 100, 100);
  g_style.outline = 0;
  board.Draw(0);
  board.ExpectPixels({{99, 175, kBlack}, {101, 101, kWhite}});  // the rounded corner
}

TEST_F(DrawRoutines, TextSitsOnAFramedBoxOfTheBrushColourUnlessTransparent) {
  g_records[0] = Rec(op::kText, 100, 100, 300, 160);
  g_style.penColor = kRed;
  board.m_brush.DeleteObject();
  board.m_brush.CreateSolidBrush(kGreen);
  board.Draw(0, "Hello");
  // The frame at left - 2 and top - 2, the box beside the text; right - 2 is
  // exclusive.
  board.ExpectPixels(
      {{98, 130, kBlack}, {200, 98, kBlack}, {250, 150, kGreen}, {299, 130, kWhite}});
  EXPECT_GT(board.Count(kRed, 100, 99, 160, 120), 0);

  board.Clear(kWhite);
  board.m_bTransparent = true;
  board.Draw(0, "Hello");
  board.ExpectPixels({{98, 130, kWhite}, {250, 150, kWhite}});
  EXPECT_GT(board.Count(kRed, 100, 99, 160, 120), 0);

  // Chinese text wrapped inside a character still draws both lines.
  board.Clear(kWhite);
  g_records[1] = Rec(op::kText, 10, 10, 64, 200);  // 5 bytes a line
  board.Draw(1, GBK("中文字符"));
  EXPECT_TRUE(board.Count(kRed, 10, 9, 64, 30) > 0 && board.Count(kRed, 0, 30, 80, 51) > 0);
}

TEST_F(DrawRoutines, AZeroFontSizeLaysTextOutInTheCellOfTheFontThatDrawsIt) {
  g_records[0] = Rec(op::kText, 10, 10, 390, 290);
  g_style.penColor = kRed;
  board.m_bTransparent = true;
  board.m_logFont.lfHeight = board.m_logFont.lfWidth = 0;
  CreateStyleFont(board.m_font, board.m_logFont);
  TEXTMETRIC tm;
  {
    std::unique_ptr<CDC> dc = board.GetBoardDC();
    CSelectScope<CFont> font(*dc, &board.m_font);
    ASSERT_TRUE(dc->GetTextMetrics(&tm));
  }
  ASSERT_GT(tm.tmHeight, 0);
  board.Draw(0, "x\nx\nx");
  // The third line ends above the fourth line's place.
  EXPECT_GT(board.Count(kRed, 0, 9 + 2 * tm.tmHeight, 400, 9 + 3 * tm.tmHeight), 0);
  EXPECT_EQ(board.Count(kRed, 0, 9 + 3 * tm.tmHeight, 400, 300), 0);
}
