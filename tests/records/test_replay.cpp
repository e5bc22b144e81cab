#include <climits>

#include "platform/codepage.h"
#include "platform/services.h"
#include "records/draw_geometry.h"
#include "test_board.h"

namespace {

constexpr COLORREF kWhite = 0xFFFFFF, kBlack = 0x000000, kRed = 0x0000FF, kGreen = 0x00FF00,
                   kBlue = 0xFF0000;

class Replay : public RecordsTest {
 protected:
  plat::ScriptedServices services;
  plat::ScopedServices scope{&services};
  TestBoard board;
};

std::vector<std::pair<int, int>> Moves(const plat::ScriptedServices& s) {
  std::vector<std::pair<int, int>> out;
  for (const POINT& p : s.pointerMoves) out.emplace_back(p.x, p.y);
  return out;
}

}  // namespace

TEST_F(Replay, FromTheFirstRecordToTheFirstOnlyResetsTheStyle) {
  Load(board, {Rec(op::kLine, 300, 100, 10, 100)});
  g_style.penColor = kRed;
  g_style.fill = 0;
  board.m_texts = {"t"};
  board.m_posText = board.m_texts.end();
  board.m_bTransparent = true;
  board.Replay(0, 0, true);
  EXPECT_EQ(board.Count(kWhite, 0, 0, 400, 300), 400 * 300);
  EXPECT_EQ(g_style.penColor, kBlack);
  EXPECT_EQ(g_style.fill, 1);
  EXPECT_TRUE(board.m_posText == board.m_texts.begin());
  EXPECT_FALSE(board.m_bTransparent);
  EXPECT_TRUE(services.pauses.empty());
  EXPECT_TRUE(services.pointerMoves.empty());
}

TEST_F(Replay, DrawsSegmentsDabsAndLinesWithTheStyleOfTheRecordsBeforeThem) {
  Load(board, {Rec(op::kPen, 0, 0, PS_SOLID, 1, kRed), Rec(op::kPenSegment, 100, 20, 10, 20),
               Rec(op::kBrush, 0, 0, 0, 0, kGreen), Rec(op::kBrushDab, 200, 200),
               Rec(op::kPen, 0, 0, PS_SOLID, 3, kBlue), Rec(op::kLine, 300, 60, 10, 60),
               Rec(op::kPolyline, 300, 90, 10, 90)});
  board.Replay(0, board.m_nCount, false);
  EXPECT_EQ(board.Pixel(10, 20), kRed);
  EXPECT_EQ(board.Pixel(99, 20), kRed);
  EXPECT_EQ(board.Pixel(100, 20), kWhite);  // the end pixel is left out
  EXPECT_EQ(board.Count(kGreen, 200, 200, 215, 210), 150);
  EXPECT_EQ(board.Count(kGreen, 0, 0, 400, 300), 150);
  EXPECT_EQ(board.Pixel(150, 59), kBlue);
  EXPECT_EQ(board.Pixel(150, 61), kBlue);
  EXPECT_EQ(board.Pixel(150, 90), kBlue);
  EXPECT_EQ(g_style.penWidth, 3);
  EXPECT_EQ(g_style.penColor, kBlue);
  EXPECT_EQ(g_style.brushColor, kGreen);
  EXPECT_EQ(board.m_pen.m_width, 3);
}

TEST_F(Replay, AFillRecordFillsWithTheBrushColourInForce) {
  Load(board, {Rec(op::kPen, 0, 0, PS_SOLID, 1, kRed), Rec(op::kBrush, 0, 0, 0, 0, kGreen),
               Rec(op::kRect, 200, 200, 100, 100), Rec(op::kBrush, 0, 0, 0, 0, kBlue),
               Rec(op::kFloodFill, 10, 10), Rec(op::kFloodFill, 5000, -40)});
  board.Replay(0, board.m_nCount, false);
  EXPECT_EQ(board.Pixel(10, 10), kBlue);
  EXPECT_EQ(board.Pixel(399, 299), kBlue);
  EXPECT_EQ(board.Pixel(150, 150), kGreen);  // inside the red outline: not reached
  EXPECT_EQ(board.Pixel(100, 150), kRed);
}

