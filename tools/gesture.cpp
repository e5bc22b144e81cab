#include "tools/gesture.h"

#include <array>

#include "board/board_wnd.h"
#include "records/draw_routines.h"
#include "res/resource.h"

bool CRecordingGesture::AppendPrepared(CBoardWnd& board, int fields) {
  if (StoreFull(board.m_nCount)) return false;
  DrawRecord rec = g_records[board.m_nCount];
  rec.op = m_recOpen.op;
  rec.f1 = m_recOpen.f1;
  rec.f2 = m_recOpen.f2;
  if (fields >= 4) {
    rec.f3 = m_recOpen.f3;
    rec.f4 = m_recOpen.f4;
  }
  return board.AppendRecord(rec);
}

void CRecordingGesture::AppendAndDraw(CBoardWnd& board, int fields) {
  if (!AppendPrepared(board, fields)) return;
  CClientDC dc(&board);
  DrawRecordOn(dc, board, g_records[board.m_nCount - 1]);
}

namespace {

class CDrawingTools : public CBoardTools {
 public:
  CDrawingTools()
      : m_pen(MakePenGesture()),
        m_brush(MakeBrushGesture()),
        m_line(MakeTwoPointGesture(ID_TOOL_LINE)),
        m_arrow(MakeTwoPointGesture(ID_TOOL_ARROW)),
        m_rect(MakeTwoPointGesture(ID_TOOL_RECT)),
        m_roundRect(MakeTwoPointGesture(ID_TOOL_ROUNDRECT)),
        m_ellipse(MakeTwoPointGesture(ID_TOOL_ELLIPSE)) {}

  CToolGesture* GestureFor(UINT tool) override {
    switch (tool) {
      case ID_TOOL_PEN:
        return m_pen.get();
      case ID_TOOL_BRUSH:
        return m_brush.get();
      case ID_TOOL_LINE:
        return m_line.get();
      case ID_TOOL_ARROW:
        return m_arrow.get();
      case ID_TOOL_RECT:
        return m_rect.get();
      case ID_TOOL_ROUNDRECT:
        return m_roundRect.get();
      case ID_TOOL_ELLIPSE:
        return m_ellipse.get();
      case ID_TOOL_POLYLINE:
        return &m_polyline;
      // The fill, colour picker, magnifier, flashing and text tools hand
      // their gestures out here as they join the board.
      default:
        return nullptr;
    }
  }

  void EndGestures(CBoardWnd& board) override { m_polyline.End(board); }

 private:
  std::unique_ptr<CToolGesture> m_pen, m_brush, m_line, m_arrow, m_rect, m_roundRect, m_ellipse;
  CPolylineGesture m_polyline;
};

}  // namespace

std::unique_ptr<CBoardTools> MakeBoardTools() { return std::make_unique<CDrawingTools>(); }
