#include <gtest/gtest.h>

#include <memory>

#include "app/main_frame.h"
#include "platform/app.h"
#include "platform/services.h"
#include "res/resource.h"

namespace {

void Fill(CBitmap& bmp, COLORREF color) {
  CDC mem;
  mem.CreateCompatibleDC(nullptr);
  CBitmap* old = mem.SelectObject(&bmp);
  RECT rc{0, 0, bmp.Width(), bmp.Height()};
  mem.FillSolidRect(&rc, color);
  mem.SelectObject(old);
}

COLORREF BoardPixel(CBoardWnd& board, int x, int y) {
  CClientDC dc(&board);
  return dc.GetPixel(x, y);
}

class BoardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = std::make_unique<CMainFrame>();
    ASSERT_TRUE(frame->LoadFrame());
    board = &frame->m_board;
    W = board->m_rcDesktop.right;
    H = board->m_rcDesktop.bottom;
    Fill(board->m_bmpCaptured, kCaptured);
    Fill(board->m_bmpCurrent, kCurrent);
    Fill(board->m_bmpZoomView, kZoom);
  }
  void TearDown() override { frame.reset(); }

  COLORREF Repaint() {
    board->Invalidate(true);
    board->UpdateWindow();
    return BoardPixel(*board, W / 2, H / 2);
  }

  static constexpr COLORREF kCaptured = RGB(200, 0, 0), kCurrent = RGB(0, 200, 0),
                            kZoom = RGB(0, 0, 200);
  std::unique_ptr<CMainFrame> frame;
  CBoardWnd* board = nullptr;
  int W = 0, H = 0;
};