TEST_F(Replay, StyleRecordsSetTheStyleAndTransparentRecordsTheMode) {
  Load(board, {Rec(op::kFill, 0, 0, 0, 1), Rec(op::kTransparentOn)});
  board.Replay(0, 2, false);
  EXPECT_EQ(g_style.outline, 0);
  EXPECT_EQ(g_style.fill, 1);
  EXPECT_TRUE(board.m_bTransparent);
  g_records[2] = Rec(op::kTransparentOff);
  board.Replay(2, 3, false);
  EXPECT_FALSE(board.m_bTransparent);
  board.m_bTransparent = true;
  board.Replay(0, 1, false);  // from the first record: off again
  EXPECT_FALSE(board.m_bTransparent);
}

TEST_F(Replay, TextAndFontRecordsTakeTheirEntriesFromTheTextListInOrder) {
  g_style.penColor = kRed;
  board.m_texts = {GBK("黑体"), "one", "two"};
  Load(board, {Rec(op::kFont, 1, 1, 30, FW_BOLD), Rec(op::kText, 10, 10, 200, 60),
               Rec(op::kText, 10, 100, 200, 160), Rec(op::kText, 10, 200, 200, 260),
               Rec(op::kFont, 0, 0, 50, 0)});
  board.Replay(0, board.m_nCount, false);
  EXPECT_EQ(board.m_logFont.lfFaceName, GBK("黑体"));
  EXPECT_EQ(board.m_logFont.lfHeight, 30);
  EXPECT_EQ(board.m_logFont.lfWeight, FW_BOLD);
  EXPECT_EQ(board.m_logFont.lfItalic, 1);
  EXPECT_EQ(board.m_logFont.lfUnderline, 1);
  EXPECT_EQ(board.m_font.m_logFont.lfHeight, 30);
  // Two texts drawn on their boxes; the third and the last font found no entry.
  EXPECT_EQ(board.Pixel(150, 50), kWhite);  // brush colour box
  EXPECT_EQ(board.Pixel(8, 30), kBlack);
  EXPECT_EQ(board.Pixel(8, 130), kBlack);
  EXPECT_EQ(board.Pixel(8, 230), kWhite);
  EXPECT_TRUE(board.m_posText == board.m_texts.end());
}

TEST_F(Replay, AFontRecordDoesNotCarryTheFontWidth) {
  board.m_logFont.lfWidth = 20;
  board.m_texts = {"face"};
  Load(board, {Rec(op::kFont, 0, 0, 40, 0)});
  board.Replay(0, 1, false);
  EXPECT_EQ(board.m_logFont.lfHeight, 40);
  EXPECT_EQ(board.m_logFont.lfWidth, 9);
  EXPECT_EQ(board.m_font.m_logFont.lfWidth, 9);
  // The wrapping counts 9-pixel cells: 100 wide holds 11 bytes, not 4.
  g_records[1] = Rec(op::kText, 10, 10, 110, 200);
  g_style.penColor = kRed;
  board.m_bTransparent = true;
  board.Draw(1, std::string(11, 'W'));
  EXPECT_EQ(board.Count(kRed, 0, 55, 400, 300), 0);  // one 40-pixel line only
}

TEST_F(Replay, RedoOfOneRecordKeepsTheStyleAndTheTextCursor) {
  board.m_texts = {"a", "b"};
  Load(board, {Rec(op::kPen, 0, 0, PS_SOLID, 4, kRed), Rec(op::kText, 10, 10, 100, 40),
               Rec(op::kLine, 300, 150, 10, 150)});
  board.Replay(0, 2, false);
  ASSERT_TRUE(board.m_posText == std::next(board.m_texts.begin()));
  board.Replay(2, 3, false);
  EXPECT_EQ(g_style.penColor, kRed);
  EXPECT_EQ(board.m_pen.m_width, 4);
  EXPECT_EQ(board.Pixel(150, 150), kRed);
  EXPECT_TRUE(board.m_posText == std::next(board.m_texts.begin()));
}

