// The board's mouse handlers: the guards every tool shares, then the steps of
// the current tool's gesture.
#include <utility>

#include "board/board_wnd.h"
#include "res/resource.h"

void CBoardWnd::OnLButtonDown(UINT flags, CPoint pt) {
  // A press during a review ends the review and draws nothing.
  if (m_pReplayDlg) {
    PrepareForCommand();
    m_bDragCancelled = true;
    return;
  }
  m_bDragCancelled = false;
  if (StoreFull(m_nCount)) return;
  if (m_nTool != ID_TOOL_PICKCOLOR && m_nTool != ID_TOOL_POINTER) HideFrameBars();
  m_bDragging = true;
  if (CToolGesture* gesture = CurrentGesture()) gesture->OnPress(*this, flags, pt);
  Default();
}

void CBoardWnd::OnMouseMove(UINT flags, CPoint pt) {
  SetToolCursor();
  if (m_bDragCancelled) {
    if (flags & MK_LBUTTON) return;
    m_bDragCancelled = false;
  }
  if (m_pReplayDlg || StoreFull(m_nCount)) return;
  // Ctrl or Shift held lets the pointer travel without drawing.
  if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_SHIFT) < 0) {
    Default();
    return;
  }
  if (flags == MK_RBUTTON) return;
  if (CToolGesture* gesture = CurrentGesture()) gesture->OnMove(*this, flags, pt);
  Default();
}

void CBoardWnd::OnLButtonUp(UINT flags, CPoint pt) {
  const bool dragged = std::exchange(m_bDragging, false);
  if (std::exchange(m_bDragCancelled, false)) return;
  if (m_pReplayDlg || StoreFull(m_nCount)) {
    // A drag cut short here (a file that filled the store was opened during
    // it) must not keep the mouse, or the board would swallow every click.
    if (GetCapture() == this) ReleaseCapture();
    // A pen or brush stroke that filled the store drew and recorded its
    // last step: the current picture takes it, or the next repaint would
    // wipe a step the records hold.
    if (dragged && !m_pReplayDlg && m_nTool < ID_TOOL_POINTER) SnapshotBoard();
    return;
  }
  CToolGesture* gesture = CurrentGesture();
  if (gesture && gesture->OnRelease(*this, flags, pt)) return;
  Default();
  // Tools 32001 to 32009 have changed the picture: it becomes the current one.
  if (m_nTool < ID_TOOL_POINTER) SnapshotBoard();
}

void CBoardWnd::OnLButtonDblClk(UINT flags, CPoint pt) {
  if (m_pReplayDlg) return;
  if (CToolGesture* gesture = CurrentGesture()) gesture->OnDoubleClick(*this, flags, pt);
  Default();
}

void CBoardWnd::OnRButtonUp(UINT flags, CPoint pt) {
  if (m_pReplayDlg) return;
  if (CToolGesture* gesture = CurrentGesture()) gesture->OnRightRelease(*this, flags, pt);
  // A right click shows or hides the bars, whatever the tool.
  if (m_pFrame) m_pFrame->ToggleBars();
  Default();
}

void CBoardWnd::SetTools(std::unique_ptr<CBoardTools> tools) { m_tools = std::move(tools); }

CToolGesture* CBoardWnd::CurrentGesture() const {
  return m_tools ? m_tools->GestureFor(m_nTool) : nullptr;
}

void CBoardWnd::EndGestures() {
  if (m_tools) m_tools->EndGestures(*this);
}

// The gestures own the board's timers: the flashing shapes one, the text box
// another.
void CBoardWnd::OnTimer(UINT_PTR id) {
  if (m_tools) m_tools->Tick(*this, id);
  CWnd::OnTimer(id);
}

void CBoardWnd::OnKeyDown(UINT vk, UINT repeat, UINT flags) {
  if (m_pReplayDlg && m_pReplayDlg->OnReviewKey(vk)) return;
  CWnd::OnKeyDown(vk, repeat, flags);
}

void CBoardWnd::PrepareForCommand() {
  if (std::exchange(m_bDragging, false)) {
    m_bDragCancelled = true;
    if (CToolGesture* gesture = CurrentGesture()) gesture->Cancel(*this);
    // What the drag drew for good stays, as after a release.
    if (m_nTool < ID_TOOL_POINTER) SnapshotBoard();
  }
  if (GetCapture() == this) ReleaseCapture();
  if (m_pReplayDlg) {
    m_pReplayDlg->CloseReview();
    m_pReplayDlg = nullptr;
    // Repainted now: a command that draws over the screen and snapshots
    // would otherwise have its drawing painted over.
    UpdateWindow();
  }
}

bool CBoardWnd::OnCmdMsg(UINT nID, int nCode, CCmdUI* pCmdUI) {
  if (nCode != CN_UPDATE_COMMAND_UI && HasCommandHandler(nID)) PrepareForCommand();
  return CWnd::OnCmdMsg(nID, nCode, pCmdUI);
}
