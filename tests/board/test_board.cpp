// The board window: its surfaces, repaint, snapshots and colour pick.
#include "tests/support/board_fixture.h"

namespace {

class BoardWindowTest : public BoardTest {
 protected:
  void SetUp() override {
    BoardTest::SetUp();
    CBoardWnd& b = Board();
    for (const auto& [bmp, colour] : {std::pair(&b.m_bmpCaptured, kCaptured),
                                      {&b.m_bmpCurrent, kCurrent},
                                      {&b.m_bmpZoomView, kZoom}}) {
      CDC mem;
      mem.CreateCompatibleDC(nullptr);
      CSelectScope<CBitmap> select(mem, bmp);
      const RECT rc{0, 0, bmp->Width(), bmp->Height()};
      mem.FillSolidRect(&rc, colour);
    }
  }

  static COLORREF Repaint() {
    Board().Invalidate(true);
    Board().UpdateWindow();
    return CClientDC(&Board()).GetPixel(Board().m_rcDesktop.right / 2,
                                        Board().m_rcDesktop.bottom / 2);
  }

  static constexpr COLORREF kCaptured = RGB(200, 0, 0), kCurrent = RGB(0, 200, 0),
                            kZoom = RGB(0, 0, 200);
};

TEST_F(BoardWindowTest, EraseBackgroundPaintsByToolCountRedrawFlagReplayAndBackgroundMode) {
  CBoardWnd& board = Board();
  // No records: the background of the mode.
  for (const auto& [mode, colour] :
       {std::pair(0, kCaptured), {1, RGB(255, 255, 255)}, {2, RGB(0, 0, 0)}}) {
    board.m_nBackMode = mode;
    EXPECT_EQ(Repaint(), colour) << mode;
  }

  // Records: the current picture, unless undo is redrawing or a replay runs.
  board.m_nCount = 1;
  EXPECT_EQ(Repaint(), kCurrent);
  board.m_bRedrawing = true;
  EXPECT_EQ(Repaint(), RGB(0, 0, 0));
  board.m_bRedrawing = false;
  struct : CBoardReview {
    void CloseReview() override {}
  } review;  // any open review
  board.m_pReplayDlg = &review;
  board.m_nBackMode = 1;
  EXPECT_EQ(Repaint(), RGB(255, 255, 255));
  board.m_pReplayDlg = nullptr;

  // The magnifier shows its own picture whatever the records.
  board.m_nTool = ID_TOOL_MAGNIFY;
  EXPECT_EQ(Repaint(), kZoom);
}

TEST_F(BoardWindowTest, ASnapshotAndThePickerTakeWhatTheBoardShows) {
  CBoardWnd& board = Board();
  Repaint();
  const RECT rc{10, 20, 30, 40};
  CClientDC{&board}.FillSolidRect(&rc, RGB(1, 2, 3));
  board.m_nTool = ID_TOOL_TEXT;
  Frame().m_fontBarShown = true;
  board.SnapshotBoard();
  // The text tool's font bar is out of the picture and back afterwards.
  EXPECT_TRUE(Frame().m_barsHidden && Frame().m_fontBarShown &&
              board.m_bmpCurrent.GetPixel(10, 20) == RGB(1, 2, 3));

  // The picker reads the pixel under the pointer and refuses positions off
  // the board.
  const int w = board.m_rcDesktop.right, h = board.m_rcDesktop.bottom;
  CClientDC{&Board()}.SetPixel(w - 1, h - 1, RGB(9, 8, 7));
  COLORREF c = 0;
  CPoint pt;
  m_services.pointer = {w - 1, h - 1};
  ASSERT_TRUE(Board().PickColorUnderCursor(&c, &pt));
  EXPECT_EQ(std::pair(c, POINT(pt)), std::pair(RGB(9, 8, 7), POINT{w - 1, h - 1}));
  for (POINT off : {POINT{-1, 5}, POINT{5, -1}, POINT{w, 5}, POINT{5, h}}) {
    m_services.pointer = off;
    EXPECT_FALSE(Board().PickColorUnderCursor(&c, &pt)) << off.x << "," << off.y;
  }
}

}  // namespace
