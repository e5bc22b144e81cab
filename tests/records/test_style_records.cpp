#include <climits>

#include "platform/codepage.h"
#include "records/draw_geometry.h"
#include "test_board.h"

using StyleRecords = RecordsTest;

TEST_F(StyleRecords, ChangesOfOneKindInARowCoalesceAndOtherKindsBetweenThemDoNot) {
  TestBoard board;
  for (COLORREF c : {0x0000FFu, 0x00FF00u, 0xFF0000u}) {
    g_style.penColor = c;
    board.AppendStyleRecord(kStylePen);
  }
  ASSERT_EQ(board.m_nCount, 1);
  EXPECT_EQ(g_records[0].op, op::kPen);
  EXPECT_EQ(g_records[0].f3, PS_SOLID);
  EXPECT_EQ(g_records[0].f4, 2);
  EXPECT_EQ(g_records[0].f5, 0xFF0000);
  EXPECT_EQ(board.m_pen.m_color, 0xFF0000u);
  EXPECT_EQ(board.textColors, (std::vector<COLORREF>{0x0000FF, 0x00FF00, 0xFF0000}));

  g_style.brushColor = 0x00FF00;
  board.AppendStyleRecord(kStyleBrush);
  g_style.penWidth = 5;
  board.AppendStyleRecord(kStylePen);
  ASSERT_EQ(board.m_nCount, 3);
  EXPECT_EQ(g_records[1].op, op::kBrush);
  EXPECT_EQ(g_records[1].f5, 0x00FF00);
  EXPECT_EQ(g_records[2].op, op::kPen);
  EXPECT_EQ(g_records[2].f4, 5);
  EXPECT_EQ(board.m_brush.m_color, 0x00FF00u);
  EXPECT_EQ(board.m_pen.m_width, 5);
  EXPECT_EQ(board.textBkColors, std::vector<COLORREF>{0x00FF00});
}

TEST_F(StyleRecords, TwoFontChangesInARowLeaveOneRecordAndOneTextEntry) {
  TestBoard board;
  g_style.faceName = GBK("黑体");
  board.m_logFont.lfHeight = 30;
  board.AppendStyleRecord(kStyleFont);
  board.m_posText = board.m_texts.begin();
  g_style.faceName = GBK("楷体");
  board.m_logFont.lfHeight = 40;
  board.m_logFont.lfWeight = FW_BOLD;
  board.m_logFont.lfItalic = 1;
  board.m_logFont.lfUnderline = 1;
  board.AppendStyleRecord(kStyleFont);

  ASSERT_EQ(board.m_nCount, 1);
  const DrawRecord& r = g_records[0];
  EXPECT_EQ(r.op, op::kFont);
  EXPECT_EQ(r.f1, 1);
  EXPECT_EQ(r.f2, 1);
  EXPECT_EQ(r.f3, 40);
  EXPECT_EQ(r.f4, FW_BOLD);
  EXPECT_EQ(board.m_texts, (std::list<std::string>{GBK("楷体")}));
  ASSERT_TRUE(board.m_posText != board.m_texts.end()) << "the replay cursor stays on the face";
  EXPECT_EQ(board.m_font.m_logFont.lfHeight, 40);
  ASSERT_EQ(board.textFonts.size(), 2u);
  EXPECT_EQ(board.textFonts.back(), &board.m_font);
}

TEST_F(StyleRecords, FillChoicesCoalesceTellNobodyAndStyleRecordsKeepOtherFields) {
  TestBoard board;
  g_style.fill = 0;
  board.AppendStyleRecord(kStyleFill);
  g_style.outline = 0;
  board.AppendStyleRecord(kStyleFill);
  board.AppendStyleRecord(7);  // not a kind: nothing
  ASSERT_EQ(board.m_nCount, 1);
  EXPECT_EQ(g_records[0].op, op::kFill);
  EXPECT_EQ(g_records[0].f3, 0);
  EXPECT_EQ(g_records[0].f4, 0);
  EXPECT_TRUE(board.textColors.empty());
  EXPECT_TRUE(board.textBkColors.empty());
  EXPECT_TRUE(board.textFonts.empty());

  // A style record writes only its own fields.
  g_records[1] = Rec('x', 11, 12, 13, 14, 15);
  g_records[1].pad[1] = 7;
  board.AppendStyleRecord(kStyleBrush);
  EXPECT_EQ(g_records[1].op, op::kBrush);
  EXPECT_EQ(g_records[1].f1, 11);
  EXPECT_EQ(g_records[1].f4, 14);
  EXPECT_EQ(g_records[1].f5, 0xFFFFFF);
  EXPECT_EQ(g_records[1].pad[1], 7);
}

