// The magnifier: choosing it takes the picture it enlarges from; leaving it
// keeps what it shows, with the records drawn over it, as the current picture.
#include "board/board_wnd.h"
#include "tools/gesture.h"

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
