// The board's mouse handlers: the guards every tool shares, then the steps of
// the current tool's gesture.
#include "app/main_frame.h"
#include "board/board_wnd.h"
#include "res/resource.h"
#include "tools/gesture.h"

void CBoardWnd::OnLButtonDown(UINT flags, CPoint pt) {
  if (m_pReplayDlg || StoreFull(m_nCount)) return;
  if (m_nTool != ID_TOOL_PICKCOLOR && m_nTool != ID_TOOL_POINTER) HideFrameBars();
  if (CToolGesture* gesture = GestureFor(m_nTool)) gesture->OnPress(*this, flags, pt);
  Default();
}

void CBoardWnd::OnMouseMove(UINT flags, CPoint pt) {
  SetToolCursor();
  if (m_pReplayDlg || StoreFull(m_nCount)) return;
  // Ctrl or Shift held lets the pointer travel without drawing.
  if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_SHIFT) < 0) {
    Default();
    return;
  }
  if (flags == MK_RBUTTON) return;
  if (CToolGesture* gesture = GestureFor(m_nTool)) gesture->OnMove(*this, flags, pt);
  Default();
}

void CBoardWnd::OnLButtonUp(UINT flags, CPoint pt) {
  if (m_pReplayDlg || StoreFull(m_nCount)) {
    // A drag cut short here (a file that filled the store was opened during
    // it) must not keep the mouse, or the board would swallow every click.
    if (GetCapture() == this) ReleaseCapture();
    return;
  }
  CToolGesture* gesture = GestureFor(m_nTool);
  if (gesture && gesture->OnRelease(*this, flags, pt)) return;
  // The flashing mark's release acts whenever mark mode is armed.
  if (m_bMarkMode) {
    CToolGesture* mark = GestureFor(ID_TOOL_FLASH_MARK);
    if (mark && mark != gesture) mark->OnRelease(*this, flags, pt);
  }
  Default();
  // Tools 32001 to 32009 have changed the picture: it becomes the current one.
  if (m_nTool < ID_TOOL_POINTER) SnapshotBoard();
}

void CBoardWnd::OnLButtonDblClk(UINT flags, CPoint pt) {
  if (m_pReplayDlg) return;
  if (CToolGesture* gesture = GestureFor(m_nTool)) gesture->OnDoubleClick(*this, flags, pt);
  Default();
}

void CBoardWnd::OnRButtonUp(UINT flags, CPoint pt) {
  if (m_pReplayDlg) return;
  if (CToolGesture* gesture = GestureFor(m_nTool)) gesture->OnRightRelease(*this, flags, pt);
  // A right click shows or hides the bars, whatever the tool.
  if (m_pFrame) m_pFrame->ToggleBars();
  Default();
}

// The flashing shapes (timer 4) and the text box (timer 2) hook their ticks in
// here; any other tick gets default processing.
void CBoardWnd::OnTimer(UINT_PTR id) { CWnd::OnTimer(id); }