TEST_F(Replay, RangesOutsideTheStoreAreClamped) {
  Load(board, {Rec(op::kBrush, 0, 0, 0, 0, kGreen)});
  g_records[kRecordSlots - 1] = Rec(op::kBrushDab, 300, 200);
  board.Replay(-7, INT_MAX, false);  // from before the first: a full replay
  EXPECT_EQ(board.Count(kGreen, 300, 200, 315, 210), 150);
  board.Clear(kWhite);
  board.Replay(INT_MAX, INT_MIN, false);
  board.Replay(10, 5, false);
  board.Replay(kRecordSlots, kRecordSlots + 1, false);
  EXPECT_EQ(board.Count(kWhite, 0, 0, 400, 300), 400 * 300);
  EXPECT_EQ(g_style.brushColor, kGreen);  // none of them reset the style
}

TEST_F(Replay, UnknownOpcodesAndEmptySlotsDrawNothing) {
  Load(board, {Rec(op::kEmpty, 100, 100, 10, 10), Rec('?', 100, 100, 10, 10),
               Rec('\0', 100, 100, 10, 10), Rec('\xFF', 100, 100, 10, 10)});
  board.Replay(0, 4, true);
  EXPECT_EQ(board.Count(kWhite, 0, 0, 400, 300), 400 * 300);
  EXPECT_TRUE(services.pauses.empty());
}

TEST_F(Replay, AnimatedShapesPauseAtPressAndReleaseFollowingTheirToolsAndTextOnceAtItsCorner) {
  board.m_texts = {"hello"};
  Load(board, {Rec(op::kLine, 300, 75, 10, 75), Rec(op::kRect, 200, 150, 100, 50),
               Rec(op::kText, 20, 200, 200, 260), Rec(op::kArrow, 390, 10, 300, 10),
               Rec(op::kEllipse, 60, 60, 10, 10), Rec(op::kRoundRect, 390, 290, 300, 200),
               Rec(op::kPolyline, 5, 5, 1, 1)});
  board.Replay(0, board.m_nCount, true);
  EXPECT_EQ(Moves(services), (std::vector<std::pair<int, int>>{{10, 75},
                                                               {300, 75},
                                                               {100, 50},
                                                               {200, 150},
                                                               {20, 200},
                                                               {300, 10},
                                                               {390, 10},
                                                               {10, 10},
                                                               {60, 60},
                                                               {300, 200},
                                                               {390, 290},
                                                               {1, 1},
                                                               {5, 5}}));
  EXPECT_EQ(services.pauses, (std::vector<unsigned>{2000, 1000, 2000, 1000, 2000, 2000, 1000, 2000,
                                                    1000, 2000, 1000, 2000, 1000}));
  EXPECT_EQ(board.cursorTools,
            (std::vector<UINT>{ID_TOOL_LINE, ID_TOOL_RECT, ID_TOOL_TEXT, ID_TOOL_ARROW,
                               ID_TOOL_ELLIPSE, ID_TOOL_ROUNDRECT, ID_TOOL_POLYLINE}));
  EXPECT_EQ(board.m_nTool, ID_TOOL_POLYLINE);
  EXPECT_EQ(board.Pixel(50, 75), kBlack);    // the line,
  EXPECT_EQ(board.Pixel(100, 100), kBlack);  // the rectangle
  EXPECT_EQ(board.Pixel(18, 230), kBlack);   // and the text's frame were drawn
}

TEST_F(Replay, AnimatedStrokesMoveThePointerWithoutPausesOrCursor) {
  Load(board, {Rec(op::kPenSegment, 20, 20, 10, 10), Rec(op::kBrushDab, 50, 60),
               Rec(op::kFloodFill, 300, 200)});
  board.Replay(0, 3, true);
  EXPECT_EQ(Moves(services), (std::vector<std::pair<int, int>>{{20, 20}, {50, 60}, {300, 200}}));
  EXPECT_EQ(services.pauses, std::vector<unsigned>{2000});  // the fill only
  EXPECT_EQ(board.cursorTools, std::vector<UINT>{ID_TOOL_FILL});
  EXPECT_EQ(board.m_nTool, ID_TOOL_FILL);
}

