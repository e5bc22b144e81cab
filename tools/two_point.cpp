// Two-point tools: line, arrow line, rectangle, rounded rectangle and
// ellipse. The press fixes one end, each move drags an inverted band to the
// pointer, the release records the shape and draws it from its record.
#include "board/board_wnd.h"
#include "records/draw_routines.h"
#include "records/style_objects.h"
#include "res/resource.h"
#include "tools/gesture.h"

namespace {

class CTwoPointGesture : public CRecordingGesture {
 public:
  explicit CTwoPointGesture(UINT tool) : m_tool(tool) {}

  void OnPress(CBoardWnd& board, UINT, CPoint pt) override {
    m_recOpen.f3 = pt.x;
    m_recOpen.f4 = pt.y;
    m_ptLast = pt;
    board.SetCapture();
  }

  // Only the drag that holds the mouse moves the band: a band drawn by a
  // drag of another button would stay behind when the next press starts.
  void OnMove(CBoardWnd& board, UINT flags, CPoint pt) override {
    if (flags == 0 || pt == m_ptLast || CWnd::GetCapture() != &board) return;
    CClientDC dc(&board);
    dc.SetROP2(R2_NOT);
    ToggleBand(board, dc, m_ptLast);
    ToggleBand(board, dc, pt);
    m_ptLast = pt;
  }

  // A release without the capture (lost to another window) records nothing.
  // The band goes first, wherever the last move left it: a shape without
  // outline, inverted, rounded or released away from the last move does
  // not cover it.
  bool OnRelease(CBoardWnd& board, UINT, CPoint pt) override {
    if (CWnd::GetCapture() != &board) return false;
    CWnd::ReleaseCapture();
    m_recOpen.op = Op();
    m_recOpen.f1 = pt.x;
    m_recOpen.f2 = pt.y;
    EraseBand(board);
    AppendAndDraw(board, 4);
    return false;
  }

  // Nothing is recorded: the shape exists only once released.
  void Cancel(CBoardWnd& board) override {
    if (CWnd::GetCapture() != &board) return;
    CWnd::ReleaseCapture();
    EraseBand(board);
  }

 private:
  char Op() const {
    switch (m_tool) {
      case ID_TOOL_ARROW:
        return op::kArrow;
      case ID_TOOL_RECT:
        return op::kRect;
      case ID_TOOL_ROUNDRECT:
        return op::kRoundRect;
      case ID_TOOL_ELLIPSE:
        return op::kEllipse;
      default:
        return op::kLine;
    }
  }

  // Inverts the band from the press point to `to`. The press point itself
  // has no band, so a drag starts and ends on an untouched picture.
  void ToggleBand(CBoardWnd& board, CDC& dc, POINT to) {
    const POINT from{m_recOpen.f3, m_recOpen.f4};
    if (from == to) return;
    switch (m_tool) {
      case ID_TOOL_ARROW: {
        // The pen the arrow itself is drawn with, built from the style.
        CPen pen;
        CreateStylePen(pen, g_style.penStyle, g_style.penWidth, g_style.penColor);
        {
          CSelectScope<CPen> select(dc, &pen);
          DrawClippedSegment(dc, from.x, from.y, to.x, to.y);
        }
        pen.DeleteObject();
        break;
      }
      case ID_TOOL_RECT:
      case ID_TOOL_ELLIPSE: {
        CSelectScope<CBrush> brush(dc, &board.m_nullBrush);
        CSelectScope<CPen> pen(dc, &board.m_pen);
        if (m_tool == ID_TOOL_RECT)
          dc.Rectangle(from.x, from.y, to.x, to.y);
        else
          dc.Ellipse(from.x, from.y, to.x, to.y);
        break;
      }
      case ID_TOOL_ROUNDRECT: {
        // The rounded band keeps the context's own 1-pixel pen.
        CSelectScope<CBrush> brush(dc, &board.m_nullBrush);
        dc.RoundRect(from.x, from.y, to.x, to.y, board.m_nCorner, board.m_nCorner);
        break;
      }
      default: {
        CSelectScope<CPen> pen(dc, &board.m_pen);
        DrawClippedSegment(dc, from.x, from.y, to.x, to.y);
        break;
      }
    }
  }

  void EraseBand(CBoardWnd& board) {
    CClientDC dc(&board);
    dc.SetROP2(R2_NOT);
    ToggleBand(board, dc, m_ptLast);
    m_ptLast = CPoint(m_recOpen.f3, m_recOpen.f4);
  }

  UINT m_tool;
  // Where the band was last drawn to.
  POINT m_ptLast{};
};

}  // namespace

std::unique_ptr<CToolGesture> MakeTwoPointGesture(UINT tool) {
  return std::make_unique<CTwoPointGesture>(tool);
}
