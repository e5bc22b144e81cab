#pragma once
// The board the sharing benches draw on: an offscreen frame of the screen's
// size holding a board, the way the program shows it.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "board/board_wnd.h"
#include "platform/app.h"
#include "platform/frame.h"
#include "res/res.h"
#include "share/share_server.h"

class ShareBenchFrame : public CFrameWnd, public CBoardFrame {
 public:
  bool PreCreateWindow(CREATESTRUCT& cs) override {
    if (!CFrameWnd::PreCreateWindow(cs)) return false;
    cs.x = cs.y = 0;
    cs.cx = GetSystemMetrics(SM_CXSCREEN);
    cs.cy = GetSystemMetrics(SM_CYSCREEN);
    return true;
  }
  int OnCreate(CREATESTRUCT* cs) override {
    if (CFrameWnd::OnCreate(cs) == -1) return -1;
    return m_board.CreateInFrame(*this, *this) ? 0 : -1;
  }
  // Shows the board on the screen's picture.
  bool Show() {
    if (!CreateEx(0, WS_POPUP, "board", nullptr, CRect(), 0)) return false;
    m_board.CaptureScreen();
    return true;
  }
  CWnd& FrameWindow() override { return *this; }
  void ToggleBars() override {}
  void HideBars() override {}
  void ShowFontBar(bool, bool) override {}
  void RepaintPalette() override {}
  void BeginTempExit() override {}
  void SetTempExited(bool) override {}
  CBoardWnd m_board;
};

// The program's platform, offscreen, with its resources; figures printed
// line by line as they come.
inline void StartShareBench(int& argc, char** argv) {
  setvbuf(stdout, nullptr, _IOLBF, 0);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 0);
  plat::InitApplication(argc, argv);
  res::RegisterResources();
}

// Serves the board on the loopback address; false with the reason told.
inline bool ShareOnLoopback(CShareServer& server, const char* bench) {
  std::string error;
  if (server.Start(QHostAddress::LocalHost, 0, &error)) return true;
  std::fprintf(stderr, "%s: %s\n", bench, error.c_str());
  return false;
}

inline void ShareBenchLine(CBoardWnd& board, int x0, int y0, int x1, int y1, COLORREF c) {
  CClientDC dc(&board);
  CPen pen(PS_SOLID, 3, c);
  CSelectScope<CPen> select(dc, &pen);
  dc.MoveTo(x0, y0);
  dc.LineTo(x1, y1);
}

inline double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}
