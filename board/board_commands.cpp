#include <algorithm>

#include "board/board_wnd.h"
#include "board/text_box.h"
#include "platform/codepage.h"
#include "res/resource.h"

namespace {
constexpr UINT_PTR kFlashTimer = 4, kTextTimer = 2;

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
  std::unique_ptr<CDC> dc = GetBoardDC();
  if (m_nTool == ID_TOOL_FLASH_AREA) {
    KillTimer(kFlashTimer);
    // The area is shown inverted right now: invert it back.
    if (m_nFlashPhase == 0 && m_nFlashTicks > 0) {
      dc->SetROP2(R2_NOT);
      dc->Polygon(m_ptFlash, std::clamp(m_nFlashPoints, 0, 50));
    }
    m_bFlashIdle = true;
    m_nFlashTicks = 0;
    m_nFlashPhase = 1;
    m_nFlashPoints = 0;
  }
  if (m_nTool == ID_TOOL_FLASH_RECT) {
    KillTimer(kFlashTimer);
    if (m_nFlashPhase == 0 && m_nFlashTicks > 0) {
      dc->SetROP2(R2_NOT);
      dc->Rectangle(m_ptAnchor.x, m_ptAnchor.y, m_ptEnd.x, m_ptEnd.y);
    }
    m_bFlashIdle = true;
    m_nFlashTicks = 0;
    m_nFlashPhase = 1;
  }
  if (m_bMarkMode) {
    KillTimer(kFlashTimer);
    if (m_nFlashPhase != 0 && m_nFlashTicks > 0) {
      dc->SetROP2(R2_NOT);
      CSelectScope<CPen> pen(*dc, &m_pen);
      const int x = m_ptEnd.x, y = m_ptEnd.y;
      dc->MoveTo(x, y - 10), dc->LineTo(x, y + 10);
      dc->MoveTo(x - 10, y), dc->LineTo(x + 10, y);
      dc->MoveTo(x - 10, y - 10), dc->LineTo(x + 10, y + 10);
      dc->MoveTo(x + 10, y - 10), dc->LineTo(x - 10, y + 10);
    }
    m_bMarkMode = false;
    m_bFlashIdle = true;
    m_nFlashTicks = 0;
    m_nFlashPhase = 1;
  }
  dc.reset();
  if (m_nTool == ID_TOOL_TEXT && m_pFrame) m_pFrame->ShowFontBar(false, false);
  if (m_nTool == ID_TOOL_MAGNIFY) {
    HideFrameBars();
    Invalidate(true);
    UpdateWindow();
    if (m_nCount != 0) Replay(0, m_nCount, false);
    SnapshotBoard();
  }
  m_nFlashPoints = 0;
  EndGestures();
}

void CBoardWnd::OnUndo() {
  if (m_nTool == ID_TOOL_TEXT) ClearTransientMarks();
  // The redraw takes an open polyline's band away, so the polyline ends.
  EndGestures();
  HideFrameBars();
  m_bRedrawing = true;
  Invalidate(true);
  UpdateWindow();
  if (m_nTool == ID_TOOL_TEXT) {
    // An unfinished text is dropped.
    KillTimer(kTextTimer);
    if (m_pFrame) m_pFrame->ShowFontBar(false, false);
    if (m_textBox) {
      m_textBox->SetWindowText("");
      m_textBox->ShowWindow(SW_HIDE);
    }
  }
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
    Invalidate(true);
    UpdateWindow();
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