TEST_F(BoardTest, TheBoardCoversTheScreenWithScreenSizedBitmapsAndEveryRecordSlotEmpty) {
  EXPECT_EQ(W, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(H, GetSystemMetrics(SM_CYSCREEN));
  RECT rc;
  board->GetWindowRect(&rc);
  EXPECT_EQ(rc, (RECT{0, 0, W, H}));
  frame->GetWindowRect(&rc);
  EXPECT_EQ(rc, (RECT{0, 0, W, H}));
  for (CBitmap* bmp : {&board->m_bmpCurrent, &board->m_bmpCaptured, &board->m_bmpZoomView}) {
    EXPECT_EQ(bmp->Width(), W);
    EXPECT_EQ(bmp->Height(), H);
  }
  int empty = 0;
  for (const DrawRecord& r : g_records) empty += r.op == 'N';
  EXPECT_EQ(empty, kRecordSlots);
  EXPECT_EQ(board->m_nCount, 0);
  EXPECT_EQ(board->m_nTool, ID_TOOL_POINTER);
  EXPECT_EQ(board->m_pFrame, frame.get());
  EXPECT_EQ(frame->m_paletteBar.m_pBoard, board);
  EXPECT_EQ(board->m_logFont.lfHeight, 21);
  EXPECT_EQ(board->m_logFont.lfWidth, 9);
}

TEST_F(BoardTest, EraseBackgroundPaintsByToolCountRedrawFlagAndBackgroundMode) {
  // No records: the background of the mode.
  EXPECT_EQ(Repaint(), kCaptured);
  board->m_nBackMode = 1;
  EXPECT_EQ(Repaint(), RGB(255, 255, 255));
  board->m_nBackMode = 2;
  EXPECT_EQ(Repaint(), RGB(0, 0, 0));
  board->m_nBackMode = 3;
  EXPECT_EQ(Repaint(), kCaptured);

  // Records: the current picture, unless undo is redrawing or a replay runs.
  board->m_nCount = 1;
  EXPECT_EQ(Repaint(), kCurrent);
  board->m_bRedrawing = true;
  EXPECT_EQ(Repaint(), kCaptured);
  board->m_nBackMode = 1;
  EXPECT_EQ(Repaint(), RGB(255, 255, 255));
  board->m_bRedrawing = false;
  board->m_pReplayDlg = reinterpret_cast<CReplayDlg*>(board);  // any non-null dialog
  board->m_nBackMode = 2;
  EXPECT_EQ(Repaint(), RGB(0, 0, 0));
  board->m_pReplayDlg = nullptr;
  EXPECT_EQ(Repaint(), kCurrent);

  // The magnifier shows its own picture whatever the records.
  board->m_nTool = ID_TOOL_MAGNIFY;
  EXPECT_EQ(Repaint(), kZoom);
  board->m_nCount = 0;
  EXPECT_EQ(Repaint(), kZoom);
  board->m_nTool = ID_TOOL_POINTER;
  board->m_nCount = 0;
  board->m_nBackMode = 0;
  EXPECT_EQ(Repaint(), kCaptured);
  EXPECT_EQ(BoardPixel(*board, 0, 0), kCaptured);
  EXPECT_EQ(BoardPixel(*board, W - 1, H - 1), kCaptured);
}

TEST_F(BoardTest, ASnapshotTakesWhatTheBoardShowsAndHidesTheBars) {
  frame->ToggleBars();
  ASSERT_FALSE(frame->m_barsHidden);
  Repaint();
  {
    CClientDC dc(board);
    RECT rc{10, 20, 30, 40};
    dc.FillSolidRect(&rc, RGB(1, 2, 3));
  }
  board->SnapshotBoard();
  EXPECT_TRUE(frame->m_barsHidden);
  EXPECT_FALSE(frame->m_toolsBar.IsWindowVisible());
  EXPECT_FALSE(frame->m_paletteBar.IsWindowVisible());
  EXPECT_EQ(board->m_bmpCurrent.GetPixel(10, 20), RGB(1, 2, 3));
  EXPECT_EQ(board->m_bmpCurrent.GetPixel(29, 39), RGB(1, 2, 3));
  EXPECT_EQ(board->m_bmpCurrent.GetPixel(30, 40), kCaptured);

  board->SnapshotZoomView();
  EXPECT_EQ(board->m_bmpZoomView.GetPixel(15, 25), RGB(1, 2, 3));
}

TEST_F(BoardTest, PickColorReadsThePixelUnderThePointerAndRefusesPositionsOffTheBoard) {
  plat::ScriptedServices svc;
  plat::ScopedServices scope(&svc);
  Repaint();
  {
    CClientDC dc(board);
    dc.SetPixel(W - 1, H - 1, RGB(9, 8, 7));
  }
  COLORREF c = 0;
  CPoint pt;
  svc.pointer = {W - 1, H - 1};
  ASSERT_TRUE(board->PickColorUnderCursor(&c, &pt));
  EXPECT_EQ(c, RGB(9, 8, 7));
  EXPECT_EQ(pt, (POINT{W - 1, H - 1}));
  svc.pointer = {0, 0};
  ASSERT_TRUE(board->PickColorUnderCursor(&c, &pt));
  EXPECT_EQ(c, kCaptured);
  for (POINT off : {POINT{-1, 5}, POINT{5, -1}, POINT{W, 5}, POINT{5, H}}) {
    svc.pointer = off;
    EXPECT_FALSE(board->PickColorUnderCursor(&c, &pt)) << off.x << "," << off.y;
  }
}

TEST_F(BoardTest, CaptureScreenShowsTheFrameAndBarsAndReturnsToTheCapturedBackground) {
  board->m_nBackMode = 2;
  board->m_nPolyPoints = 3;
  board->CaptureScreen();
  EXPECT_EQ(board->m_nBackMode, 0);
  EXPECT_EQ(board->m_nPolyPoints, 0);
  EXPECT_TRUE(frame->IsWindowVisible());
  EXPECT_FALSE(frame->m_barsHidden);
  EXPECT_TRUE(frame->m_toolsBar.IsWindowVisible());
  EXPECT_TRUE(frame->m_paletteBar.IsWindowVisible());
  EXPECT_FALSE(frame->m_fontBar.IsWindowVisible());
  // The offscreen screen is black; both pictures now hold it.
  EXPECT_EQ(board->m_bmpCaptured.GetPixel(3, 3), board->m_bmpCurrent.GetPixel(3, 3));
  EXPECT_EQ(BoardPixel(*board, 3, 3), board->m_bmpCaptured.GetPixel(3, 3));
}

}  // namespace
