// A picture file from the fuzzer through the picture loader, as the
// load-picture command loads it; built once per file type, which the loader
// picks by extension. What it accepts is painted into a small bitmap as it
// is, stretched and in part, then saved as a BMP file that must load again.
#include <cstdlib>

#include "image/dib.h"
#include "platform/gdi.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::InitApplication(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string path = fuzz::WriteFile(
      FUZZ_PICTURE_NAME, std::string_view(reinterpret_cast<const char*>(bytes), size));
  CDib dib;
  if (!dib.Load(path)) return 0;
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
  const std::string again = fuzz::PrivateFolder() + "/again.bmp";
  CDib back;
  if (dib.Save(again) && !back.Load(again)) std::abort();
  return 0;
}
