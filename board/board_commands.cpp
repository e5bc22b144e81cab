#include <algorithm>

#include "board/board_wnd.h"
#include "platform/codepage.h"
#include "res/resource.h"

namespace {
// Redo raises the count over the record in the open slot. A text or font
// record there lost its text-list entry (undo marks its own ones empty; an
// open or a background change drops the list), so it is never brought back.
bool CanRedo(const CBoardWnd& board) {
  if (StoreFull(board.m_nCount)) return false;
  const char op = g_records[board.m_nCount].op;
  return op != op::kEmpty && op != op::kText && op != op::kFont;
}
}  // namespace

void CBoardWnd::ClearTransientMarks() {
  if (CToolGesture* gesture = CurrentGesture()) gesture->Leave(*this);
  EndGestures();
}

void CBoardWnd::OnUndo() {
  // The redraw takes an open polyline's band away, so the polyline ends.
  EndGestures();
  HideFrameBars();
  m_bRedrawing = true;
  ShowBackground();
  if (CToolGesture* gesture = CurrentGesture()) gesture->Discard(*this);
  if (m_nCount > 0) {
    m_nCount = std::min(m_nCount, kRecordSlots) - 1;
    // A text or font record takes its text-list entry with it for good.
    DrawRecord& undone = g_records[m_nCount];
    if (undone.op == op::kText || undone.op == op::kFont) {
      RemoveLastText();
      undone.op = op::kEmpty;
    }
  }
  Replay(0, m_nCount, false);
  UpdateWindow();
  SnapshotBoard();
  m_bRedrawing = false;
  if (m_pFrame) m_pFrame->ToggleBars();
  if (m_pFrame) m_pFrame->RepaintPalette();
}

void CBoardWnd::OnRedo() {
  if (!CanRedo(*this)) return;
  EndGestures();
  // The record goes over the current picture, not over a flashing shape
  // the tool shows for the moment: the snapshot would keep that for good.
  Invalidate(true);
  UpdateWindow();
  Replay(m_nCount, m_nCount + 1, false);
  ++m_nCount;
  SnapshotBoard();
  if (m_pFrame) m_pFrame->RepaintPalette();
}

void CBoardWnd::OnClearAll() {
  if (m_nTool == ID_TOOL_TEXT) ClearTransientMarks();
  if (AfxMessageBox(GBK("删除所有的作图记录？"), MB_OKCANCEL) == IDOK) {
    EndGestures();
    m_nCount = 0;
    m_texts.clear();
    m_posText = m_texts.end();
    MarkAllSlotsEmpty();
    // The next drawing starts from the default style, as a replay of it
    // does: a style kept from before would show shapes the records (and so
    // undo, replay and the saved lesson) draw in other colours.
    ResetStyle(false);
    ShowBackground();
    SnapshotBoard();
    // The snapshot hid the bars the command was chosen from.
    if (m_pFrame) m_pFrame->ToggleBars();
    if (m_pFrame) m_pFrame->RepaintPalette();
  } else if (m_pFrame) {
    m_pFrame->ToggleBars();
    m_pFrame->ToggleBars();
  }
}

void CBoardWnd::OnTempExit() {
  const int answer = MessageBoxOwned(this, GBK("是否保存当前画面，以待激活时重现？"),
                                     GBK("请按Alt+1激活"), MB_YESNOCANCEL);
  if ((answer == IDYES || answer == IDNO) && m_pFrame) m_pFrame->BeginTempExit();
  if (answer == IDYES) {
    // The picture stays as it is; Alt+1 shows the frame again. The floating
    // bars are windows of their own: they leave with the frame instead of
    // staying over the desktop.
    if (m_pFrame) {
      m_pFrame->FrameWindow().ShowWindow(SW_SHOWMINIMIZED);
      m_pFrame->FrameWindow().ShowWindow(SW_HIDE);
      HideFrameBars();
      m_pFrame->ShowFontBar(false, false);
    }
  } else if (answer == IDNO) {
    // Alt+1 will capture the screen afresh.
    ClearTransientMarks();
    Invalidate(true);
    if (m_pFrame) {
      m_pFrame->SetTempExited(true);
      m_pFrame->FrameWindow().ShowWindow(SW_HIDE);
    }
    HideFrameBars();
    if (m_pFrame) m_pFrame->ShowFontBar(false, false);
  }
}

void CBoardWnd::OnUpdateHasRecords(CCmdUI* pCmdUI) { pCmdUI->Enable(m_nCount != 0); }

void CBoardWnd::OnUpdateRedo(CCmdUI* pCmdUI) { pCmdUI->Enable(CanRedo(*this)); }
