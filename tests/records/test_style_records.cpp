#include <climits>

#include "platform/codepage.h"
#include "records/draw_geometry.h"
#include "test_board.h"

namespace {

class StyleRecords : public RecordsTest {
 protected:
  TestBoard board;
};

// The objects the board built from the style.
auto Objects(const TestBoard& b) {
  return std::tuple(b.m_pen.m_style, b.m_pen.m_width, b.m_pen.m_color, b.m_brush.m_color,
                    b.m_font.m_logFont.lfHeight);
}

}  // namespace

TEST_F(StyleRecords, ChangesOfOneKindInARowCoalesceAndOtherKindsBetweenThemDoNot) {
  for (COLORREF c : {0x0000FFu, 0x00FF00u, 0xFF0000u}) {
    g_style.penColor = c;
    board.AppendStyleRecord(kStylePen);
  }
  ASSERT_EQ(board.m_nCount, 1);
  EXPECT_EQ(Fields(g_records[0]), Fields(Rec(op::kPen, 0, 0, PS_SOLID, 2, 0xFF0000)));
  EXPECT_EQ(board.textColors, (std::vector<COLORREF>{0x0000FF, 0x00FF00, 0xFF0000}));

  g_style.brushColor = 0x00FF00;
  board.AppendStyleRecord(kStyleBrush);
  g_style.penWidth = 5;
  board.AppendStyleRecord(kStylePen);
  ASSERT_EQ(board.m_nCount, 3);
  EXPECT_EQ(Fields(g_records[1]), Fields(Rec(op::kBrush, 0, 0, 0, 0, 0x00FF00)));
  EXPECT_EQ(Fields(g_records[2]), Fields(Rec(op::kPen, 0, 0, PS_SOLID, 5, 0xFF0000)));
  EXPECT_EQ(Objects(board), std::tuple(PS_SOLID, 5, 0xFF0000u, 0x00FF00u, LONG(21)));
  EXPECT_EQ(board.textBkColors, std::vector<COLORREF>{0x00FF00});
}

TEST_F(StyleRecords, TwoFontChangesInARowLeaveOneRecordAndOneTextEntry) {
  g_style.faceName = GBK("黑体");
  board.m_logFont.lfHeight = 30;
  board.AppendStyleRecord(kStyleFont);
  board.m_posText = board.m_texts.begin();
  g_style.faceName = GBK("楷体");
  board.m_logFont.lfHeight = 40, board.m_logFont.lfWeight = FW_BOLD;
  board.m_logFont.lfItalic = board.m_logFont.lfUnderline = 1;
  board.AppendStyleRecord(kStyleFont);

  ASSERT_EQ(board.m_nCount, 1);
  EXPECT_EQ(Fields(g_records[0]), Fields(Rec(op::kFont, 1, 1, 40, FW_BOLD)));
  EXPECT_EQ(board.m_texts, (std::list<std::string>{GBK("楷体")}));
  ASSERT_TRUE(board.m_posText != board.m_texts.end()) << "the replay cursor stays on the face";
  EXPECT_EQ(board.m_font.m_logFont.lfHeight, 40);
  EXPECT_EQ(board.textFonts, (std::vector<CFont*>{&board.m_font, &board.m_font}));
}

// A reset leaves the chosen face in the style and the default in the
// logical font: a later size change must draw in the face it records.
TEST_F(StyleRecords, AFontChangeAfterAResetDrawsInTheFaceItRecordsAsItsReplayDoes) {
  g_style.faceName = GBK("黑体");
  board.m_logFont.lfFaceName = g_style.faceName;
  board.AppendStyleRecord(kStyleFont);
  board.ResetStyle(false);
  ASSERT_EQ(board.m_logFont.lfFaceName, GBK("宋体"));
  board.m_logFont.lfHeight = 40;
  board.AppendStyleRecord(kStyleFont);
  ASSERT_EQ(board.m_texts.back(), GBK("黑体"));
  EXPECT_EQ(board.m_font.m_logFont.lfFaceName, GBK("黑体"));

  board.ResetStyle(false);
  board.Replay(0, board.m_nCount, false);
  EXPECT_EQ(board.m_font.m_logFont.lfFaceName, GBK("黑体"));

  // No face chosen yet: the default face, which an empty name replays as.
  g_style.faceName.clear();
  board.ResetStyle(false);
  board.AppendStyleRecord(kStyleFont);
  EXPECT_EQ(board.m_font.m_logFont.lfFaceName, GBK("宋体"));
}

TEST_F(StyleRecords, FillChoicesCoalesceTellNobodyAndStyleRecordsKeepOtherFields) {
  g_style.fill = 0;
  board.AppendStyleRecord(kStyleFill);
  g_style.outline = 0;
  board.AppendStyleRecord(kStyleFill);
  board.AppendStyleRecord(7);  // not a kind: nothing
  ASSERT_EQ(board.m_nCount, 1);
  EXPECT_EQ(Fields(g_records[0]), Fields(Rec(op::kFill, 0, 0, 0, 0)));
  EXPECT_TRUE(board.textColors.empty() && board.textBkColors.empty() && board.textFonts.empty());

  // A style record writes only its own fields.
  g_records[1] = Rec('x', 11, 12, 13, 14, 15);
  g_records[1].pad[1] = 7;
  board.AppendStyleRecord(kStyleBrush);
  EXPECT_EQ(std::pair(Fields(g_records[1]), g_records[1].pad[1]),
            std::pair(Fields(Rec(op::kBrush, 11, 12, 13, 14, 0xFFFFFF)), char(7)));

  // Outline without fill: the live choice and its replay must read the two
  // fields the same way round.
  g_style.fill = 0, g_style.outline = 1;
  board.m_nCount = 0;
  board.AppendStyleRecord(kStyleFill);
  EXPECT_EQ(Fields(g_records[0]), Fields(Rec(op::kFill, 0, 0, 1, 0)));
  board.ResetStyle(false);
  board.Replay(0, 1, false);
  EXPECT_EQ(std::pair(g_style.outline, g_style.fill), std::pair(1, 0));
}

