#include "tests/tools/board_fixture.h"

#include <cstring>
#include <memory>
#include <sstream>

#include "platform/app.h"

CMainFrame& BoardTest::Frame() {
  static CMainFrame* frame = [] {
    auto* f = new CMainFrame;
    if (!f->LoadFrame()) ADD_FAILURE() << "the main frame could not be created";
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
  CMainFrame& frame = Frame();
  CBoardWnd& board = frame.m_board;
  std::memset(g_records, 0, sizeof g_records);
  MarkAllSlotsEmpty();
  g_style = DrawStyle{};
  CWnd::ReleaseCapture();
  board.m_nCount = 0;
  board.m_texts.clear();
  board.m_nTool = ID_TOOL_POINTER;
  board.m_nPolyPoints = 0;
  board.m_bMarkMode = false;
  board.m_bRedrawing = false;
  board.m_nBackMode = 0;
  board.ResetStyle(false);
  frame.m_tempExited = false;
  frame.ShowWindow(SW_SHOW);
  frame.ShowControlBar(&frame.m_fontBar, false, false);
  if (frame.m_barsHidden) frame.ToggleBars();
  plat::ProcessEvents();

  const int w = board.m_rcDesktop.right, h = board.m_rcDesktop.bottom;
  {
    CClientDC dc(&board);
    CDC mem;
    mem.CreateCompatibleDC(&dc);
    CBitmap* old = mem.SelectObject(&board.m_bmpCaptured);
    for (int y = 0; y < h; y += 20)
      for (int x = 0; x < w; x += 20) {
        const CRect rc(x, y, x + 20, y + 20);
        mem.FillSolidRect(&rc, BackgroundAt(x, y));
      }
    mem.SelectObject(old);
  }
  board.Invalidate(true);
  board.UpdateWindow();
  {
    CClientDC dc(&board);
    CDC mem;
    mem.CreateCompatibleDC(&dc);
    CBitmap* old = mem.SelectObject(&board.m_bmpCurrent);
    mem.BitBlt(0, 0, w, h, &dc, 0, 0, SRCCOPY);
    mem.SelectObject(old);
  }
}

void BoardTest::TearDown() {
  CWnd::ReleaseCapture();
  plat::SetServices(nullptr);
}

Picture BoardTest::Of(CBitmap& bitmap) {
  Picture p;
  p.width = bitmap.Width();
  p.height = bitmap.Height();
  p.pixels.reserve(std::size_t(p.width) * p.height);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) p.pixels.push_back(bitmap.GetPixel(x, y));
  return p;
}

Picture BoardTest::Snap() {
  CBoardWnd& board = Board();
  const int w = board.m_rcDesktop.right, h = board.m_rcDesktop.bottom;
  CClientDC dc(&board);
  CBitmap bitmap;
  bitmap.CreateCompatibleBitmap(&dc, w, h);
  CDC mem;
  mem.CreateCompatibleDC(&dc);
  CBitmap* old = mem.SelectObject(&bitmap);
  mem.BitBlt(0, 0, w, h, &dc, 0, 0, SRCCOPY);
  mem.SelectObject(old);
  return Of(bitmap);
}

Picture BoardTest::ReplayedPicture() {
  CBoardWnd& board = Board();
  const int w = board.m_rcDesktop.right, h = board.m_rcDesktop.bottom;
  {
    CClientDC dc(&board);
    CDC mem;
    mem.CreateCompatibleDC(&dc);
    CBitmap* old = mem.SelectObject(&board.m_bmpCaptured);
    dc.BitBlt(0, 0, w, h, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(old);
  }
  // As undo and redo replay: arrows are drawn without inverting a band away.
  board.m_bRedrawing = true;
  board.Replay(0, board.m_nCount, false);
  board.m_bRedrawing = false;
  return Snap();
}

int CountDifferences(const Picture& a, const Picture& b, std::string* where) {
  if (a.width != b.width || a.height != b.height) {
    if (where) *where = "pictures of different sizes";
    return a.width * a.height + b.width * b.height;
  }
  int n = 0;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x)
      if (a.At(x, y) != b.At(x, y) && n++ == 0 && where) {
        std::ostringstream s;
        s << "first at (" << x << ", " << y << "): " << std::hex << a.At(x, y) << " vs "
          << b.At(x, y);
        *where = s.str();
      }
  return n;
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
  DoubleClick(p);
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

std::string BoardTest::Describe(int i) { return Describe(g_records[i]); }
