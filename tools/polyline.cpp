// Polyline: each press fixes a vertex and draws the segment to it from the
// previous one, each release records that segment; between clicks a band
// follows the pointer, and a double click ends the polyline.
#include "board/board_wnd.h"
#include "records/draw_routines.h"
#include "tools/gesture.h"

namespace {

// Inverts the band from the last vertex to `to` with the band's pen; the
// vertex itself has no band.
void ToggleBand(CBoardWnd& board, CDC& dc, POINT to) {
  if (board.m_ptPolyLast == to) return;
  CPen* old = dc.SelectObject(&board.m_penBand);
  DrawClippedSegment(dc, board.m_ptPolyLast.x, board.m_ptPolyLast.y, to.x, to.y);
  dc.SelectObject(old);
}

void EraseBand(CBoardWnd& board) {
  if (board.m_ptLast == board.m_ptPolyLast) return;
  CClientDC dc(&board);
  dc.SetROP2(R2_NOT);
  ToggleBand(board, dc, board.m_ptLast);
  board.m_ptLast = board.m_ptPolyLast;
}

class CPolylineGesture : public CToolGesture {
 public:
  void OnPress(CBoardWnd& board, UINT, CPoint pt) override {
    // The previous vertex, not the last record: a style record may have been
    // appended since the previous click.
    const bool open = board.m_nPolyPoints > 0;
    const POINT start = open ? board.m_ptPolyLast : POINT(pt);
    if (open) EraseBand(board);
    DrawRecord& rec = board.m_recOpen;
    rec.op = op::kPolyline;
    rec.f1 = pt.x;
    rec.f2 = pt.y;
    rec.f3 = start.x;
    rec.f4 = start.y;
    board.m_ptPolyLast = pt;
    board.m_ptLast = pt;
    ++board.m_nPolyPoints;
    board.SetCapture();
    CClientDC dc(&board);
    CPen* old = dc.SelectObject(&board.m_pen);
    DrawClippedSegment(dc, start.x, start.y, pt.x, pt.y);
    dc.SelectObject(old);
  }

  // The band follows the pointer with or without a button held.
  void OnMove(CBoardWnd& board, UINT, CPoint pt) override {
    if (board.m_nPolyPoints <= 0 || pt == board.m_ptLast) return;
    CClientDC dc(&board);
    dc.SetROP2(R2_NOT);
    ToggleBand(board, dc, board.m_ptLast);
    const CPen& pen = board.m_pen;
    board.m_penBand.DeleteObject();
    board.m_penBand.CreatePen(pen.m_style, pen.m_width, pen.m_color);
    ToggleBand(board, dc, pt);
    board.m_ptLast = pt;
  }

  // The segment drawn at the press is the record; the release point is not used.
  bool OnRelease(CBoardWnd& board, UINT, CPoint) override {
    if (CWnd::GetCapture() != &board) return false;
    CWnd::ReleaseCapture();
    AppendPrepared(board, 4);
    return false;
  }

  void OnDoubleClick(CBoardWnd& board, UINT, CPoint) override { EndPolyline(board); }
};

}  // namespace

CToolGesture& PolylineGesture() {
  static CPolylineGesture gesture;
  return gesture;
}

void EndPolyline(CBoardWnd& board) {
  if (board.m_nPolyPoints > 0) EraseBand(board);
  board.m_nPolyPoints = 0;
}