TEST_F(Replay, AbsurdRecordsFromAFileDrawClippedAndFinish) {
  board.m_texts = {"face", "text"};
  Load(
      board,
      {Rec(op::kPen, 0, 0, PS_DASHDOT, INT_MAX, kRed),
       Rec(op::kPenSegment, INT_MAX, INT_MAX, INT_MIN, INT_MIN), Rec(op::kPen, 0, 0, 99, 1, kBlue),
       Rec(op::kLine, INT_MAX, 150, INT_MIN, 150),
       Rec(op::kPolyline, INT_MIN, INT_MAX, INT_MAX, INT_MIN), Rec(op::kBrushDab, INT_MAX, INT_MAX),
       Rec(op::kBrushDab, INT_MIN, INT_MIN), Rec(op::kRect, INT_MAX, INT_MAX, INT_MIN, INT_MIN),
       Rec(op::kRoundRect, INT_MIN, INT_MIN, INT_MAX, INT_MAX),
       Rec(op::kEllipse, INT_MAX, INT_MAX, INT_MIN, INT_MIN),
       Rec(op::kArrow, INT_MAX, INT_MIN, INT_MIN, INT_MAX),
       Rec(op::kFont, INT_MIN, INT_MAX, INT_MIN, INT_MAX),
       Rec(op::kText, INT_MIN, INT_MIN, INT_MAX, INT_MAX), Rec(op::kFloodFill, INT_MIN, INT_MAX),
       Rec(op::kTransparentOn), Rec(op::kRect, INT_MAX, INT_MAX, INT_MIN, INT_MIN),
       Rec(op::kEllipse, INT_MIN, INT_MIN, INT_MAX, INT_MAX)});
  board.Replay(0, board.m_nCount, false);
  EXPECT_EQ(board.m_pen.m_width, 1);
  EXPECT_EQ(board.m_pen.m_style, PS_SOLID);
  EXPECT_EQ(g_style.penWidth, 1);
  EXPECT_EQ(g_style.penStyle, 99);
  EXPECT_EQ(board.m_logFont.lfHeight, INT_MIN);
  EXPECT_EQ(board.m_font.m_logFont.lfHeight, -kMaxFontPixels);

  // A huge pen covers the board along its segment.
  Load(board, {Rec(op::kPen, 0, 0, PS_SOLID, INT_MAX, kRed),
               Rec(op::kPenSegment, 1000000, 150, -1000000, 150)});
  board.m_bTransparent = false;
  board.Replay(0, 2, false);
  EXPECT_EQ(board.Count(kRed, 0, 0, 400, 300), 400 * 300);
}

TEST_F(Replay, AReplayedArrowLeavesNoInvertedPixelsAlongItsLine) {
  // Steep, thin and wide arrows: the shaft and the head do not cover every
  // pixel of the line, so an inverting pass would leave a trace.
  const std::vector<DrawRecord> arrows = {
      Rec(op::kPen, 0, 0, PS_SOLID, 1, 0x0000FF), Rec(op::kArrow, 380, 37, 12, 250),
      Rec(op::kPen, 0, 0, PS_DASH, 1, 0x00FF00),  Rec(op::kArrow, 33, 290, 300, 5),
      Rec(op::kPen, 0, 0, PS_SOLID, 7, 0x808080), Rec(op::kArrow, 200, 20, 210, 280)};
  Load(board, arrows);
  board.Replay(0, board.m_nCount, false);
  // Nothing but white and the three pen colours.
  for (COLORREF c : board.Pixels())
    ASSERT_TRUE(c == 0xFFFFFF || c == 0x0000FF || c == 0x00FF00 || c == 0x808080) << std::hex << c;
}
