#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <memory>
#include <tuple>

#include "app/main_frame.h"
#include "dialogs/replay_dlg.h"
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

TEST_F(FrameTest, ThePaletteShowsUnderTheToolBarWhereverEitherWasMovedAndBothStayInSight) {
  frame->ToggleBars();
  frame->m_paletteBar.SetWindowPos(400, 300);
  frame->ToggleBars();
  frame->ToggleBars();
  CRect tools, palette;
  frame->m_toolsBar.GetWindowRect(&tools);
  frame->m_paletteBar.GetWindowRect(&palette);
  EXPECT_EQ(std::pair(palette.left, palette.top), std::pair(tools.left - 2, tools.bottom - 17));

  // A bar dragged by its caption past the screen's edges stays wholly on it,
  // and the palette then shown beside it leaves the buttons in sight.
  QWidget* bar = frame->m_toolsBar.GetWidget();
  const CRect screen(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  const auto area = [](const RECT& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
  };
  for (const QPoint to : {QPoint(screen.right - 3, screen.bottom - 2), QPoint(-500, -500)}) {
    const QPoint grip(20, 5), from = bar->geometry().topLeft() + grip;  // on the caption
    for (const auto& [type, at, buttons] :
         {std::tuple(QEvent::MouseButtonPress, from, 1), std::tuple(QEvent::MouseMove, to, 1),
          std::tuple(QEvent::MouseButtonRelease, to, 0)}) {
      QMouseEvent e(type, QPointF(grip), QPointF(at), Qt::LeftButton,
                    buttons ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(bar, &e);
    }
    frame->m_toolsBar.GetWindowRect(&tools);
    EXPECT_TRUE(area(screen).contains(area(tools))) << to.x() << ", " << to.y();
  }
  frame->FloatControlBar(&frame->m_toolsBar, POINT{screen.right, screen.bottom}, CBRS_ALIGN_TOP);
  frame->ToggleBars();
  frame->ToggleBars();
  frame->m_toolsBar.GetWindowRect(&tools);
  frame->m_paletteBar.GetWindowRect(&palette);
  EXPECT_FALSE(area(tools).intersects(area(palette))) << "in the corner: beside it on the left";
}

TEST_F(FrameTest, TheFontBarStartsHiddenAtItsPlaceWithThreeHaoSelected) {
  RECT rc;
  frame->m_fontBar.GetWindowRect(&rc);
  std::string label;
  frame->m_fontSizeBox.GetLBText(frame->m_fontSizeBox.GetCurSel(), label);
  EXPECT_EQ(std::tuple(frame->m_fontBar.IsWindowVisible(), frame->m_fontBar.GetWindowText(),
                       rc.left, rc.top, label),
            std::tuple(false, GBK("字体"), LONG(GetSystemMetrics(SM_CXSCREEN) - 470),
                       LONG(GetSystemMetrics(SM_CYSCREEN) / 30), GBK("三号")));
}

TEST_F(FrameTest, CommandsGoToTheBoardFirstAndWhatItLeavesReachesTheFrame) {
  CCmdUI ui;
  ui.m_nID = ID_MENU_POPUP;
  EXPECT_FALSE(frame->m_board.OnCmdMsg(ID_MENU_POPUP, CN_UPDATE_COMMAND_UI, &ui));
  EXPECT_TRUE(frame->OnCmdMsg(ID_MENU_POPUP, CN_UPDATE_COMMAND_UI, &ui));
  // Undo is the board's: disabled with an empty store.
  ui.m_nID = ID_UNDO;
  EXPECT_TRUE(frame->OnCmdMsg(ID_UNDO, CN_UPDATE_COMMAND_UI, &ui) && !ui.m_bEnabled);
}

TEST_F(FrameTest, TheHotKeyRestoresTheBarsCapturesOnlyOnceAfterATemporaryExitAndEndsAReview) {
  frame->ShowWindow(SW_SHOW);
  frame->ToggleBars();
  plat::ScriptedServices services;
  plat::ScopedServices scope(&services);
  services.boxAnswers = {IDYES};
  frame->m_board.OnTempExit();
  EXPECT_EQ(frame->OnHotKey(HOTKEY_ACTIVATE, MOD_ALT, '1'), 1);
  ASSERT_FALSE(frame->m_barsHidden);
  frame->ToggleBars();
  frame->OnHotKey(HOTKEY_ACTIVATE, MOD_ALT, '1');
  EXPECT_TRUE(frame->m_barsHidden) << "a hot key without a temporary exit leaves them";
  frame->m_tempExited = true;
  frame->OnHotKey(HOTKEY_ACTIVATE, MOD_ALT, '1');
  EXPECT_FALSE(frame->m_tempExited);
  OnReplay(frame->m_board);
  ASSERT_NE(frame->m_board.m_pReplayDlg, nullptr);
  frame->OnHotKey(HOTKEY_ACTIVATE, MOD_ALT, '1');
  EXPECT_EQ(frame->m_board.m_pReplayDlg, nullptr) << "the hot key ends a review";
}

}  // namespace