TEST_F(StyleRecords, AtTheLimitAStyleChangeAppendsNothingAndRebuildsNothing) {
  board.m_nCount = kRecordLimit;
  g_records[kRecordLimit - 1] = Rec(op::kPen, 0, 0, PS_SOLID, 2, 0);
  g_style.penColor = 0x0000FF, g_style.brushColor = 0x00FF00, g_style.fill = 0;
  board.m_logFont.lfHeight = 50;
  for (int kind : {kStylePen, kStyleBrush, kStyleFill, kStyleFont}) board.AppendStyleRecord(kind);

  // Not coalesced into the last record either.
  EXPECT_EQ(std::pair(board.m_nCount, g_records[kRecordLimit - 1].f5), std::pair(kRecordLimit, 0));
  EXPECT_EQ(Objects(board), std::tuple(PS_SOLID, 2, 0u, 0xFFFFFFu, LONG(21)));
  EXPECT_TRUE(board.m_texts.empty() && board.textColors.empty() && board.textBkColors.empty() &&
              board.textFonts.empty());
}

TEST_F(StyleRecords, AppendRecordFillsTheOpenSlotOnlyBelowTheLimit) {
  board.m_nCount = kRecordLimit - 1;
  EXPECT_TRUE(board.AppendRecord(Rec(op::kLine, 1, 2, 3, 4)));
  EXPECT_EQ(std::pair(board.m_nCount, g_records[kRecordLimit - 1].op),
            std::pair(kRecordLimit, op::kLine));
  // At 4999 the last slot belongs to files only.
  EXPECT_FALSE(board.AppendRecord(Rec(op::kRect, 1, 2, 3, 4)));
  EXPECT_EQ(std::pair(board.m_nCount, g_records[kRecordLimit].op),
            std::pair(kRecordLimit, op::kEmpty));
  // A damaged negative count is as full, not an index below the store.
  board.m_nCount = -1;
  EXPECT_TRUE(!board.AppendRecord(Rec(op::kRect)) && board.m_nCount == -1);
}

TEST_F(StyleRecords, ResetToDefaultsKeepsPenStyleWidthAndFaceButBuildsAWidthTwoPen) {
  g_style = {0x0000FF, 0x00FF00, PS_DASH, 5, 0, 0, GBK("黑体")};
  board.AppendStyleRecord(kStylePen);
  board.m_logFont.lfHeight = 40;
  board.m_texts = {"a", "b"};
  board.m_posText = board.m_texts.end();
  board.m_bTransparent = true;
  board.textColors.clear();

  board.ResetStyle(false);
  EXPECT_EQ(Fields(g_style), Fields(DrawStyle{0, 0xFFFFFF, PS_DASH, 5, 1, 1, GBK("黑体")}));
  EXPECT_EQ(Objects(board), std::tuple(PS_SOLID, 2, 0u, 0xFFFFFFu, LONG(21)));
  EXPECT_EQ(
      std::tuple(board.m_logFont.lfHeight, board.m_logFont.lfWidth, board.m_logFont.lfFaceName),
      std::tuple(LONG(21), LONG(9), GBK("宋体")));
  EXPECT_TRUE(board.m_posText == board.m_texts.begin() && !board.m_bTransparent &&
              board.textColors.empty());
}

TEST_F(StyleRecords, ResetToTheSavedStyleRestoresItAndNothingElse) {
  g_styleSaved = {0x0000FF, 0x00FF00, PS_DOT, 4, 0, 1, GBK("黑体")};
  board.m_logFontSaved = board.m_logFont;
  board.m_logFontSaved.lfHeight = 33;
  board.m_texts = {"a"};
  board.m_posText = board.m_texts.end();
  board.m_bTransparent = true;

  board.ResetStyle(true);
  EXPECT_EQ(Fields(g_style), Fields(g_styleSaved));
  EXPECT_EQ(Objects(board), std::tuple(PS_DOT, 4, 0x0000FFu, 0x00FF00u, LONG(33)));
  EXPECT_TRUE(board.m_posText == board.m_texts.end() && board.m_bTransparent);
}

TEST_F(StyleRecords, RemovingTheTextUnderTheReplayCursorMovesTheCursorToTheEnd) {
  board.m_texts = {"a", "b"};
  board.m_posText = std::prev(board.m_texts.end());
  board.RemoveLastText();
  EXPECT_TRUE(board.m_posText == board.m_texts.end() &&
              board.m_texts == std::list<std::string>{"a"});
  board.RemoveLastText();
  board.RemoveLastText();  // empty: nothing
  EXPECT_TRUE(board.m_texts.empty());
}

TEST_F(StyleRecords, AbsurdPenWidthsAreBoundedInThePenOnly) {
  g_style.penWidth = INT_MAX;
  board.AppendStyleRecord(kStylePen);
  EXPECT_EQ(std::pair(g_records[0].f4, board.m_pen.m_width), std::pair(INT_MAX, kMaxPenWidth));
  g_style.penWidth = -5;
  board.AppendStyleRecord(kStylePen);
  EXPECT_EQ(board.m_pen.m_width, 0);
}
