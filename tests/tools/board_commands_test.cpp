// Undo, redo, clear all, temporary exit and their command states.
#include "board/text_box.h"
#include "platform/app.h"
#include "platform/codepage.h"
#include "tests/tools/board_fixture.h"

namespace {

using BoardCommandsTest = BoardTest;

bool Enabled(CBoardWnd& board, UINT id) {
  CCmdUI ui;
  ui.m_nID = id;
  ui.m_bEnabled = true;
  EXPECT_TRUE(board.OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui));
  return ui.m_bEnabled;
}

TEST_F(BoardCommandsTest, UndoRedrawsTheRemainingRecordsOverTheBackground) {
  CBoardWnd& board = Board();
  UseTool(ID_TOOL_LINE);
  Drag({10, 10}, {{200, 100}}, {200, 100});
  const Picture first = Snap();
  UseTool(ID_TOOL_RECT);
  Drag({50, 150}, {{300, 260}}, {300, 260});
  board.OnUndo();
  EXPECT_EQ(Count(), 1);
  std::string where;
  EXPECT_EQ(CountDifferences(first, Snap(), &where), 0) << where;
  EXPECT_EQ(CountDifferences(first, Of(board.m_bmpCurrent), &where), 0) << where;
  EXPECT_FALSE(board.m_bRedrawing);
}

TEST_F(BoardCommandsTest, RedoAfterANewStepBringsBackTheOlderUndoneStep) {
  CBoardWnd& board = Board();
  UseTool(ID_TOOL_LINE);
  Drag({10, 10}, {{100, 10}}, {100, 10});
  Drag({10, 20}, {{100, 20}}, {100, 20});
  Drag({10, 30}, {{100, 30}}, {100, 30});
  board.OnUndo();
  board.OnUndo();
  ASSERT_EQ(Count(), 1);
  Drag({10, 40}, {{100, 40}}, {100, 40});
  EXPECT_EQ(Describe(1), "'*' 100 40 10 40");
  ASSERT_TRUE(Enabled(board, ID_REDO));
  board.OnRedo();
  EXPECT_EQ(Count(), 3);
  EXPECT_EQ(Describe(2), "'*' 100 30 10 30");
  std::string where;
  const Picture live = Snap();
  EXPECT_EQ(CountDifferences(Of(board.m_bmpCurrent), live, &where), 0) << where;
  EXPECT_EQ(CountDifferences(live, ReplayedPicture(), &where), 0) << where;
}

TEST_F(BoardCommandsTest, UndoOfATextOrFontRecordDropsItsTextButAPenRecordStaysForRedo) {
  CBoardWnd& board = Board();
  g_style.faceName = GBK("宋体");
  board.AppendStyleRecord(kStyleFont);
  board.AppendRecord(Rec(op::kText, 10, 10, 200, 60));
  board.m_texts.push_back(GBK("课文"));
  ASSERT_EQ(board.m_texts.size(), 2u);

  board.OnUndo();
  EXPECT_EQ(g_records[1].op, op::kEmpty);
  EXPECT_EQ(board.m_texts.size(), 1u);
  EXPECT_FALSE(Enabled(board, ID_REDO));
  board.OnUndo();
  EXPECT_EQ(g_records[0].op, op::kEmpty);
  EXPECT_TRUE(board.m_texts.empty());
  EXPECT_FALSE(Enabled(board, ID_UNDO));

  // A pen record is kept for redo.
  g_style.penColor = 0x00FF00;
  board.AppendStyleRecord(kStylePen);
  board.OnUndo();
  EXPECT_EQ(board.m_pen.m_color, 0x000000u);
  ASSERT_TRUE(Enabled(board, ID_REDO));
  board.OnRedo();
  EXPECT_EQ(Count(), 1);
  EXPECT_EQ(board.m_pen.m_color, 0x00FF00u);
}

TEST_F(BoardCommandsTest, UndoWithTheTextToolDropsTheUnfinishedText) {
  CMainFrame& frame = Frame();
  CBoardWnd& board = Board();
  board.AppendRecord(Rec(op::kLine, 1, 1, 50, 50));
  UseTool(ID_TOOL_TEXT);
  plat::ProcessEvents();  // the font bar shows
  ASSERT_TRUE(frame.m_fontBar.IsWindowVisible());
  board.m_textBox->SetWindowText(GBK("未完"));
  board.m_textBox->ShowWindow(SW_SHOW);
  board.SetTimer(2, 1000);
  board.OnUndo();
  plat::ProcessEvents();
  EXPECT_EQ(Count(), 0);
  EXPECT_EQ(board.m_textBox->GetWindowText(), "");
  EXPECT_FALSE(board.m_textBox->IsWindowVisible());
  EXPECT_FALSE(board.HasTimer(2));
  // The text tool stays current, and so does its font bar.
  EXPECT_EQ(board.m_nTool, ID_TOOL_TEXT);
  EXPECT_TRUE(frame.m_fontBar.IsWindowVisible());
}