TEST_F(StyleRecords, AtTheLimitAStyleChangeAppendsNothingAndRebuildsNothing) {
  TestBoard board;
  board.m_nCount = kRecordLimit;
  g_records[kRecordLimit - 1] = Rec(op::kPen, 0, 0, PS_SOLID, 2, 0);
  g_records[kRecordLimit] = Rec(op::kLine, 1, 2, 3, 4);
  g_style.penColor = 0x0000FF;
  g_style.brushColor = 0x00FF00;
  g_style.fill = 0;
  board.m_logFont.lfHeight = 50;
  for (int kind : {kStylePen, kStyleBrush, kStyleFill, kStyleFont}) board.AppendStyleRecord(kind);

  EXPECT_EQ(board.m_nCount, kRecordLimit);
  EXPECT_EQ(g_records[kRecordLimit - 1].f5, 0);  // not coalesced either
  EXPECT_EQ(g_records[kRecordLimit].op, op::kLine);
  EXPECT_EQ(board.m_pen.m_color, 0u);
  EXPECT_EQ(board.m_brush.m_color, 0xFFFFFFu);
  EXPECT_EQ(board.m_font.m_logFont.lfHeight, 21);
  EXPECT_TRUE(board.m_texts.empty());
  EXPECT_TRUE(board.textColors.empty() && board.textBkColors.empty() && board.textFonts.empty());
}

TEST_F(StyleRecords, AppendRecordFillsTheOpenSlotOnlyBelowTheLimit) {
  TestBoard board;
  board.m_nCount = kRecordLimit - 1;
  EXPECT_TRUE(board.AppendRecord(Rec(op::kLine, 1, 2, 3, 4)));
  EXPECT_EQ(board.m_nCount, kRecordLimit);
  EXPECT_EQ(g_records[kRecordLimit - 1].op, op::kLine);

  // At 4999 the last slot belongs to files only; at 5000 there is no open slot.
  EXPECT_FALSE(board.AppendRecord(Rec(op::kRect, 1, 2, 3, 4)));
  EXPECT_EQ(board.m_nCount, kRecordLimit);
  EXPECT_EQ(g_records[kRecordLimit].op, op::kEmpty);
  board.m_nCount = kRecordSlots;
  EXPECT_FALSE(board.AppendRecord(Rec(op::kRect, 1, 2, 3, 4)));
  board.AppendStyleRecord(kStylePen);
  EXPECT_EQ(board.m_nCount, kRecordSlots);
  EXPECT_EQ(g_records[kRecordLimit].op, op::kEmpty);

  // A damaged negative count is as full, not an index below the store.
  board.m_nCount = -1;
  EXPECT_FALSE(board.AppendRecord(Rec(op::kRect)));
  board.AppendStyleRecord(kStylePen);
  EXPECT_EQ(board.m_nCount, -1);
}

