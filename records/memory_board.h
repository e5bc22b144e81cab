#pragma once
// A board core that draws into a bitmap of its own: records replay into a
// picture of any size without a window or a screen.
#include <memory>

#include "platform/gdi.h"
#include "records/board_core.h"

class CMemoryBoard : public CBoardCore {
 public:
  // A black width x height picture; IsValid() is false for a size the
  // platform refuses.
  CMemoryBoard(int width, int height);
  bool IsValid() const { return m_bitmap.IsValid(); }
  // A context on the picture; none when it is not valid.
  std::unique_ptr<CDC> GetBoardDC() override;

  CBitmap m_bitmap;
};
