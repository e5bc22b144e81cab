#include "tests/support/board_fixture.h"

#include <cstring>
#include <sstream>

#include "board/text_box.h"
#include "platform/app.h"

bool CTestFrame::Create() { return CreateEx(0, WS_POPUP, "board", nullptr, CRect(), 0); }

bool CTestFrame::PreCreateWindow(CREATESTRUCT& cs) {
  if (!CFrameWnd::PreCreateWindow(cs)) return false;
  cs.x = cs.y = 0;
  cs.cx = GetSystemMetrics(SM_CXSCREEN);
  cs.cy = GetSystemMetrics(SM_CYSCREEN);
  return true;
}

int CTestFrame::OnCreate(CREATESTRUCT* cs) {
  if (CFrameWnd::OnCreate(cs) == -1) return -1;
  return m_board.CreateInFrame(*this, *this) ? 0 : -1;
}

CTestFrame& BoardTest::Frame() {
  static CTestFrame* frame = [] {
    auto* f = new CTestFrame;
    if (!f->Create()) ADD_FAILURE() << "the board could not be created";
    f->m_board.CaptureScreen();
    return f;
  }();
  return *frame;
}

COLORREF BoardTest::BackgroundAt(int x, int y) {
  // 20-pixel tiles of varied colours: inverted pixels never blend in.
  const unsigned tx = unsigned(x) / 20, ty = unsigned(y) / 20;
  const unsigned h = (tx * 73856093u) ^ (ty * 19349663u);
  return RGB(40 + h % 150, 60 + (h >> 8) % 140, 30 + (h >> 16) % 160);
}

void BoardTest::SetUp() {
  plat::SetServices(&m_services);
  CTestFrame& frame = Frame();
  CBoardWnd& board = frame.m_board;
  std::memset(g_records, 0, sizeof g_records);
  MarkAllSlotsEmpty();
  g_style = DrawStyle{};
  CWnd::ReleaseCapture();
  board.SetTools(nullptr);
  board.m_nCount = 0;
  board.m_texts.clear();
  board.m_nTool = ID_TOOL_POINTER;
  // Timers a test left running (a flashing, a text box) tick no more.
  board.KillTimer(2);
  board.KillTimer(4);
  if (board.m_textBox) {
    board.m_textBox->SetWindowText("");
    board.m_textBox->ShowWindow(SW_HIDE);
  }
  board.m_bRedrawing = false;
  board.m_nBackMode = 0;
  board.m_pReplayDlg = nullptr;
  // A drag a test left open ends here, so the next test's moves count.
  board.OnLButtonUp(0, CPoint(-1, -1));
  board.ResetStyle(false);
  frame.m_tempExited = false;
  frame.m_fontBarShown = false;
  frame.m_barsHidden = false;
  frame.m_paletteRepaints = frame.m_tempExits = 0;
  frame.ShowWindow(SW_SHOW);
  plat::ProcessEvents();

  const int w = board.m_rcDesktop.right, h = board.m_rcDesktop.bottom;
  {
    CDC mem;
    mem.CreateCompatibleDC(nullptr);
    CSelectScope<CBitmap> select(mem, &board.m_bmpCaptured);
    for (int y = 0; y < h; y += 20)
      for (int x = 0; x < w; x += 20) {
        const CRect rc(x, y, x + 20, y + 20);
        mem.FillSolidRect(&rc, BackgroundAt(x, y));
      }
  }
  board.Invalidate(true);
  board.UpdateWindow();
  board.SnapshotZoomView();
  CopyScreen(board.m_bmpCurrent, true);
}

void BoardTest::TearDown() {
  CWnd::ReleaseCapture();
  plat::SetServices(nullptr);
}

Picture BoardTest::Of(const CBitmap& bitmap) {
  return MakePicture(bitmap.Width(), bitmap.Height(),
                     [&](int x, int y) { return bitmap.GetPixel(x, y); });
}

void BoardTest::CopyScreen(CBitmap& bitmap, bool toBitmap) {
  CClientDC dc(&Board());
  CDC mem;
  mem.CreateCompatibleDC(&dc);
  CSelectScope<CBitmap> select(mem, &bitmap);
  const int w = Board().m_rcDesktop.right, h = Board().m_rcDesktop.bottom;
  toBitmap ? mem.BitBlt(0, 0, w, h, &dc, 0, 0, SRCCOPY)
           : dc.BitBlt(0, 0, w, h, &mem, 0, 0, SRCCOPY);
}

Picture BoardTest::Snap() {
  CBitmap bitmap;
  bitmap.CreateCompatibleBitmap(nullptr, Board().m_rcDesktop.right, Board().m_rcDesktop.bottom);
  CopyScreen(bitmap, true);
  return Of(bitmap);
}

Picture BoardTest::ReplayedPicture() {
  CopyScreen(Board().m_bmpCaptured, false);
  Board().Replay(0, Board().m_nCount, false);
  return Snap();
}

::testing::AssertionResult BoardTest::ShowsItsReplay() {
  // The live picture is taken before the replay draws over it.
  const Picture live = Snap();
  const Picture replayed = ReplayedPicture();
  std::string where;
  if (CountDifferences(live, replayed, &where) == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "live and replayed pictures differ: " << where;
}

void BoardTest::Drag(CPoint from, const std::vector<CPoint>& via, CPoint to) {
  Press(from);
  for (const CPoint& p : via) Move(p);
  Release(to);
}

void BoardTest::Click(CPoint p) {
  Press(p);
  Release(p);
}

void BoardTest::DoubleClickAt(CPoint p) {
  Press(p);
  Release(p);
  Board().OnLButtonDblClk(MK_LBUTTON, p);
  Release(p);
}

DrawRecord BoardTest::Rec(char op, int f1, int f2, int f3, int f4) {
  DrawRecord r{};
  r.op = op;
  r.f1 = f1, r.f2 = f2, r.f3 = f3, r.f4 = f4;
  return r;
}

std::string BoardTest::Describe(const DrawRecord& r) {
  std::ostringstream s;
  s << "'" << r.op << "' " << r.f1 << ' ' << r.f2 << ' ' << r.f3 << ' ' << r.f4;
  return s.str();
}