TEST_F(StyleRecords, ResetToDefaultsKeepsPenStyleWidthAndFaceButBuildsAWidthTwoPen) {
  TestBoard board;
  g_style = {0x0000FF, 0x00FF00, PS_DASH, 5, 0, 0, GBK("黑体")};
  board.AppendStyleRecord(kStylePen);
  board.m_logFont.lfHeight = 40;
  board.m_texts = {"a", "b"};
  board.m_posText = board.m_texts.end();
  board.m_bTransparent = true;
  board.textColors.clear();

  board.ResetStyle(false);
  EXPECT_EQ(g_style.penWidth, 5);
  EXPECT_EQ(g_style.penStyle, PS_DASH);
  EXPECT_EQ(g_style.faceName, GBK("黑体"));
  EXPECT_EQ(g_style.penColor, 0u);
  EXPECT_EQ(g_style.brushColor, 0xFFFFFFu);
  EXPECT_EQ(g_style.fill, 1);
  EXPECT_EQ(g_style.outline, 1);
  EXPECT_EQ(board.m_pen.m_width, 2);
  EXPECT_EQ(board.m_pen.m_style, PS_SOLID);
  EXPECT_EQ(board.m_pen.m_color, 0u);
  EXPECT_EQ(board.m_brush.m_color, 0xFFFFFFu);
  EXPECT_EQ(board.m_logFont.lfHeight, 21);
  EXPECT_EQ(board.m_logFont.lfWidth, 9);
  EXPECT_EQ(board.m_logFont.lfFaceName, GBK("宋体"));
  EXPECT_EQ(board.m_font.m_logFont.lfHeight, 21);
  EXPECT_TRUE(board.m_posText == board.m_texts.begin());
  EXPECT_FALSE(board.m_bTransparent);
  EXPECT_TRUE(board.textColors.empty());
}

TEST_F(StyleRecords, ResetToTheSavedStyleRestoresItAndNothingElse) {
  TestBoard board;
  g_styleSaved = {0x0000FF, 0x00FF00, PS_DOT, 4, 0, 1, GBK("黑体")};
  board.m_logFontSaved = board.m_logFont;
  board.m_logFontSaved.lfHeight = 33;
  board.m_texts = {"a"};
  board.m_posText = board.m_texts.end();
  board.m_bTransparent = true;

  board.ResetStyle(true);
  EXPECT_EQ(g_style.penColor, 0x0000FFu);
  EXPECT_EQ(g_style.faceName, GBK("黑体"));
  EXPECT_EQ(g_style.fill, 0);
  EXPECT_EQ(board.m_pen.m_style, PS_DOT);
  EXPECT_EQ(board.m_pen.m_width, 4);
  EXPECT_EQ(board.m_brush.m_color, 0x00FF00u);
  EXPECT_EQ(board.m_font.m_logFont.lfHeight, 33);
  EXPECT_TRUE(board.m_posText == board.m_texts.end());
  EXPECT_TRUE(board.m_bTransparent);
}

TEST_F(StyleRecords, RemovingTheTextUnderTheReplayCursorMovesTheCursorToTheEnd) {
  TestBoard board;
  board.m_texts = {"a", "b"};
  board.m_posText = std::prev(board.m_texts.end());
  board.RemoveLastText();
  EXPECT_TRUE(board.m_posText == board.m_texts.end());
  EXPECT_EQ(board.m_texts, std::list<std::string>{"a"});
  board.RemoveLastText();
  board.RemoveLastText();  // empty: nothing
  EXPECT_TRUE(board.m_texts.empty());
}

TEST_F(StyleRecords, AbsurdPenWidthsAndFontSizesAreBoundedInTheObjectsOnly) {
  TestBoard board;
  g_style.penWidth = INT_MAX;
  g_style.penStyle = 1234;
  board.AppendStyleRecord(kStylePen);
  EXPECT_EQ(g_records[0].f4, INT_MAX);
  EXPECT_EQ(board.m_pen.m_width, kMaxPenWidth);
  EXPECT_EQ(board.m_pen.m_style, PS_SOLID);
  g_style.penWidth = -5;
  board.AppendStyleRecord(kStylePen);
  EXPECT_EQ(board.m_pen.m_width, 0);

  board.m_logFont.lfHeight = INT_MIN;
  board.AppendStyleRecord(kStyleFont);
  EXPECT_EQ(g_records[1].f3, INT_MIN);
  EXPECT_EQ(board.m_font.m_logFont.lfHeight, -kMaxFontPixels);
}
