// Background modes (captured screen, white, black, captured screen with the
// drawing) and the transparent display switch.
#include "board/board_wnd.h"
#include "platform/codepage.h"
#include "platform/modal.h"
#include "res/resource.h"

namespace {
constexpr int kLastBackMode = 3;
}  // namespace

void CBoardWnd::PaintBackground(CDC& dc) {
  const int w = m_rcDesktop.right, h = m_rcDesktop.bottom;
  if (m_nBackMode == 1 || m_nBackMode == 2) {
    dc.PatBlt(0, 0, w, h, m_nBackMode == 1 ? WHITENESS : BLACKNESS);
    return;
  }
  CDC mem;
  mem.CreateCompatibleDC(&dc);
  CSelectScope<CBitmap> select(mem, &m_bmpCaptured);
  dc.BitBlt(0, 0, w, h, &mem, 0, 0, SRCCOPY);
}

void CBoardWnd::ShowBackground() {
  const bool bare = m_bBareRepaint;
  m_bBareRepaint = true;
  Invalidate(true);
  UpdateWindow();
  m_bBareRepaint = bare;
}

void CBoardWnd::OnBackgroundCycle() {
  int saved = m_nCount;
  if (m_nCount > 0) {
    const int answer =
        MessageBoxOwned(this, GBK("是否清除已有作图记录？如不清除，您仍可在新的屏幕模式下查看！"),
                        GBK("提示!"), MB_YESNO | MB_ICONQUESTION);
    if (answer == IDYES) {
      // Unlike clear all the slots keep their records: redo can bring back
      // the first one.
      m_texts.clear();
      m_posText = m_texts.end();
      saved = 0;
      // As after clear all, the next drawing starts from the default style
      // a replay of the records starts from.
      ResetStyle(false);
      if (m_pFrame) m_pFrame->RepaintPalette();
    } else {
      m_bStart = false;
    }
  }
  // The repaints below show the bare background.
  m_nCount = 0;
  HideFrameBars();
  m_nBackMode = m_nBackMode < kLastBackMode ? m_nBackMode + 1 : 0;
  // A flashing shape stops before the redraw in every mode, so that no
  // blinking phase is taken into the picture.
  ClearTransientMarks();
  ShowBackground();
  if (m_nBackMode == kLastBackMode) Replay(0, saved, false);
  SnapshotBoard();
  if (m_pFrame) m_pFrame->ToggleBars();
  m_nCount = saved;
}

// A switch that cannot be recorded (full store) is refused: the live mode
// never differs from what a replay of the records would use.
void CBoardWnd::OnTransparent() {
  if (StoreFull(m_nCount)) return;
  // Only the opcode is written; the slot's other bytes stay as they were.
  DrawRecord rec = g_records[m_nCount];
  rec.op = m_bTransparent ? op::kTransparentOff : op::kTransparentOn;
  AppendRecord(rec);
  m_bTransparent = !m_bTransparent;
}

void CBoardWnd::OnUpdateTransparent(CCmdUI* pCmdUI) { pCmdUI->SetCheck(m_bTransparent); }
