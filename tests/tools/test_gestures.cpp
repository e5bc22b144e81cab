// The drawing gestures: what each tool records, what it draws, and the
// guards every gesture shares.
#include <QCoreApplication>
#include <QMouseEvent>

#include "platform/wnd_widget_qt.h"
#include "tests/tools/tools_fixture.h"

namespace {

using GesturesTest = ToolsTest;

TEST_F(GesturesTest, PenMovesWithTheLeftButtonDownAppendChainedSegments) {
  UseTool(ID_TOOL_PEN);
  Press({10, 10});
  Move({20, 10});
  Move({30, 15}, MK_LBUTTON | MK_RBUTTON);
  Release({30, 15});
  Move({300, 200}, MK_MBUTTON);  // a middle-button drag does not go on from the stroke's end
  Press({40, 20});
  Move({50, 25});
  EXPECT_EQ(std::tuple(Count(), Describe(0), Describe(1), Describe(2)),
            std::tuple(3, "'#' 20 10 10 10", "'#' 30 15 20 10", "'#' 50 25 40 20"));
}

TEST_F(GesturesTest, ClicksWithoutMovementDrawNothingAndOnlyTheArrowRecordsOne) {
  const Picture before = Snap();
  UseTool(ID_TOOL_PEN);
  Click({50, 50});
  Press({10, 10});
  Move({60, 60}, 0);  // no button held
  Release({60, 60});
  UseTool(ID_TOOL_ARROW);
  Click({300, 200});
  EXPECT_EQ(std::pair(Count(), Describe(0)), std::pair(1, std::string("'R' 300 200 300 200")));
  EXPECT_EQ(CountDifferences(before, Snap()), 0);
}

// Modifier keys come with the platform's mouse event, as the user holds them.
void SendMove(CBoardWnd& board, QPoint at, Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
  QMouseEvent ev(QEvent::MouseMove, QPointF(at), QPointF(at), Qt::NoButton, buttons, mods);
  QCoreApplication::sendEvent(board.GetWidget(), &ev);
}

TEST_F(GesturesTest, CtrlShiftOrRightButtonOnlyMovesDrawNothing) {
  UseTool(ID_TOOL_POLYLINE);  // its band follows the pointer whatever the buttons
  Click({300, 300});
  const Picture before = Snap();
  SendMove(Board(), {100, 20}, Qt::LeftButton, Qt::ControlModifier);
  SendMove(Board(), {100, 100}, Qt::NoButton, Qt::ShiftModifier);
  Move({380, 350}, MK_RBUTTON);
  EXPECT_EQ(CountDifferences(before, Snap()), 0);
  SendMove(Board(), {120, 120}, Qt::NoButton, Qt::NoModifier);
  EXPECT_GT(CountDifferences(before, Snap()), 0);
}
TEST_F(GesturesTest, BrushStampsFifteenByTenAtThePressAndEachLeftOnlyMove) {
  g_style.brushColor = 0x0000FF;
  Board().AppendStyleRecord(kStyleBrush);
  // The slot's unwritten fields keep what it held.
  g_records[1].f3 = 7, g_records[1].f4 = 8, g_records[1].f5 = 9;
  UseTool(ID_TOOL_BRUSH);
  Press({100, 100});
  EXPECT_EQ(std::tuple(Count(), Describe(1), g_records[1].f5),
            std::tuple(2, std::string("'b' 100 100 7 8"), 9));
  Move({210, 200}, MK_LBUTTON | MK_RBUTTON);
  Move({220, 200});
  EXPECT_EQ(std::pair(Count(), Describe(2).substr(0, 11)),
            std::pair(3, std::string("'b' 220 200")));
}

TEST_F(GesturesTest, LinesAndShapesRecordPressAndReleasePointsAndLeaveNoBand) {
  const struct {
    UINT tool;
    const char* record;
  } cases[] = {{ID_TOOL_LINE, "'*' 100 100 200 200"},
               {ID_TOOL_ARROW, "'R' 100 100 200 200"},
               {ID_TOOL_RECT, "'@' 100 100 200 200"},
               {ID_TOOL_ROUNDRECT, "'r' 100 100 200 200"},
               {ID_TOOL_ELLIPSE, "'$' 100 100 200 200"}};
  // Filled without outline in transparent display, a shape inverts the
  // band's place with the rest of its area: no ring is left.
  for (bool transparent : {false, true})
    for (const auto& c : cases) {
      SCOPED_TRACE(c.tool);
      SetUp();
      if (transparent) {
        g_style.outline = 0;
        Board().AppendStyleRecord(kStyleFill);
        Board().OnTransparent();
      }
      UseTool(c.tool);
      Drag({200, 200}, {{150, 170}, {90, 120}}, {100, 100});
      ASSERT_EQ(Count(), transparent ? 3 : 1);
      EXPECT_EQ(Describe(Count() - 1), c.record);
      EXPECT_TRUE(ShowsItsReplay());
    }
}

TEST_F(GesturesTest, PolylineClicksRecordChainedSegmentsUntilADoubleClickOrAnotherTool) {
  UseTool(ID_TOOL_POLYLINE);
  Click({100, 100});
  Move({150, 120}, 0);
  // A palette click between two vertices: the band's pen changes under it.
  g_style.penWidth = 6;
  g_style.penColor = 0xFF0000;
  Board().AppendStyleRecord(kStylePen);
  UseTool(ID_TOOL_POLYLINE);  // the same tool again leaves it open
  Move({200, 110}, 0);
  Click({200, 110});
  Move({250, 200}, 0);
  DoubleClickAt({260, 210});
  EXPECT_EQ(std::tuple(Count(), Describe(0), Describe(2), Describe(3)),
            std::tuple(4, "'z' 100 100 100 100", "'z' 200 110 100 100", "'z' 260 210 200 110"));
  // The band no longer follows the pointer, and the next click starts anew.
  Move({400, 400}, 0);
  Click({300, 300});
  EXPECT_EQ(std::pair(Count(), Describe(4)), std::pair(5, std::string("'z' 300 300 300 300")));
  Move({350, 250}, 0);
  UseTool(ID_TOOL_LINE);
  EXPECT_TRUE(ShowsItsReplay());
}

TEST_F(GesturesTest, AMoveOutsideADragLeavesNoBandForTheNextPressToStrand) {
  UseTool(ID_TOOL_RECT);
  Drag({10, 10}, {{80, 90}}, {80, 90});
  Move({200, 200}, MK_MBUTTON);
  Move({250, 220}, MK_LBUTTON);
  Drag({300, 300}, {{350, 380}}, {350, 380});
  EXPECT_TRUE(Count() == 2 && ShowsItsReplay());
}

TEST_F(GesturesTest, AGestureThatAppendsNothingLeavesAnUndoneRecordForRedo) {
  UseTool(ID_TOOL_LINE);
  Drag({10, 10}, {{60, 70}}, {60, 70});
  Drag({20, 200}, {{300, 210}}, {300, 210});
  Board().OnUndo();

  Press({400, 400});  // a press whose release finds no capture
  CWnd::ReleaseCapture();
  Release({500, 450});
  UseTool(ID_TOOL_PEN);
  Click({5, 5});
  UseTool(ID_TOOL_POLYLINE);
  Press({40, 40});
  CWnd::ReleaseCapture();
  Release({40, 40});

  EXPECT_EQ(std::pair(Count(), Describe(1)), std::pair(1, std::string("'*' 300 210 20 200")))
      << "the undone record is kept";
  Board().OnRedo();
  EXPECT_EQ(Count(), 2);
}

TEST_F(GesturesTest, AFullStoreTakesNoGestureNoSlotPastItsEndAndCutsStrokesAndDragsShort) {
  CBoardWnd& board = Board();
  for (int i = 0; i < kRecordLimit; ++i) g_records[i] = Rec(op::kPen, 0, 0, 0, 2);
  board.m_nCount = kRecordLimit;
  g_records[kRecordLimit] = Rec('x', 1, 2, 3, 4);
  const Picture before = Snap();
  for (UINT tool : {ID_TOOL_PEN, ID_TOOL_BRUSH, ID_TOOL_LINE, ID_TOOL_POLYLINE}) {
    SCOPED_TRACE(tool);
    UseTool(tool);
    Drag({100, 100}, {{150, 150}, {200, 120}}, {200, 120});
    DoubleClickAt({200, 120});
    EXPECT_EQ(std::tuple(Count(), Describe(kRecordLimit), CWnd::GetCapture()),
              std::tuple(kRecordLimit, std::string("'x' 1 2 3 4"), nullptr));
  }
  EXPECT_EQ(CountDifferences(before, Snap()), 0);

  // A pen stroke stops where the store fills.
  board.m_nCount = kRecordLimit - 2;
  UseTool(ID_TOOL_PEN);
  Press({10, 10});
  for (int x = 20; x <= 80; x += 10) Move({x, 10});
  Release({80, 10});
  EXPECT_EQ(std::pair(Count(), Describe(kRecordLimit - 1)),
            std::pair(kRecordLimit, std::string("'#' 30 10 20 10")));
  EXPECT_EQ(CountDifferences(Snap(), Of(board.m_bmpCurrent)), 0)
      << "the segment that filled the store is in the current picture";

  // A drag cut short by a full file opened meanwhile releases the mouse.
  board.m_nCount = 0;
  UseTool(ID_TOOL_RECT);
  Press({10, 10});
  Move({50, 50});
  ASSERT_EQ(CWnd::GetCapture(), &board);
  board.m_nCount = kRecordLimit;
  Release({50, 50});
  EXPECT_EQ(std::pair(CWnd::GetCapture(), Count()), std::pair((CWnd*)nullptr, kRecordLimit));
}

TEST_F(GesturesTest, AfterClearAllShapesStartFromTheStyleTheirReplayStartsFrom) {
  g_style.brushColor = RGB(200, 0, 0);
  Board().AppendStyleRecord(kStyleBrush);
  UseTool(ID_TOOL_RECT);
  Drag({20, 20}, {{120, 90}}, {120, 90});
  m_services.boxAnswers = {IDOK};
  Board().OnClearAll();
  Drag({100, 100}, {{300, 200}}, {300, 200});
  EXPECT_TRUE(Count() == 1 && ShowsItsReplay());
}

// Each row: a tool dragging when a command arrives (the open is cancelled).
// The band goes and the drag records nothing; the moves and the release
// after the command draw nothing. The pen keeps the segments it drew.
TEST_F(GesturesTest, ACommandInTheMiddleOfADragEndsItWithoutATrace) {
  for (UINT tool : {ID_TOOL_LINE, ID_TOOL_ARROW, ID_TOOL_ROUNDRECT, ID_TOOL_PEN}) {
    for (UINT command : {ID_UNDO, ID_OPEN_DATA, ID_START}) {
      SCOPED_TRACE(testing::Message() << tool << " " << command);
      UseTool(ID_TOOL_LINE);
      Drag({10, 300}, {{300, 310}}, {300, 310});
      UseTool(tool);
      const int count = Count(), dy = int(command % 7) * 60;  // rows apart
      Press({100, 100 + dy});
      Move({200, 150 + dy});
      Move({260, 180 + dy});
      Board().OnCmdMsg(command, CN_COMMAND, nullptr);
      EXPECT_EQ(CWnd::GetCapture(), nullptr);
      Move({300, 220 + dy});
      Release({300, 220 + dy});
      EXPECT_EQ(Count(), count + (tool == ID_TOOL_PEN ? 2 : 0) - (command == ID_UNDO));
      EXPECT_TRUE(ShowsItsReplay());
    }
  }
}

TEST_F(GesturesTest,
       APressHidesTheBarsAndEveryLeftReleaseTakesTheCurrentPictureForDrawingToolsOnly) {
  for (UINT tool : {ID_TOOL_POINTER, ID_TOOL_PICKCOLOR, ID_TOOL_LINE}) {
    UseTool(tool);
    Press({10, 10});
    EXPECT_EQ(Frame().m_barsHidden, tool == ID_TOOL_LINE) << tool;
  }
  CBoardWnd& board = Board();
  UseTool(ID_TOOL_ELLIPSE);
  Drag({100, 100}, {{200, 180}}, {200, 180});
  std::string where;
  EXPECT_EQ(CountDifferences(Of(board.m_bmpCurrent), Snap(), &where), 0) << where;

  // The pointer tool takes no picture: a stray drawing stays out of it.
  UseTool(ID_TOOL_POINTER);
  {
    CClientDC dc(&board);
    const CRect rc(0, 0, 30, 30);
    dc.FillSolidRect(&rc, 0x00FF00);
  }
  Click({10, 10});
  EXPECT_NE(Of(board.m_bmpCurrent).At(5, 5), 0x00FF00u);
}
}  // namespace
