// Two-point tools: line, arrow line, rectangle, rounded rectangle and
// ellipse. The press fixes one end, each move drags an inverted band to the
// pointer, the release records the shape and draws it from its record.
#include "board/board_wnd.h"
#include "records/draw_routines.h"
#include "records/style_objects.h"
#include "res/resource.h"
#include "tools/gesture.h"

namespace {

class CTwoPointGesture : public CToolGesture {
 public:
  void OnPress(CBoardWnd& board, UINT, CPoint pt) override {
    board.m_recOpen.f3 = pt.x;
    board.m_recOpen.f4 = pt.y;
    board.m_ptLast = pt;
    board.SetCapture();
  }

  // Only the drag that holds the mouse moves the band: a band drawn by a
  // drag of another button would stay behind when the next press starts.
  void OnMove(CBoardWnd& board, UINT flags, CPoint pt) override {
    if (flags == 0 || pt == board.m_ptLast || CWnd::GetCapture() != &board) return;
    CClientDC dc(&board);
    dc.SetROP2(R2_NOT);
    ToggleBand(board, dc, board.m_ptLast);
    ToggleBand(board, dc, pt);
    board.m_ptLast = pt;
  }

  // A release without the capture (lost to another window) records nothing.
  bool OnRelease(CBoardWnd& board, UINT, CPoint pt) override {
    if (CWnd::GetCapture() != &board) return false;
    CWnd::ReleaseCapture();
    DrawRecord& rec = board.m_recOpen;
    rec.op = Op();
    rec.f1 = pt.x;
    rec.f2 = pt.y;
    Finish(board);
    return false;
  }

 protected:
  virtual char Op() const = 0;
  // The band's outline from `from` to `to`, in the context's inverting mode.
  virtual void DrawBand(CBoardWnd& board, CDC& dc, POINT from, POINT to) = 0;
  // Draws record i, just appended, as a replay draws it.
  virtual void DrawAppended(CBoardWnd& board, int i) = 0;

  // Takes the band away, wherever the last move left it, before the shape
  // is drawn: a shape without outline, inverted, rounded or released away
  // from the last move does not cover it.
  void Finish(CBoardWnd& board) {
    EraseBand(board);
    if (AppendPrepared(board, 4)) DrawAppended(board, board.m_nCount - 1);
  }

  // Inverts the band from the press point to `to`. The press point itself
  // has no band, so a drag starts and ends on an untouched picture.
  void ToggleBand(CBoardWnd& board, CDC& dc, POINT to) {
    const POINT from{board.m_recOpen.f3, board.m_recOpen.f4};
    if (from == to) return;
    DrawBand(board, dc, from, to);
  }

  void EraseBand(CBoardWnd& board) {
    CClientDC dc(&board);
    dc.SetROP2(R2_NOT);
    ToggleBand(board, dc, board.m_ptLast);
    board.m_ptLast = CPoint(board.m_recOpen.f3, board.m_recOpen.f4);
  }
};

class CLineGesture : public CTwoPointGesture {
 protected:
  char Op() const override { return op::kLine; }
  void DrawBand(CBoardWnd& board, CDC& dc, POINT from, POINT to) override {
    CPen* old = dc.SelectObject(&board.m_pen);
    DrawClippedSegment(dc, from.x, from.y, to.x, to.y);
    dc.SelectObject(old);
  }
  void DrawAppended(CBoardWnd& board, int i) override {
    const DrawRecord& r = g_records[i];
    CClientDC dc(&board);
    CPen* old = dc.SelectObject(&board.m_pen);
    DrawClippedSegment(dc, r.f3, r.f4, r.f1, r.f2);
    dc.SelectObject(old);
  }
};

// The arrow's band is drawn with the pen the arrow drawing builds from the
// style, as the arrow itself is.
class CArrowGesture : public CTwoPointGesture {
 protected:
  char Op() const override { return op::kArrow; }
  void DrawBand(CBoardWnd&, CDC& dc, POINT from, POINT to) override {
    CPen pen;
    CreateStylePen(pen, g_style.penStyle, g_style.penWidth, g_style.penColor);
    CPen* old = dc.SelectObject(&pen);
    DrawClippedSegment(dc, from.x, from.y, to.x, to.y);
    dc.SelectObject(old);
    pen.DeleteObject();
  }
  // Drawn as a redraw draws it: inverting the line once more, meant to take
  // the band away, would leave the pixels that shaft and head miss inverted.
  void DrawAppended(CBoardWnd& board, int i) override {
    const DrawRecord& r = g_records[i];
    const bool redrawing = board.m_bRedrawing;
    board.m_bRedrawing = true;
    board.DrawArrowLine(r.f3, r.f4, r.f1, r.f2, g_style.penStyle, g_style.penWidth, 10,
                        g_style.penColor);
    board.m_bRedrawing = redrawing;
  }
};

class CRectGesture : public CTwoPointGesture {
 public:
  explicit CRectGesture(bool rounded) : m_rounded(rounded) {}

 protected:
  char Op() const override { return m_rounded ? op::kRoundRect : op::kRect; }
  // The rounded band keeps the context's own 1-pixel pen.
  void DrawBand(CBoardWnd& board, CDC& dc, POINT from, POINT to) override {
    CBrush* oldBrush = dc.SelectObject(&board.m_nullBrush);
    if (m_rounded) {
      dc.RoundRect(from.x, from.y, to.x, to.y, board.m_nCorner, board.m_nCorner);
    } else {
      CPen* oldPen = dc.SelectObject(&board.m_pen);
      dc.Rectangle(from.x, from.y, to.x, to.y);
      dc.SelectObject(oldPen);
    }
    dc.SelectObject(oldBrush);
  }
  void DrawAppended(CBoardWnd& board, int i) override { board.DrawRectRecord(i, m_rounded); }

 private:
  bool m_rounded;
};

class CEllipseGesture : public CTwoPointGesture {
 protected:
  char Op() const override { return op::kEllipse; }
  void DrawBand(CBoardWnd& board, CDC& dc, POINT from, POINT to) override {
    CBrush* oldBrush = dc.SelectObject(&board.m_nullBrush);
    CPen* oldPen = dc.SelectObject(&board.m_pen);
    dc.Ellipse(from.x, from.y, to.x, to.y);
    dc.SelectObject(oldPen);
    dc.SelectObject(oldBrush);
  }
  void DrawAppended(CBoardWnd& board, int i) override { board.DrawEllipseRecord(i); }
};

}  // namespace

CToolGesture& TwoPointGesture(UINT tool) {
  static CLineGesture line;
  static CArrowGesture arrow;
  static CRectGesture rect(false), roundRect(true);
  static CEllipseGesture ellipse;
  switch (tool) {
    case ID_TOOL_ARROW:
      return arrow;
    case ID_TOOL_RECT:
      return rect;
    case ID_TOOL_ROUNDRECT:
      return roundRect;
    case ID_TOOL_ELLIPSE:
      return ellipse;
    default:
      return line;
  }
}