TEST_F(BoardCommandsTest, CommandStatesFollowTheStoreAndRedoIsRefusedWhereItCannotWork) {
  CBoardWnd& board = Board();
  EXPECT_FALSE(Enabled(board, ID_UNDO));
  EXPECT_FALSE(Enabled(board, ID_CLEAR_ALL));
  // As after an open of a shorter file: an old text record lies at the count,
  // its text entry gone.
  g_records[0] = Rec(op::kText, 10, 10, 100, 40);
  g_records[1] = Rec(op::kFont, 0, 0, 21, 0);
  EXPECT_FALSE(Enabled(board, ID_REDO));
  board.OnRedo();
  EXPECT_EQ(Count(), 0);
  board.m_nCount = 1;
  EXPECT_FALSE(Enabled(board, ID_REDO));

  board.m_nCount = 0;
  board.AppendRecord(Rec(op::kLine, 1, 1, 5, 5));
  EXPECT_TRUE(Enabled(board, ID_UNDO));
  EXPECT_TRUE(Enabled(board, ID_CLEAR_ALL));
  EXPECT_FALSE(Enabled(board, ID_REDO));
  // At the drawing limit redo does nothing, so it is not offered either.
  g_records[kRecordLimit] = Rec(op::kLine, 1, 1, 5, 5);
  board.m_nCount = kRecordLimit;
  EXPECT_FALSE(Enabled(board, ID_REDO));
  board.OnRedo();
  EXPECT_EQ(Count(), kRecordLimit);
  board.m_nCount = kRecordLimit - 1;
  g_records[kRecordLimit - 1] = Rec(op::kLine, 1, 1, 5, 5);
  EXPECT_TRUE(Enabled(board, ID_REDO));

  // Undo at a full file steps back into the store.
  for (int i = 0; i < kRecordSlots; ++i) g_records[i] = Rec(op::kLine, 5, 5 + i % 50, 1, 1);
  board.m_nCount = kRecordSlots;
  board.OnUndo();
  EXPECT_EQ(Count(), kRecordLimit);
  EXPECT_EQ(g_records[kRecordLimit].op, op::kLine);
}

TEST_F(BoardCommandsTest, ClearAllWithOkEmptiesEverySlotAndLeavesTheBarsShown) {
  CMainFrame& frame = Frame();
  CBoardWnd& board = Board();
  UseTool(ID_TOOL_LINE);
  Drag({10, 10}, {{200, 100}}, {200, 100});
  frame.ToggleBars();  // the command is chosen from the shown tool bar
  ASSERT_FALSE(frame.m_barsHidden);
  board.OnUndo();
  m_services.boxAnswers.push_back(IDOK);
  board.OnClearAll();
  ASSERT_EQ(m_services.boxes.size(), 1u);
  EXPECT_EQ(m_services.boxes[0].text, GBK("删除所有的作图记录？"));
  EXPECT_EQ(m_services.boxes[0].type & 0xF, MB_OKCANCEL);
  EXPECT_EQ(Count(), 0);
  EXPECT_EQ(g_records[0].op, op::kEmpty);
  EXPECT_FALSE(Enabled(board, ID_REDO));
  EXPECT_TRUE(board.m_texts.empty());
  EXPECT_FALSE(frame.m_barsHidden);
  std::string where;
  EXPECT_EQ(CountDifferences(Snap(), Of(board.m_bmpCaptured), &where), 0) << where;
  EXPECT_EQ(CountDifferences(Of(board.m_bmpCurrent), Of(board.m_bmpCaptured), &where), 0) << where;
}

TEST_F(BoardCommandsTest, ClearAllOrTemporaryExitCancelledChangesNothing) {
  CMainFrame& frame = Frame();
  CBoardWnd& board = Board();
  board.AppendRecord(Rec(op::kLine, 1, 1, 5, 5));
  for (bool hidden : {false, true}) {
    if (frame.m_barsHidden != hidden) frame.ToggleBars();
    m_services.boxAnswers.push_back(IDCANCEL);
    board.OnClearAll();
    EXPECT_EQ(Count(), 1);
    EXPECT_EQ(frame.m_barsHidden, hidden);
    EXPECT_EQ(frame.m_toolsBar.IsWindowVisible(), !hidden);
  }
  frame.ToggleBars();
  m_services.boxAnswers.push_back(IDCANCEL);
  board.OnTempExit();
  EXPECT_TRUE(frame.IsWindowVisible());
  EXPECT_FALSE(frame.m_tempExited);
  EXPECT_FALSE(frame.m_barsHidden);
  EXPECT_EQ(Count(), 1);
}

