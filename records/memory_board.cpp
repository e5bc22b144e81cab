#include "records/memory_board.h"

CMemoryBoard::CMemoryBoard(int width, int height) {
  m_bitmap.CreateBitmap(width, height);
  ResetStyle(false);
}

std::unique_ptr<CDC> CMemoryBoard::GetBoardDC() {
  if (!m_bitmap.IsValid()) return nullptr;
  auto dc = std::make_unique<CDC>();
  dc->CreateCompatibleDC(nullptr);
  dc->SelectObject(&m_bitmap);
  return dc;
}
