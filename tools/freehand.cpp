// Freehand tools: the pen records one segment per move, the area brush one
// stamp per press or left-button move.
#include "board/board_wnd.h"
#include "tools/gesture.h"

namespace {

class CPenGesture : public CRecordingGesture {
 public:
  // The pen does not capture the mouse: a stroke goes on with whatever move
  // messages reach the board while the left button is held. Another button
  // alone would draw from wherever the last stroke ended.
  void OnPress(CBoardWnd&, UINT, CPoint pt) override {
    m_recOpen.f3 = pt.x;
    m_recOpen.f4 = pt.y;
  }

  void OnMove(CBoardWnd& board, UINT flags, CPoint pt) override {
    if (!(flags & MK_LBUTTON)) return;
    m_recOpen.op = op::kPenSegment;
    m_recOpen.f1 = pt.x;
    m_recOpen.f2 = pt.y;
    AppendAndDraw(board, 4);
    // The next segment starts where this one ended.
    m_recOpen.f3 = pt.x;
    m_recOpen.f4 = pt.y;
  }
};

// A 15 x 10 stamp of the brush colour with its top-left corner at the pointer.
class CBrushGesture : public CRecordingGesture {
 public:
  void OnPress(CBoardWnd& board, UINT, CPoint pt) override { Stamp(board, pt); }

  void OnMove(CBoardWnd& board, UINT flags, CPoint pt) override {
    if (flags == MK_LBUTTON) Stamp(board, pt);
  }

 private:
  void Stamp(CBoardWnd& board, CPoint pt) {
    m_recOpen.op = op::kBrushDab;
    m_recOpen.f1 = pt.x;
    m_recOpen.f2 = pt.y;
    AppendAndDraw(board, 2);
  }
};

}  // namespace

std::unique_ptr<CToolGesture> MakePenGesture() { return std::make_unique<CPenGesture>(); }
std::unique_ptr<CToolGesture> MakeBrushGesture() { return std::make_unique<CBrushGesture>(); }
