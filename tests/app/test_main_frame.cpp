#include <gtest/gtest.h>

#include <memory>

#include "app/main_frame.h"
#include "platform/codepage.h"
#include "platform/services.h"
#include "res/resource.h"

namespace {

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = std::make_unique<CMainFrame>();
    ASSERT_TRUE(frame->LoadFrame());
  }
  std::unique_ptr<CMainFrame> frame;
};

TEST_F(FrameTest, ToggleBarsShowsBothBarsWithThePaletteUnderTheToolBarAndToggleOrHideHidesThem) {
  ASSERT_TRUE(frame->m_barsHidden);
  EXPECT_FALSE(frame->m_toolsBar.IsWindowVisible());
  EXPECT_FALSE(frame->m_paletteBar.IsWindowVisible());

  frame->ToggleBars();
  EXPECT_FALSE(frame->m_barsHidden);
  EXPECT_TRUE(frame->m_toolsBar.IsWindowVisible());
  EXPECT_TRUE(frame->m_paletteBar.IsWindowVisible());
  RECT tools, palette;
  frame->m_toolsBar.GetWindowRect(&tools);
  frame->m_paletteBar.GetWindowRect(&palette);
  EXPECT_EQ(palette.left, tools.left - 2);
  EXPECT_EQ(palette.top, tools.bottom - 17);

  // Wherever the palette was moved, showing the bars places it again.
  frame->m_paletteBar.SetWindowPos(400, 300);
  frame->ToggleBars();
  EXPECT_TRUE(frame->m_barsHidden);
  EXPECT_FALSE(frame->m_toolsBar.IsWindowVisible());
  EXPECT_FALSE(frame->m_paletteBar.IsWindowVisible());
  frame->ToggleBars();
  frame->m_paletteBar.GetWindowRect(&palette);
  EXPECT_EQ(palette.left, tools.left - 2);
  EXPECT_EQ(palette.top, tools.bottom - 17);

  // Hiding hides both, and only when they are shown.
  frame->HideBars();
  EXPECT_TRUE(frame->m_barsHidden);
  EXPECT_FALSE(frame->m_toolsBar.IsWindowVisible());
  EXPECT_FALSE(frame->m_paletteBar.IsWindowVisible());
  frame->HideBars();
  EXPECT_TRUE(frame->m_barsHidden);
}

TEST_F(FrameTest, TheBoardGetsItsFrameTheDrawingToolsAndThePictureCommands) {
  CBoardWnd& board = frame->m_board;
  EXPECT_EQ(board.m_pFrame, frame.get());
  EXPECT_EQ(frame->m_paletteBar.m_pBoard, &board);
  board.SendCommand(ID_TOOL_LINE);
  board.OnLButtonDown(MK_LBUTTON, {10, 10});
  board.OnMouseMove(MK_LBUTTON, {60, 40});
  board.OnLButtonUp(0, {60, 40});
  ASSERT_EQ(board.m_nCount, 1);
  EXPECT_EQ(g_records[0].op, op::kLine);
  plat::ScriptedServices services;
  plat::ScopedServices scope(&services);
  services.fileAnswers = {""};
  EXPECT_TRUE(board.OnCmdMsg(ID_SAVE_PICTURE, CN_COMMAND, nullptr));
  EXPECT_EQ(services.fileRequests.size(), 1u);
}

TEST_F(FrameTest, TheFontBarStartsHiddenAtItsPlaceWithThreeHaoSelected) {
  EXPECT_FALSE(frame->m_fontBar.IsWindowVisible());
  EXPECT_EQ(frame->m_fontBar.GetWindowText(), GBK("字体"));
  RECT rc;
  frame->m_fontBar.GetWindowRect(&rc);
  EXPECT_EQ(rc.left, GetSystemMetrics(SM_CXSCREEN) - 470);
  EXPECT_EQ(rc.top, GetSystemMetrics(SM_CYSCREEN) / 30);
  ASSERT_EQ(frame->m_fontSizeBox.GetCount(), 32);
  EXPECT_EQ(frame->m_fontSizeBox.GetCurSel(), 6);
  std::string label;
  frame->m_fontSizeBox.GetLBText(6, label);
  EXPECT_EQ(label, GBK("三号"));
  frame->m_fontSizeBox.GetLBText(31, label);
  EXPECT_EQ(label, "128");
  EXPECT_EQ(frame->m_paletteBar.GetWindowText(), GBK("调色板"));
}

TEST_F(FrameTest, CommandsGoToTheBoardFirstAndWhatItLeavesReachesTheFrame) {
  CCmdUI popup;
  popup.m_nID = ID_MENU_POPUP;
  EXPECT_TRUE(frame->OnCmdMsg(ID_MENU_POPUP, CN_UPDATE_COMMAND_UI, &popup));
  EXPECT_TRUE(popup.m_bEnabled);
  EXPECT_FALSE(frame->m_board.OnCmdMsg(ID_MENU_POPUP, CN_UPDATE_COMMAND_UI, &popup));

  // Undo is the board's: disabled with an empty store.
  CCmdUI undo;
  undo.m_nID = ID_UNDO;
  EXPECT_TRUE(frame->OnCmdMsg(ID_UNDO, CN_UPDATE_COMMAND_UI, &undo));
  EXPECT_FALSE(undo.m_bEnabled);
  // The exit command falls through to the application.
  CCmdUI exitUi;
  exitUi.m_nID = ID_APP_EXIT;
  EXPECT_TRUE(frame->OnCmdMsg(ID_APP_EXIT, CN_UPDATE_COMMAND_UI, &exitUi));
  EXPECT_FALSE(frame->OnCmdMsg(12345, CN_COMMAND, nullptr));
}

TEST_F(FrameTest, TheHotKeyBringsTheBoardBackAsLeftAndRecapturesOnlyWhenThePictureWasDropped) {
  CBoardWnd& board = frame->m_board;
  board.m_nBackMode = 2;
  frame->ShowWindow(SW_SHOW);
  frame->ToggleBars();
  plat::ScriptedServices services;
  plat::ScopedServices scope(&services);
  services.boxAnswers = {IDYES};
  board.OnTempExit();
  ASSERT_FALSE(frame->IsWindowVisible());
  ASSERT_TRUE(frame->m_barsHidden);
  EXPECT_EQ(frame->OnHotKey(HOTKEY_ACTIVATE, MOD_ALT, '1'), 1);
  EXPECT_TRUE(frame->IsWindowVisible());
  EXPECT_FALSE(frame->m_barsHidden) << "the bars come back as the teacher left them";
  EXPECT_TRUE(frame->m_toolsBar.IsWindowVisible());
  EXPECT_EQ(board.m_nBackMode, 2);  // no capture: the picture was kept
  frame->ToggleBars();
  frame->OnHotKey(HOTKEY_ACTIVATE, MOD_ALT, '1');
  EXPECT_TRUE(frame->m_barsHidden) << "a hot key without a temporary exit leaves them";

  frame->m_tempExited = true;
  frame->ShowWindow(SW_HIDE);
  frame->OnHotKey(HOTKEY_ACTIVATE, MOD_ALT, '1');
  EXPECT_FALSE(frame->m_tempExited);
  EXPECT_EQ(board.m_nBackMode, 0);  // captured anew
  EXPECT_TRUE(frame->IsWindowVisible());
  EXPECT_FALSE(frame->m_barsHidden);
}

}  // namespace
