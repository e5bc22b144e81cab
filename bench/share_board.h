#pragma once
// The board the sharing benches draw on: an offscreen frame of the screen's
// size holding a board, the way the program shows it.
#include <algorithm>
#include <vector>

#include "board/board_wnd.h"
#include "platform/frame.h"

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
  CWnd& FrameWindow() override { return *this; }
  void ToggleBars() override {}
  void HideBars() override {}
  void ShowFontBar(bool, bool) override {}
  void RepaintPalette() override {}
  void BeginTempExit() override {}
  void SetTempExited(bool) override {}
  CBoardWnd m_board;
};

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
