// The magnifier: choosing it takes the picture it enlarges from; each of two
// releases enlarges a part of that picture to the whole board; a right click
// goes back to the pen; leaving it otherwise keeps what it shows, with the
// records drawn over it, as the current picture.
#include "tools/magnifier.h"

#include <algorithm>

#include "board/board_wnd.h"
#include "res/resource.h"
#include "tools/gesture.h"

namespace {
constexpr int kSourceWidth = 400, kSourceHeight = 300;
constexpr int kMaxZoomLevel = 2;

LONG SourceStart(LONG centre, int half, int extent, int board) {
  return std::clamp<LONG>(centre - half, 0, std::max(board - extent, 0));
}
}  // namespace

CRect MagnifierSource(CPoint pt, int width, int height) {
  const int w = std::min(kSourceWidth, width), h = std::min(kSourceHeight, height);
  const LONG x = SourceStart(pt.x, kSourceWidth / 2, w, width);
  const LONG y = SourceStart(pt.y, kSourceHeight / 2, h, height);
  return CRect(x, y, x + w, y + h);
}

namespace {

class CMagnifierGesture : public CToolGesture {
 public:
  // A pending repaint is done first, so the picture is the board without
  // its bars.
  void OnEnter(CBoardWnd& board) override {
    board.HideFrameBars();
    board.UpdateWindow();
    m_nZoomLevel = 0;
    board.SnapshotZoomView();
  }

  // The second enlargement enlarges the first; a third release does nothing.
  // No release takes a snapshot: the current picture stays unenlarged.
  bool OnRelease(CBoardWnd& board, UINT, CPoint pt) override {
    if (m_nZoomLevel >= kMaxZoomLevel) return true;
    ++m_nZoomLevel;
    const int w = board.m_rcDesktop.right, h = board.m_rcDesktop.bottom;
    const CRect src = MagnifierSource(pt, w, h);
    {
      CClientDC dc(&board);
      CDC mem;
      mem.CreateCompatibleDC(&dc);
      CSelectScope<CBitmap> select(mem, &board.m_bmpZoomView);
      dc.StretchBlt(0, 0, w, h, &mem, src.left, src.top, src.Width(), src.Height(), SRCCOPY);
    }
    board.SnapshotZoomView();
    return true;
  }

  // Straight back to the pen, without leaving the magnifier's way: the
  // repaint shows the current picture again, and the board then shows the
  // bars the magnifier hid.
  void OnRightRelease(CBoardWnd& board, UINT, CPoint) override {
    m_nZoomLevel = 0;
    board.m_nTool = ID_TOOL_PEN;
    board.Invalidate(true);
    board.UpdateWindow();
  }

  void Leave(CBoardWnd& board) override {
    board.HideFrameBars();
    // Still the magnifier's tool: the repaint shows its picture.
    board.Invalidate(true);
    board.UpdateWindow();
    if (board.m_nCount != 0) board.Replay(0, board.m_nCount, false);
    board.SnapshotBoard();
  }

 private:
  // Enlargements applied since the tool was chosen.
  int m_nZoomLevel = 0;
};

}  // namespace

std::unique_ptr<CToolGesture> MakeMagnifierGesture() {
  return std::make_unique<CMagnifierGesture>();
}
