// Tool selection, the tool buttons' check marks, the start check mark and
// the cursor each tool shows.
#include "platform/app.h"
#include "tests/tools/board_fixture.h"

namespace {

using ToolSelectTest = BoardTest;

std::vector<UINT> CheckedTools(CBoardWnd& board) {
  std::vector<UINT> checked;
  for (UINT id = ID_TOOL_FILL; id <= ID_TOOL_PICKCOLOR; ++id) {
    CCmdUI ui;
    ui.m_nID = id;
    EXPECT_TRUE(board.OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui));
    EXPECT_TRUE(ui.m_bEnabled);
    if (ui.m_nCheck) checked.push_back(id);
  }
  return checked;
}

TEST_F(ToolSelectTest, ExactlyTheCurrentToolsButtonIsChecked) {
  CBoardWnd& board = Board();
  EXPECT_EQ(CheckedTools(board), std::vector<UINT>{ID_TOOL_POINTER});
  for (UINT id : {ID_TOOL_PEN, ID_TOOL_FILL, ID_TOOL_ELLIPSE, ID_TOOL_POLYLINE, ID_TOOL_BRUSH,
                  ID_TOOL_ARROW, ID_TOOL_POINTER}) {
    board.SendCommand(id);
    EXPECT_EQ(board.m_nTool, id);
    EXPECT_EQ(CheckedTools(board), std::vector<UINT>{id});
  }
}

TEST_F(ToolSelectTest, TheSameToolAgainLeavesAPolylineOpenAnotherEndsItAndTheMarkMode) {
  CBoardWnd& board = Board();
  UseTool(ID_TOOL_FLASH_MARK);
  EXPECT_TRUE(board.m_bMarkMode);
  UseTool(ID_TOOL_POLYLINE);
  EXPECT_FALSE(board.m_bMarkMode);
  Click({100, 100});
  Move({150, 150}, 0);
  UseTool(ID_TOOL_POLYLINE);
  EXPECT_EQ(board.m_nPolyPoints, 1);
  Click({200, 100});
  EXPECT_EQ(Describe(1), "'z' 200 100 100 100");
  UseTool(ID_TOOL_LINE);
  EXPECT_EQ(board.m_nPolyPoints, 0);
}

TEST_F(ToolSelectTest, TheMagnifierHidesTheBarsAndTakesWhatTheBoardShows) {
  CMainFrame& frame = Frame();
  CBoardWnd& board = Board();
  board.m_nZoomLevel = 2;
  UseTool(ID_TOOL_MAGNIFY);
  EXPECT_TRUE(frame.m_barsHidden);
  EXPECT_EQ(board.m_nZoomLevel, 0);
  std::string where;
  EXPECT_EQ(CountDifferences(Of(board.m_bmpZoomView), Snap(), &where), 0) << where;
}

TEST_F(ToolSelectTest, TheTextToolShowsTheFontBarAndLeavingItHidesIt) {
  CMainFrame& frame = Frame();
  UseTool(ID_TOOL_TEXT);
  plat::ProcessEvents();  // the bar is shown at the frame's next layout
  EXPECT_TRUE(frame.m_fontBar.IsWindowVisible());
  UseTool(ID_TOOL_PEN);
  plat::ProcessEvents();
  EXPECT_FALSE(frame.m_fontBar.IsWindowVisible());
}

TEST_F(ToolSelectTest, StartFlipsItsCheckMarkAndStaysEnabled) {
  CBoardWnd& board = Board();
  board.m_bStart = true;
  for (int expected : {0, 1}) {
    board.SendCommand(ID_START);
    CCmdUI ui;
    ui.m_nID = ID_START;
    ui.m_bEnabled = false;
    ASSERT_TRUE(board.OnCmdMsg(ID_START, CN_UPDATE_COMMAND_UI, &ui));
    EXPECT_TRUE(ui.m_bEnabled);
    EXPECT_EQ(ui.m_nCheck, expected);
  }
}

TEST(ToolCursorTest, EachToolShowsItsOwnCursorAndAFullStoreTheFullSign) {
  const struct {
    UINT tool, cursor;
  } table[] = {{ID_TOOL_FILL, 178},       {ID_TOOL_BRUSH, 176},      {ID_TOOL_PEN, 165},
               {ID_TOOL_LINE, 159},       {ID_TOOL_ARROW, 240},      {ID_TOOL_POLYLINE, 241},
               {ID_TOOL_RECT, 242},       {ID_TOOL_ROUNDRECT, 243},  {ID_TOOL_ELLIPSE, 244},
               {ID_TOOL_TEXT, 239},       {ID_TOOL_POINTER, 166},    {ID_TOOL_MAGNIFY, 171},
               {ID_TOOL_FLASH_AREA, 246}, {ID_TOOL_FLASH_RECT, 245}, {ID_TOOL_FLASH_MARK, 184},
               {ID_TOOL_PICKCOLOR, 177}};
  for (const auto& row : table) {
    EXPECT_EQ(ToolCursorId(row.tool, 0), row.cursor) << row.tool;
    EXPECT_EQ(ToolCursorId(row.tool, kRecordLimit - 1), row.cursor) << row.tool;
    EXPECT_EQ(ToolCursorId(row.tool, kRecordLimit), 247u) << row.tool;
    EXPECT_EQ(ToolCursorId(row.tool, kRecordSlots), 247u) << row.tool;
  }
  EXPECT_EQ(ToolCursorId(0, 0), 166u);
  EXPECT_EQ(ToolCursorId(32017, 0), 166u);
  EXPECT_EQ(ToolCursorId(ID_TOOL_PEN, -1), 247u);  // a damaged count is as full
}

HCURSOR ShownCursor() {
  const HCURSOR shown = ::SetCursor(nullptr);
  ::SetCursor(shown);
  return shown;
}

TEST_F(ToolSelectTest, EveryMoveOverTheBoardShowsTheCursorOfTheToolOrOfAFullStore) {
  CBoardWnd& board = Board();
  UseTool(ID_TOOL_LINE);
  Move({10, 10}, 0);
  EXPECT_NE(ShownCursor(), nullptr);
  EXPECT_EQ(ShownCursor(), LoadCursorResource(IDC_LINE));
  board.m_nCount = kRecordLimit;
  Move({11, 10}, 0);
  EXPECT_EQ(ShownCursor(), LoadCursorResource(IDC_FULL));
  board.m_nCount = 0;
  UseTool(ID_TOOL_PICKCOLOR);
  Move({12, 10}, 0);
  EXPECT_EQ(ShownCursor(), LoadCursorResource(IDC_PICKCOLOR));
}

TEST_F(ToolSelectTest, LineAndShapeToolsRepaintThePaletteOthersDoNot) {
  CMainFrame& frame = Frame();
  UseTool(ID_TOOL_PEN);
  plat::ProcessEvents();
  ASSERT_FALSE(frame.m_paletteBar.HasPendingPaint());
  UseTool(ID_TOOL_FILL);
  EXPECT_FALSE(frame.m_paletteBar.HasPendingPaint());
  UseTool(ID_TOOL_LINE);
  EXPECT_TRUE(frame.m_paletteBar.HasPendingPaint());
}

}  // namespace
