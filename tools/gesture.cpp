#include "tools/gesture.h"

#include "board/board_wnd.h"
#include "res/resource.h"

void CToolGesture::OnPress(CBoardWnd&, UINT, CPoint) {}
void CToolGesture::OnMove(CBoardWnd&, UINT, CPoint) {}
bool CToolGesture::OnRelease(CBoardWnd&, UINT, CPoint) { return false; }
void CToolGesture::OnDoubleClick(CBoardWnd&, UINT, CPoint) {}
void CToolGesture::OnRightRelease(CBoardWnd&, UINT, CPoint) {}

CToolGesture* GestureFor(UINT tool) {
  switch (tool) {
    case ID_TOOL_PEN:
      return &PenGesture();
    case ID_TOOL_BRUSH:
      return &BrushGesture();
    case ID_TOOL_LINE:
    case ID_TOOL_ARROW:
    case ID_TOOL_RECT:
    case ID_TOOL_ROUNDRECT:
    case ID_TOOL_ELLIPSE:
      return &TwoPointGesture(tool);
    case ID_TOOL_POLYLINE:
      return &PolylineGesture();
    // The fill, colour picker, magnifier, flashing and text tools hand their
    // gestures out here as they join the board.
    default:
      return nullptr;
  }
}

bool AppendPrepared(CBoardWnd& board, int fields) {
  if (StoreFull(board.m_nCount)) return false;
  const DrawRecord& prepared = board.m_recOpen;
  DrawRecord rec = g_records[board.m_nCount];
  rec.op = prepared.op;
  rec.f1 = prepared.f1;
  rec.f2 = prepared.f2;
  if (fields >= 4) {
    rec.f3 = prepared.f3;
    rec.f4 = prepared.f4;
  }
  return board.AppendRecord(rec);
}
