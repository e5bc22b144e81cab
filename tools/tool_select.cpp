// Tool selection: the tool bar's tool buttons and the start check mark.
#include "app/main_frame.h"
#include "board/board_wnd.h"
#include "res/resource.h"

void CBoardWnd::OnSelectTool(UINT nID) {
  if (nID == m_nTool) return;
  // The cleanup still sees the old tool: that is how the magnifier, the text
  // box and the flashing shapes are left.
  ClearTransientMarks();
  if (nID >= ID_TOOL_PEN && nID <= ID_TOOL_ELLIPSE) {
    // The palette's pen area shows width or fill choices by tool.
    if (m_pFrame) m_pFrame->m_paletteBar.Invalidate(true);
  } else if (nID == ID_TOOL_TEXT) {
    if (m_pFrame) m_pFrame->ShowControlBar(&m_pFrame->m_fontBar, true, true);
  } else if (nID == ID_TOOL_MAGNIFY) {
    HideFrameBars();
    UpdateWindow();
    m_nZoomLevel = 0;
    SnapshotZoomView();
  } else if (nID == ID_TOOL_FLASH_MARK) {
    m_bMarkMode = true;
  }
  m_nTool = nID;
}

void CBoardWnd::OnUpdateSelectTool(CCmdUI* pCmdUI) { pCmdUI->SetCheck(pCmdUI->m_nID == m_nTool); }

void CBoardWnd::OnStart() { m_bStart = !m_bStart; }

void CBoardWnd::OnUpdateStart(CCmdUI* pCmdUI) {
  pCmdUI->Enable(true);
  pCmdUI->SetCheck(m_bStart);
}
