#pragma once
// A copy of some of a window's client pixels that may travel to another
// thread, and its PNG encoding: what a viewer of the board is sent.
#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"

class CWnd;
class QImage;

namespace plat {

class PixelBlock {
 public:
  PixelBlock() = default;
  // The client pixels of wnd inside rc, clipped to the client area; empty
  // when nothing of rc is left or the window has no pixels.
  static PixelBlock CopyClient(const CWnd& wnd, const RECT& rc);

  bool IsEmpty() const { return !m_image; }
  // Client coordinates of the copy.
  const RECT& Rect() const { return m_rect; }
  // PNG bytes, 8-bit RGB without a colour profile so that any decoder gives
  // back the very pixels; fast zlib level. Safe on any thread.
  std::string EncodePng() const;

 private:
  RECT m_rect{};
  std::shared_ptr<const QImage> m_image;
};

// Decodes PNG bytes into 0x00BBGGRR pixels, top row first; false for bytes
// that are not a PNG picture.
bool DecodePng(const std::string& png, int* width, int* height, std::vector<COLORREF>* pixels);

}  // namespace plat
