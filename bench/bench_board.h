#pragma once
// A board without a window for the benchmarks: the picture is a bitmap
// filled with a screen-like colour, the captured screen a second one.
#include <memory>

#include "platform/gdi.h"
#include "records/board_core.h"

class BenchBoard : public CBoardCore {
 public:
  BenchBoard(int w, int h) {
    m_bitmap.CreateBitmap(w, h);
    m_captured.CreateBitmap(w, h);
    auto dc = GetBoardDC();
    const RECT rc{0, 0, w, h};
    dc->FillSolidRect(&rc, 0xC08040);
    ResetStyle(false);
  }
  std::unique_ptr<CDC> GetBoardDC() override {
    auto dc = std::make_unique<CDC>();
    dc->CreateCompatibleDC(nullptr);
    dc->SelectObject(&m_bitmap);
    return dc;
  }
  // The undo repaint: the captured screen under the records.
  void CopyBackground() {
    auto dc = GetBoardDC();
    CDC src;
    src.CreateCompatibleDC(nullptr);
    src.SelectObject(&m_captured);
    dc->BitBlt(0, 0, m_bitmap.Width(), m_bitmap.Height(), &src, 0, 0, SRCCOPY);
  }
  CBitmap m_bitmap, m_captured;
};
