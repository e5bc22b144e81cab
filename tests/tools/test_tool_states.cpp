// What a tool shows while it is current and what leaving it or undo takes
// away: the font bar and the unfinished text, the magnifier's picture.
#include "board/text_box.h"
#include "platform/codepage.h"
#include "tests/tools/tools_fixture.h"

namespace {

using ToolStatesTest = ToolsTest;

TEST_F(ToolStatesTest, UndoWithTheTextToolDropsTheUnfinishedText) {
  CBoardWnd& board = Board();
  board.AppendRecord(Rec(op::kLine, 1, 1, 50, 50));
  UseTool(ID_TOOL_TEXT);
  board.m_textBox->SetWindowText(GBK("未完"));
  board.m_textBox->ShowWindow(SW_SHOW);
  board.SetTimer(2, 1000);
  board.OnUndo();
  EXPECT_EQ(Count(), 0);
  EXPECT_EQ(board.m_textBox->GetWindowText(), "");
  EXPECT_FALSE(board.m_textBox->IsWindowVisible());
  EXPECT_FALSE(board.HasTimer(2));
  // The text tool stays current, and so does its font bar.
  EXPECT_EQ(board.m_nTool, ID_TOOL_TEXT);
  EXPECT_TRUE(Frame().m_fontBarShown);
}

TEST_F(ToolStatesTest, ToolsTellTheFrameWhatTheyShowAndTheMagnifierTakesTheBoardsPicture) {
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
