#include "app/tools_bar_ex.h"

#include "platform/frame.h"

CToolBarEx::CToolBarEx() {
  m_cxLeftBorder = m_cxRightBorder = 5;
  m_cyTopBorder = m_cyBottomBorder = 5;
}

void CToolBarEx::SetEntriesPerRow(UINT n) {
  m_entriesPerRow = int(n);
  const int count = GetCount();
  for (int i = 0; i < count; ++i) {
    UINT style = GetButtonStyle(i);
    if (n != 0 && (i + 1) % n == 0)
      style |= TBBS_WRAPPED;
    else
      style &= ~TBBS_WRAPPED;
    SetButtonStyle(i, style);
  }
  Invalidate(true);
  if (CFrameWnd* frame = GetDockingFrame()) frame->RecalcLayout();
}

SIZE CToolBarEx::CalcFixedLayout() {
  SIZE size = CToolBar::CalcFixedLayout();
  size.cy += ScaleToDpi(kPaletteOverlap);
  return size;
}
