#include "tests/fuzz/fuzz_picture.h"

#include <cstdlib>

#include "image/dib.h"
#include "platform/gdi.h"
#include "tests/fuzz/fuzz_support.h"

namespace fuzz {

void LoadAndPaint(const char* fileName, const std::uint8_t* bytes, std::size_t size) {
  const std::string path =
      WriteFile(fileName, std::string_view(reinterpret_cast<const char*>(bytes), size));
  CDib dib;
  if (!dib.Load(path)) return;
  CBitmap bitmap;
  bitmap.CreateBitmap(32, 24);
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  dc.SelectObject(&bitmap);
  dib.Paint(&dc);  // unstretched, clipped by the small bitmap
  const RECT dest{3, 2, 29, 21};
  dib.Paint(&dc, &dest);  // stretched, unless the picture happens to be 26 x 19
  const RECT src{1, 1, dib.Width() / 2 + 1, dib.Height() / 2 + 1};
  dib.Paint(&dc, &src, &src);  // a part of the picture, unstretched

  // Whatever was accepted saves as a BMP file that loads again.
  const std::string again = PrivateFolder() + "/again.bmp";
  CDib back;
  if (dib.Save(again) && !back.Load(again)) std::abort();
}

}  // namespace fuzz
