#include "app/main_frame.h"

#include <cstring>
#include <utility>

#include "app/picture_commands.h"
#include "app/pointer_app.h"
#include "dialogs/replay_dlg.h"
#include "platform/app.h"
#include "platform/codepage.h"
#include "platform/desktop.h"
#include "res/res.h"
#include "res/resource.h"
#include "tools/gesture.h"

namespace {
// First field of a string resource ("first\nsecond").
std::string FirstField(unsigned id) {
  const char* s = res::String(id);
  if (!s) return {};
  const char* nl = std::strchr(s, '\n');
  return nl ? std::string(s, nl) : std::string(s);
}
}  // namespace

CMainFrame::CMainFrame() {
  OnCommand(ID_MENU_POPUP, [this] { OnMenuPopup(); });
}

CMainFrame::~CMainFrame() = default;

bool CMainFrame::LoadFrame() {
  CREATESTRUCT cs;
  cs.style = WS_OVERLAPPEDWINDOW;
  cs.lpszName = GBK(FirstField(IDR_MAINFRAME));
  if (!CreateEx(0, cs.style, cs.lpszName, nullptr, CRect(), 0)) return false;
  SetAccelerators(this, {{MK_CONTROL, 'O', ID_OPEN_DATA},
                         {MK_CONTROL, 'S', ID_SAVE_DATA},
                         {0, VK_F12, ID_APP_EXIT},
                         {MK_CONTROL, 'Z', ID_UNDO}});
  return true;
}

bool CMainFrame::PreCreateWindow(CREATESTRUCT& cs) {
  if (!CFrameWnd::PreCreateWindow(cs)) return false;
  // A bare pop-up exactly covering the screen.
  cs.style = WS_POPUP;
  cs.x = 0;
  cs.y = 0;
  cs.cx = GetSystemMetrics(SM_CXSCREEN);
  cs.cy = GetSystemMetrics(SM_CYSCREEN);
  cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
  cs.classStyle = 0;
  cs.hasCursor = false;
  cs.hasBackground = false;
  return true;
}

int CMainFrame::OnCreate(CREATESTRUCT* cs) {
  if (CFrameWnd::OnCreate(cs) == -1) return -1;
  if (!m_board.CreateInFrame(*this, *this)) return -1;
  m_board.SetTools(MakeBoardTools());
  InstallPictureCommands(m_board);
  InstallReplayCommand(m_board);
  m_share = std::make_unique<CBoardShare>(m_board);
  EnableDocking(CBRS_ALIGN_ANY);
  if (!CreateToolsBar() || !CreatePaletteBar() || !CreateFontBar()) return -1;
  // Alt+1 may be taken by another program; the board then runs without it.
  RegisterHotKey(this, HOTKEY_ACTIVATE, MOD_ALT, '1');
  return 0;
}

void CMainFrame::OnSetFocus(CWnd*) { m_board.SetFocus(); }

void CMainFrame::OnClose() {
  UnregisterHotKey(this, HOTKEY_ACTIVATE);
  // The frame's windows go with the application object when the loop ends.
  m_toolsBar.ShowWindow(SW_HIDE);
  m_paletteBar.ShowWindow(SW_HIDE);
  m_fontBar.ShowWindow(SW_HIDE);
  ShowWindow(SW_HIDE);
  plat::QuitMessageLoop(0);
}

long CMainFrame::OnHotKey(UINT id, UINT, UINT) {
  // The board comes back as the drawing itself, not as a review or a drag.
  m_board.PrepareForCommand();
  if (id == HOTKEY_ACTIVATE && m_tempExited) {
    // The capture shows the bars again.
    m_board.CaptureScreen();
    m_tempExited = false;
  }
  ShowWindow(SW_MAXIMIZE);
  if (std::exchange(m_barsBeforeExit, false) && m_barsHidden) ToggleBars();
  SetForegroundWindow();
  return 1;
}

bool CMainFrame::OnCmdMsg(UINT nID, int nCode, CCmdUI* pCmdUI) {
  if (m_board.OnCmdMsg(nID, nCode, pCmdUI)) return true;
  if (CFrameWnd::OnCmdMsg(nID, nCode, pCmdUI)) return true;
  return theApp.OnCmdMsg(nID, nCode, pCmdUI);
}

void CMainFrame::ToggleBars() {
  m_barsHidden = !m_barsHidden;
  if (!m_barsHidden) {
    m_toolsBar.GetWindowRect(&m_toolsBarRect);
    CPoint at(m_toolsBarRect.left - ScaleToDpi(2),
              m_toolsBarRect.bottom - ScaleToDpi(CToolBarEx::kPaletteOverlap));
    // A screen too low for the palette below the tool bar gets it beside,
    // on the left where the screen ends on the right (a bar dragged into a
    // corner), so that it does not lie over the buttons.
    CRect palette;
    m_paletteBar.GetWindowRect(&palette);
    if (at.y + palette.Height() > GetSystemMetrics(SM_CYSCREEN)) {
      at = CPoint(m_toolsBarRect.right, m_toolsBarRect.top);
      if (at.x + palette.Width() > GetSystemMetrics(SM_CXSCREEN))
        at.x = m_toolsBarRect.left - palette.Width();
    }
    FloatControlBar(&m_paletteBar, at, CBRS_ALIGN_TOP);
    // The palette, shown last, lies over the tool bar's empty bottom strip:
    // its caption stays in sight.
    ShowControlBar(&m_toolsBar, true, false);
    ShowControlBar(&m_paletteBar, true, false);
  } else {
    ShowControlBar(&m_toolsBar, false, false);
    ShowControlBar(&m_paletteBar, false, false);
  }
}

void CMainFrame::HideBars() {
  if (m_barsHidden) return;
  ShowControlBar(&m_toolsBar, false, false);
  ShowControlBar(&m_paletteBar, false, false);
  m_barsHidden = true;
}

void CMainFrame::OnMenuPopup() {
  RECT rc;
  m_toolsBar.GetWindowRect(&rc);
  CMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING, ID_START, GBK("启动"));
  menu.AppendMenu(MF_SEPARATOR);
  menu.AppendMenu(MF_STRING, ID_OPEN_DATA, GBK("打开"));
  menu.AppendMenu(MF_STRING, ID_SAVE_DATA, GBK("保存"));
  menu.AppendMenu(MF_SEPARATOR);
  menu.AppendMenu(MF_STRING, ID_APP_EXIT, GBK("退出"));
  menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, rc.left - 3, rc.top + 25, this);
  menu.DestroyMenu();
}