TEST_F(BoardCommandsTest, TemporaryExitKeepingThePictureOnlyHidesTheFrame) {
  CMainFrame& frame = Frame();
  CBoardWnd& board = Board();
  UseTool(ID_TOOL_LINE);
  Drag({10, 10}, {{200, 100}}, {200, 100});
  const Picture drawn = Snap();
  frame.ToggleBars();  // the command is chosen from the shown tool bar
  m_services.boxAnswers.push_back(IDYES);
  board.OnTempExit();
  plat::ProcessEvents();
  ASSERT_EQ(m_services.boxes.size(), 1u);
  EXPECT_EQ(m_services.boxes[0].text, GBK("是否保存当前画面，以待激活时重现？"));
  EXPECT_EQ(m_services.boxes[0].caption, GBK("请按Alt+1激活"));
  EXPECT_EQ(m_services.boxes[0].type & 0xF, MB_YESNOCANCEL);
  EXPECT_FALSE(frame.IsWindowVisible());
  EXPECT_FALSE(frame.m_tempExited);
  // The floating bars do not stay behind over the desktop.
  EXPECT_FALSE(frame.m_toolsBar.IsWindowVisible());
  EXPECT_FALSE(frame.m_paletteBar.IsWindowVisible());
  frame.OnHotKey(HOTKEY_ACTIVATE, MOD_ALT, '1');
  EXPECT_TRUE(frame.IsWindowVisible());
  EXPECT_EQ(Count(), 1);
  std::string where;
  EXPECT_EQ(CountDifferences(drawn, Snap(), &where), 0) << where;
}

// The desktop the board is hidden from: a screen-sized window showing stripes.
// Offscreen, a screen capture is the picture of such a window.
class CDesktopStandIn : public CWnd {
 public:
  bool OnEraseBkgnd(CDC* pDC) override {
    RECT rc;
    GetClientRect(&rc);
    for (int x = 0; x < rc.right; x += 8) {
      const CRect stripe(x, 0, x + 8, rc.bottom);
      pDC->FillSolidRect(&stripe, RGB(x % 256, 90, 200 - x % 128));
    }
    return true;
  }
};

TEST_F(BoardCommandsTest, TemporaryExitDroppingThePictureCapturesAfreshOnTheHotKey) {
  CMainFrame& frame = Frame();
  CBoardWnd& board = Board();
  g_style.penColor = 0x00FFFF;
  board.AppendStyleRecord(kStylePen);
  UseTool(ID_TOOL_LINE);
  Drag({10, 10}, {{200, 100}}, {200, 100});
  Drag({10, 300}, {{200, 300}}, {200, 300});
  m_services.boxAnswers.push_back(IDNO);
  board.OnTempExit();
  plat::ProcessEvents();
  EXPECT_TRUE(frame.m_tempExited);
  EXPECT_FALSE(frame.IsWindowVisible());
  EXPECT_TRUE(frame.m_barsHidden);
  EXPECT_FALSE(frame.m_toolsBar.IsWindowVisible());

  CDesktopStandIn desktop;
  ASSERT_TRUE(desktop.CreateEx(0, WS_POPUP | WS_VISIBLE, std::string(), nullptr,
                               CRect(0, 0, board.m_rcDesktop.right, board.m_rcDesktop.bottom), 0));
  desktop.ShowWindow(SW_SHOWNOACTIVATE);
  plat::ProcessEvents(50);
  desktop.Invalidate(true);
  desktop.UpdateWindow();
  Picture screen;
  {
    CClientDC dc(&desktop);
    CBitmap shot;
    shot.CreateCompatibleBitmap(&dc, board.m_rcDesktop.right, board.m_rcDesktop.bottom);
    CDC mem;
    mem.CreateCompatibleDC(&dc);
    CBitmap* old = mem.SelectObject(&shot);
    mem.BitBlt(0, 0, shot.Width(), shot.Height(), &dc, 0, 0, SRCCOPY);
    mem.SelectObject(old);
    screen = Of(shot);
  }

  frame.OnHotKey(HOTKEY_ACTIVATE, MOD_ALT, '1');
  desktop.DestroyWindow();
  EXPECT_FALSE(frame.m_tempExited);
  EXPECT_TRUE(frame.IsWindowVisible());
  EXPECT_FALSE(frame.m_barsHidden);
  EXPECT_EQ(Count(), 3);
  std::string where;
  EXPECT_EQ(CountDifferences(screen, Snap(), &where), 0) << where;
  EXPECT_EQ(CountDifferences(screen, Of(board.m_bmpCaptured), &where), 0) << where;

  // Undo draws the remaining line over the fresh capture, and only that.
  board.OnUndo();
  const Picture after = Snap();
  int redrawn = 0, kept = 0;
  for (int y = 0; y < after.height; ++y)
    for (int x = 0; x < after.width; ++x) {
      const bool same = after.At(x, y) == screen.At(x, y);
      if (y < 150) redrawn += !same;
      if (y >= 150) kept += same;
    }
  EXPECT_GT(redrawn, 300);  // a 2-pixel line about 210 pixels long
  EXPECT_EQ(kept, after.width * (after.height - 150));
  EXPECT_EQ(CountDifferences(after, ReplayedPicture(), &where), 0) << where;
}

}  // namespace
