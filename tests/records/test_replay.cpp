#include <climits>

#include "platform/codepage.h"
#include "platform/services.h"
#include "records/draw_geometry.h"
#include "records/replay_timeline.h"
#include "test_board.h"

namespace {

class Replay : public RecordsTest {
 protected:
  plat::ScriptedServices services;
  plat::ScopedServices scope{&services};
  TestBoard board;
};

}  // namespace

TEST_F(Replay, AFillRecordFillsWithTheBrushColourInForce) {
  Load(board, {Rec(op::kPen, 0, 0, PS_SOLID, 1, kRed), Rec(op::kBrush, 0, 0, 0, 0, kGreen),
               Rec(op::kRect, 200, 200, 100, 100), Rec(op::kBrush, 0, 0, 0, 0, kBlue),
               Rec(op::kFloodFill, 10, 10), Rec(op::kFloodFill, 5000, -40)});
  board.Replay(0, board.m_nCount, false);
  // Inside the red outline is not reached.
  board.ExpectPixels({{10, 10, kBlue}, {399, 299, kBlue}, {150, 150, kGreen}, {100, 150, kRed}});
}

TEST_F(Replay, TextAndFontRecordsTakeTheirEntriesFromTheTextListInOrder) {
  g_style.penColor = kRed;
  board.m_logFont.lfWidth = 20;  // a font record does not carry the width
  board.m_texts = {GBK("黑体"), "one", "two"};
  Load(board, {Rec(op::kFont, 1, 1, 30, FW_BOLD), Rec(op::kText, 10, 10, 200, 60),
               Rec(op::kText, 10, 100, 200, 160), Rec(op::kText, 10, 200, 200, 260),
               Rec(op::kFont, 0, 0, 50, 0)});
  board.Replay(0, board.m_nCount, false);
  const LOGFONT& lf = board.m_logFont;
  EXPECT_EQ(
      std::tuple(lf.lfFaceName, lf.lfHeight, lf.lfWeight, lf.lfItalic, lf.lfUnderline, lf.lfWidth),
      std::tuple(GBK("黑体"), LONG(30), LONG(FW_BOLD), BYTE(1), BYTE(1), LONG(9)));
  EXPECT_EQ(std::pair(board.m_font.m_logFont.lfHeight, board.m_font.m_logFont.lfWidth),
            std::pair(LONG(30), LONG(9)));
  // Two texts drawn on their boxes of the brush colour; the third and the
  // last font found no entry.
  board.ExpectPixels({{150, 50, kWhite}, {8, 30, kBlack}, {8, 130, kBlack}, {8, 230, kWhite}});
  EXPECT_TRUE(board.m_posText == board.m_texts.end());
}

TEST_F(Replay, RangesOutsideTheStoreAreClampedAndUnknownOpcodesAndEmptySlotsDrawNothing) {
  Load(board, {Rec(op::kBrush, 0, 0, 0, 0, kGreen)});
  g_records[kRecordSlots - 1] = Rec(op::kBrushDab, 300, 200);
  board.Replay(-7, INT_MAX, false);  // from before the first: a full replay
  // The stamp is 15 x 10 at its corner, exactly.
  EXPECT_EQ(std::pair(board.Count(kGreen, 300, 200, 315, 210), board.Count(kGreen)),
            std::pair(150, 150));
  board.Clear(kWhite);
  board.Replay(INT_MAX, INT_MIN, false);
  board.Replay(kRecordSlots, kRecordSlots + 1, false);
  // Only a replay from the first resets the style.
  EXPECT_EQ(std::pair(board.Count(kWhite), g_style.brushColor), std::pair(400 * 300, kGreen));

  Load(board, {Rec(op::kEmpty, 100, 100, 10, 10), Rec('\xFF', 100, 100, 10, 10)});
  board.Replay(0, 2, true);
  EXPECT_TRUE(board.Count(kWhite) == 400 * 300 && services.pauses.empty());
}

