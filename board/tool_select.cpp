// Tool selection: the tool bar's tool buttons, the start check mark and
// the cursor each tool shows.
#include "board/board_wnd.h"
#include "res/resource.h"

void CBoardWnd::OnSelectTool(UINT nID) {
  if (nID == m_nTool) return;
  // The cleanup still sees the old tool: that is how the magnifier, the text
  // box and the flashing shapes are left.
  ClearTransientMarks();
  // The palette's pen area shows width or fill choices by tool.
  if (nID >= ID_TOOL_PEN && nID <= ID_TOOL_ELLIPSE && m_pFrame) m_pFrame->RepaintPalette();
  CToolGesture* gesture = m_tools ? m_tools->GestureFor(nID) : nullptr;
  if (gesture) gesture->OnEnter(*this);
  m_nTool = nID;
}

void CBoardWnd::OnUpdateSelectTool(CCmdUI* pCmdUI) { pCmdUI->SetCheck(pCmdUI->m_nID == m_nTool); }

void CBoardWnd::OnStart() { m_bStart = !m_bStart; }

void CBoardWnd::OnUpdateStart(CCmdUI* pCmdUI) {
  pCmdUI->Enable(true);
  pCmdUI->SetCheck(m_bStart);
}

namespace {
struct ToolCursor {
  UINT tool, cursor;
};
constexpr ToolCursor kToolCursors[] = {
    {ID_TOOL_POINTER, IDC_POINTER},
    {ID_TOOL_FILL, IDC_FILL},
    {ID_TOOL_BRUSH, IDC_BRUSH},
    {ID_TOOL_PEN, IDC_PEN},
    {ID_TOOL_LINE, IDC_LINE},
    {ID_TOOL_ARROW, IDC_ARROW},
    {ID_TOOL_POLYLINE, IDC_POLYLINE},
    {ID_TOOL_RECT, IDC_RECT},
    {ID_TOOL_ROUNDRECT, IDC_ROUNDRECT},
    {ID_TOOL_ELLIPSE, IDC_ELLIPSE},
    {ID_TOOL_TEXT, IDC_TEXT},
    {ID_TOOL_MAGNIFY, IDC_MAGNIFY},
    {ID_TOOL_FLASH_AREA, IDC_FLASH_AREA},
    {ID_TOOL_FLASH_RECT, IDC_FLASH_RECT},
    {ID_TOOL_FLASH_MARK, IDC_FLASH_MARK},
    {ID_TOOL_PICKCOLOR, IDC_PICKCOLOR},
};
}  // namespace

UINT ToolCursorId(UINT tool, int count) {
  if (StoreFull(count)) return IDC_FULL;
  for (const ToolCursor& tc : kToolCursors)
    if (tc.tool == tool) return tc.cursor;
  return IDC_POINTER;
}

void CBoardWnd::SetToolCursor() { ::SetCursor(CursorFor(ToolCursorId(m_nTool, m_nCount))); }
