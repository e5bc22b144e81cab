// Polyline: each press fixes a vertex and draws the segment to it from the
// previous one, each release records that segment; between clicks a band
// follows the pointer, and a double click ends the polyline.
#include "board/board_wnd.h"
#include "records/draw_routines.h"
#include "tools/gesture.h"

// Inverts the band from the last vertex to `to` with the band's pen; the
// vertex itself has no band.
void CPolylineGesture::ToggleBand(CDC& dc, POINT to) {
  if (m_ptPolyLast == to) return;
  CSelectScope<CPen> pen(dc, &m_penBand);
  DrawClippedSegment(dc, m_ptPolyLast.x, m_ptPolyLast.y, to.x, to.y);
}

void CPolylineGesture::EraseBand(CBoardWnd& board) {
  if (m_ptLast == m_ptPolyLast) return;
  CClientDC dc(&board);
  dc.SetROP2(R2_NOT);
  ToggleBand(dc, m_ptLast);
  m_ptLast = m_ptPolyLast;
}

void CPolylineGesture::OnPress(CBoardWnd& board, UINT, CPoint pt) {
  // The previous vertex, not the last record: a style record may have been
  // appended since the previous click.
  const bool open = m_nPolyPoints > 0;
  const POINT start = open ? m_ptPolyLast : POINT(pt);
  if (open) EraseBand(board);
  m_recOpen.op = op::kPolyline;
  m_recOpen.f1 = pt.x;
  m_recOpen.f2 = pt.y;
  m_recOpen.f3 = start.x;
  m_recOpen.f4 = start.y;
  m_ptPolyLast = pt;
  m_ptLast = pt;
  ++m_nPolyPoints;
  board.SetCapture();
  // The segment is drawn now and recorded at the release.
  CClientDC dc(&board);
  DrawRecordOn(dc, board, m_recOpen);
}

// The band follows the pointer with or without a button held.
void CPolylineGesture::OnMove(CBoardWnd& board, UINT, CPoint pt) {
  if (m_nPolyPoints <= 0 || pt == m_ptLast) return;
  CClientDC dc(&board);
  dc.SetROP2(R2_NOT);
  ToggleBand(dc, m_ptLast);
  const CPen& pen = board.m_pen;
  m_penBand.DeleteObject();
  m_penBand.CreatePen(pen.m_style, pen.m_width, pen.m_color);
  ToggleBand(dc, pt);
  m_ptLast = pt;
}

// The segment drawn at the press is the record; the release point is not used.
bool CPolylineGesture::OnRelease(CBoardWnd& board, UINT, CPoint) {
  if (CWnd::GetCapture() != &board) return false;
  CWnd::ReleaseCapture();
  AppendPrepared(board, 4);
  return false;
}

void CPolylineGesture::Cancel(CBoardWnd& board) { OnRelease(board, 0, CPoint()); }

void CPolylineGesture::OnDoubleClick(CBoardWnd& board, UINT, CPoint) { End(board); }

void CPolylineGesture::End(CBoardWnd& board) {
  if (m_nPolyPoints > 0) EraseBand(board);
  m_nPolyPoints = 0;
}