TEST_F(Replay, AnimatedShapesPauseAtPressAndReleaseFollowingTheirToolsAndTextOnceAtItsCorner) {
  board.m_texts = {"hello"};
  Load(board, {Rec(op::kLine, 300, 75, 10, 75), Rec(op::kRect, 200, 150, 100, 50),
               Rec(op::kText, 20, 200, 200, 260), Rec(op::kArrow, 390, 10, 300, 10),
               Rec(op::kEllipse, 60, 60, 10, 10), Rec(op::kRoundRect, 390, 290, 300, 200),
               Rec(op::kPolyline, 5, 5, 1, 1)});
  board.Replay(0, board.m_nCount, true);
  // A shape: its press point (f3, f4) and a full pause, then its release
  // point (f1, f2) and half of it; a text: its corner and a full pause.
  std::vector<POINT> moves;
  std::vector<unsigned> pauses;
  for (int i = 0; i < board.m_nCount; ++i) {
    const DrawRecord& r = g_records[i];
    if (r.op != op::kText) moves.push_back({r.f3, r.f4}), pauses.push_back(2000);
    moves.push_back({r.f1, r.f2}), pauses.push_back(r.op == op::kText ? 2000 : 1000);
  }
  EXPECT_EQ(std::pair(services.pointerMoves, services.pauses), std::pair(moves, pauses));
  EXPECT_EQ(board.cursorTools,
            (std::vector<UINT>{ID_TOOL_LINE, ID_TOOL_RECT, ID_TOOL_TEXT, ID_TOOL_ARROW,
                               ID_TOOL_ELLIPSE, ID_TOOL_ROUNDRECT, ID_TOOL_POLYLINE}));
  // The line, the rectangle and the text's frame were drawn.
  board.ExpectPixels({{50, 75, kBlack}, {100, 100, kBlack}, {18, 230, kBlack}});
}

TEST_F(Replay, AnimatedStrokesMoveThePointerWithoutPausesOrCursor) {
  Load(board, {Rec(op::kPenSegment, 20, 20, 10, 10), Rec(op::kBrushDab, 50, 60),
               Rec(op::kFloodFill, 300, 200)});
  board.Replay(0, 3, true);
  EXPECT_EQ(services.pointerMoves, (std::vector<POINT>{{20, 20}, {50, 60}, {300, 200}}));
  EXPECT_EQ(services.pauses, std::vector<unsigned>{2000});  // the fill only
  EXPECT_EQ(board.cursorTools, std::vector<UINT>{ID_TOOL_FILL});
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
  EXPECT_EQ(
      std::tuple(board.m_pen.m_width, board.m_pen.m_style, g_style.penWidth, g_style.penStyle),
      std::tuple(1, PS_SOLID, 1, 99));
  EXPECT_EQ(std::pair(board.m_logFont.lfHeight, board.m_font.m_logFont.lfHeight),
            std::pair(LONG(INT_MIN), LONG(-kMaxFontPixels)));

  // A huge pen covers the board along its segment.
  Load(board, {Rec(op::kPen, 0, 0, PS_SOLID, INT_MAX, kRed),
               Rec(op::kPenSegment, 1000000, 150, -1000000, 150)});
  board.Replay(0, 2, false);
  EXPECT_EQ(board.Count(kRed), 400 * 300);
}

TEST_F(Replay, APlayStartsEachRecordOneTickAfterTheOneBeforeEndedAndStyleRecordsTakeNoTime) {
  Load(board, {Rec(op::kPen, 0, 0, PS_SOLID, 1, kRed), Rec(op::kLine, 300, 75, 10, 75),
               Rec(op::kPenSegment, 20, 20, 10, 10), Rec(op::kText, 20, 200, 200, 260)});
  const std::vector<ReplayStep> play = PlayTimeline(g_records, board.m_nCount, 2000);
  std::vector<std::pair<int, std::uint64_t>> starts, ends;
  for (std::size_t i = 0; i < play.size(); ++i) {
    if (i == 0 || play[i - 1].record != play[i].record)
      starts.push_back({play[i].record, play[i].atMs});
    if (play[i].kind == ReplayStep::kEnd) ends.push_back({play[i].record, play[i].atMs});
  }
  using Times = std::vector<std::pair<int, std::uint64_t>>;
  EXPECT_EQ(starts, (Times{{0, 20}, {1, 40}, {2, 3060}, {3, 3080}}));
  EXPECT_EQ(ends, (Times{{0, 20}, {1, 3040}, {2, 3060}, {3, 5080}}));
  EXPECT_TRUE(PlayTimeline(g_records, -1, 2000).empty());
}
