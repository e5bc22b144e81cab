// Freehand tools: the pen records one segment per move, the area brush one
// stamp per press or left-button move.
#include "board/board_wnd.h"
#include "tools/gesture.h"

namespace {

class CPenGesture : public CToolGesture {
 public:
  // The pen does not capture the mouse: a stroke goes on with whatever move
  // messages reach the board.
  void OnPress(CBoardWnd& board, UINT, CPoint pt) override {
    board.m_recOpen.f3 = pt.x;
    board.m_recOpen.f4 = pt.y;
  }

  void OnMove(CBoardWnd& board, UINT flags, CPoint pt) override {
    if (flags == 0) return;
    DrawRecord& rec = board.m_recOpen;
    rec.op = op::kPenSegment;
    {
      CClientDC dc(&board);
      CPen* old = dc.SelectObject(&board.m_pen);
      dc.MoveTo(rec.f3, rec.f4);
      dc.LineTo(pt.x, pt.y);
      dc.SelectObject(old);
    }
    rec.f1 = pt.x;
    rec.f2 = pt.y;
    AppendPrepared(board, 4);
    // The next segment starts where this one ended.
    rec.f3 = pt.x;
    rec.f4 = pt.y;
  }
};

class CBrushGesture : public CToolGesture {
 public:
  void OnPress(CBoardWnd& board, UINT, CPoint pt) override { Stamp(board, pt); }

  void OnMove(CBoardWnd& board, UINT flags, CPoint pt) override {
    if (flags == MK_LBUTTON) Stamp(board, pt);
  }

 private:
  // A 15 x 10 stamp of the brush colour with its top-left corner at pt.
  static void Stamp(CBoardWnd& board, CPoint pt) {
    DrawRecord& rec = board.m_recOpen;
    rec.op = op::kBrushDab;
    rec.f1 = pt.x;
    rec.f2 = pt.y;
    {
      CClientDC dc(&board);
      const CRect rc(pt.x, pt.y, pt.x + 15, pt.y + 10);
      dc.FillRect(&rc, &board.m_brush);
    }
    AppendPrepared(board, 2);
  }
};

}  // namespace

CToolGesture& PenGesture() {
  static CPenGesture gesture;
  return gesture;
}

CToolGesture& BrushGesture() {
  static CBrushGesture gesture;
  return gesture;
}
