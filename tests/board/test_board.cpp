// The board window: its surfaces, repaint, snapshots, colour pick and
// screen capture.
#include "tests/support/board_fixture.h"

namespace {

void Fill(CBitmap& bmp, COLORREF color) {
  CDC mem;
  mem.CreateCompatibleDC(nullptr);
  CSelectScope<CBitmap> select(mem, &bmp);
  const RECT rc{0, 0, bmp.Width(), bmp.Height()};
  mem.FillSolidRect(&rc, color);
}

COLORREF BoardPixel(int x, int y) {
  CClientDC dc(&BoardTest::Board());
  return dc.GetPixel(x, y);
}

class BoardWindowTest : public BoardTest {
 protected:
  void SetUp() override {
    BoardTest::SetUp();
    CBoardWnd& board = Board();
    W = board.m_rcDesktop.right;
    H = board.m_rcDesktop.bottom;
    Fill(board.m_bmpCaptured, kCaptured);
    Fill(board.m_bmpCurrent, kCurrent);
    Fill(board.m_bmpZoomView, kZoom);
  }

  static COLORREF Repaint() {
    Board().Invalidate(true);
    Board().UpdateWindow();
    return BoardPixel(Board().m_rcDesktop.right / 2, Board().m_rcDesktop.bottom / 2);
  }

  static constexpr COLORREF kCaptured = RGB(200, 0, 0), kCurrent = RGB(0, 200, 0),
                            kZoom = RGB(0, 0, 200);
  int W = 0, H = 0;
};

TEST_F(BoardWindowTest, TheBoardCoversTheScreenAndStartsInTheDefaultFont) {
  EXPECT_EQ(W, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(H, GetSystemMetrics(SM_CYSCREEN));
  RECT rc;
  Board().GetWindowRect(&rc);
  EXPECT_EQ(rc, (RECT{0, 0, W, H}));
  EXPECT_EQ(Board().m_logFont.lfHeight, 21);
  EXPECT_EQ(Board().m_logFont.lfWidth, 9);
}

TEST_F(BoardWindowTest, EraseBackgroundPaintsByToolCountRedrawFlagAndBackgroundMode) {
  CBoardWnd& board = Board();
  // No records: the background of the mode.
  EXPECT_EQ(Repaint(), kCaptured);
  board.m_nBackMode = 1;
  EXPECT_EQ(Repaint(), RGB(255, 255, 255));
  board.m_nBackMode = 2;
  EXPECT_EQ(Repaint(), RGB(0, 0, 0));
  board.m_nBackMode = 3;
  EXPECT_EQ(Repaint(), kCaptured);

  // Records: the current picture, unless undo is redrawing or a replay runs.
  board.m_nCount = 1;
  EXPECT_EQ(Repaint(), kCurrent);
  board.m_bRedrawing = true;
  EXPECT_EQ(Repaint(), kCaptured);
  board.m_nBackMode = 1;
  EXPECT_EQ(Repaint(), RGB(255, 255, 255));
  board.m_bRedrawing = false;
  board.m_pReplayDlg = reinterpret_cast<CReplayDlg*>(&board);  // any non-null dialog
  board.m_nBackMode = 2;
  EXPECT_EQ(Repaint(), RGB(0, 0, 0));
  board.m_pReplayDlg = nullptr;
  EXPECT_EQ(Repaint(), kCurrent);

  // The magnifier shows its own picture whatever the records.
  board.m_nTool = ID_TOOL_MAGNIFY;
  EXPECT_EQ(Repaint(), kZoom);
  board.m_nCount = 0;
  EXPECT_EQ(Repaint(), kZoom);
  board.m_nTool = ID_TOOL_POINTER;
  board.m_nBackMode = 0;
  EXPECT_EQ(Repaint(), kCaptured);
  EXPECT_EQ(BoardPixel(0, 0), kCaptured);
  EXPECT_EQ(BoardPixel(W - 1, H - 1), kCaptured);
}

TEST_F(BoardWindowTest, ASnapshotTakesWhatTheBoardShowsAfterHidingTheBars) {
  CBoardWnd& board = Board();
  Repaint();
  {
    CClientDC dc(&board);
    const RECT rc{10, 20, 30, 40};
    dc.FillSolidRect(&rc, RGB(1, 2, 3));
  }
  board.m_nTool = ID_TOOL_TEXT;
  Frame().m_fontBarShown = true;
  board.SnapshotBoard();
  EXPECT_TRUE(Frame().m_barsHidden);
  // The text tool's font bar is out of the picture and back afterwards.
  EXPECT_TRUE(Frame().m_fontBarShown);
  EXPECT_EQ(board.m_bmpCurrent.GetPixel(10, 20), RGB(1, 2, 3));
  EXPECT_EQ(board.m_bmpCurrent.GetPixel(29, 39), RGB(1, 2, 3));
  EXPECT_EQ(board.m_bmpCurrent.GetPixel(30, 40), kCaptured);

  board.SnapshotZoomView();
  EXPECT_EQ(board.m_bmpZoomView.GetPixel(15, 25), RGB(1, 2, 3));
}

TEST_F(BoardWindowTest, PickColorReadsThePixelUnderThePointerAndRefusesPositionsOffTheBoard) {
  Repaint();
  {
    CClientDC dc(&Board());
    dc.SetPixel(W - 1, H - 1, RGB(9, 8, 7));
  }
  COLORREF c = 0;
  CPoint pt;
  m_services.pointer = {W - 1, H - 1};
  ASSERT_TRUE(Board().PickColorUnderCursor(&c, &pt));
  EXPECT_EQ(c, RGB(9, 8, 7));
  EXPECT_EQ(pt, (POINT{W - 1, H - 1}));
  m_services.pointer = {0, 0};
  ASSERT_TRUE(Board().PickColorUnderCursor(&c, &pt));
  EXPECT_EQ(c, kCaptured);
  for (POINT off : {POINT{-1, 5}, POINT{5, -1}, POINT{W, 5}, POINT{5, H}}) {
    m_services.pointer = off;
    EXPECT_FALSE(Board().PickColorUnderCursor(&c, &pt)) << off.x << "," << off.y;
  }
}

TEST_F(BoardWindowTest, CaptureScreenShowsTheFrameAndBarsAndReturnsToTheCapturedBackground) {
  CBoardWnd& board = Board();
  board.m_nBackMode = 2;
  board.m_nPolyPoints = 3;
  Frame().m_barsHidden = true;
  Frame().ShowWindow(SW_HIDE);
  board.CaptureScreen();
  EXPECT_EQ(board.m_nBackMode, 0);
  EXPECT_EQ(board.m_nPolyPoints, 0);
  EXPECT_TRUE(Frame().IsWindowVisible());
  EXPECT_FALSE(Frame().m_barsHidden);
  // The offscreen screen is black; both pictures now hold it.
  EXPECT_EQ(board.m_bmpCaptured.GetPixel(3, 3), board.m_bmpCurrent.GetPixel(3, 3));
  EXPECT_EQ(BoardPixel(3, 3), board.m_bmpCaptured.GetPixel(3, 3));
}

}  // namespace
