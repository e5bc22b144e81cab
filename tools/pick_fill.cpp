// The one-click tools: the colour picker makes the colour under the pointer
// the pen colour; the fill paints the area of one colour around the click.
#include "board/board_wnd.h"
#include "records/draw_routines.h"
#include "tools/gesture.h"

namespace {

class CPickColorGesture : public CToolGesture {
 public:
  // The pointer as it is now, not the press's point: the press may have
  // waited in the queue while the pointer moved on. The palette shows the
  // style in force when it repaints, so its foreground swatch follows.
  void OnPress(CBoardWnd& board, UINT, CPoint) override {
    COLORREF color = 0;
    CPoint at;
    if (!board.PickColorUnderCursor(&color, &at)) return;
    g_style.penColor = color;
    if (board.m_pFrame) board.m_pFrame->RepaintPalette();
    board.AppendStyleRecord(kStylePen);
  }
};

// The live click paints with the pen colour; its record replays with the
// brush colour in force at that point of the records.
class CFillGesture : public CRecordingGesture {
 public:
  void OnPress(CBoardWnd& board, UINT, CPoint pt) override {
    {
      CClientDC dc(&board);
      CBrush brush(g_style.penColor);
      const bool filled = FloodFillSurface(dc, pt.x, pt.y, brush);
      brush.DeleteObject();
      // A point off the board fills nothing and records nothing.
      if (!filled) return;
    }
    m_recOpen.op = op::kFloodFill;
    m_recOpen.f1 = pt.x;
    m_recOpen.f2 = pt.y;
    AppendPrepared(board, 2);
    board.SnapshotBoard();
  }
};

}  // namespace

std::unique_ptr<CToolGesture> MakePickColorGesture() {
  return std::make_unique<CPickColorGesture>();
}

std::unique_ptr<CToolGesture> MakeFillGesture() { return std::make_unique<CFillGesture>(); }
