// Packed device-independent bitmaps made by hand: every layout drawn, so
// that where each part lies shows in the pixels, and the one validation
// every block passes before it is read or drawn.
#include <cstdint>
#include <tuple>
#include <vector>

#include "platform/dib_format.h"
#include "tests/platform/test_gdi_util.h"

namespace {

using namespace gdi_test;
using Bytes = std::vector<std::uint8_t>;

// A 40-byte-header block with `tail` bytes after the header.
Bytes InfoBlock(std::int32_t width, std::int32_t height, int bits, DWORD compression, DWORD clrUsed,
                std::size_t tail, DWORD sizeImage = 0) {
  Bytes b(40 + tail);
  BITMAPINFOHEADER h;
  h.biWidth = width, h.biHeight = height, h.biBitCount = WORD(bits);
  h.biCompression = compression, h.biClrUsed = clrUsed, h.biSizeImage = sizeImage;
  dib::WriteInfoHeader(b.data(), h);
  return b;
}

// The block with its 32-bit fields from `at` on replaced by `values`.
Bytes With(Bytes b, std::size_t at, std::initializer_list<std::uint32_t> values) {
  for (std::uint32_t v : values) plat::PutLe32(b.data() + at, v), at += 4;
  return b;
}

// The header, the words after it (colour table entries 0x00RRGGBB, masks or
// the rest of a longer header) and the pixels.
Bytes Dib(int w, int h, int bits, DWORD compression, const std::vector<std::uint32_t>& words,
          const Bytes& pixels, DWORD clrUsed = 0) {
  Bytes b = InfoBlock(w, h, bits, compression, clrUsed, 4 * words.size(),
                      compression == BI_RLE8 ? DWORD(pixels.size()) : 0);
  for (std::size_t i = 0; i < words.size(); ++i) plat::PutLe32(&b[40 + 4 * i], words[i]);
  b.insert(b.end(), pixels.begin(), pixels.end());
  return b;
}

bool Valid(const Bytes& b, dib::Layout* l = nullptr) {
  return dib::ParseDib(b.data(), b.size(), l);
}

// The block's layout; every block drawn here is one the validation accepts.
dib::Layout LayoutOf(const Bytes& dib) {
  dib::Layout l;
  EXPECT_TRUE(Valid(dib, &l));
  return l;
}

int Show(Canvas& c, const Bytes& dib, int x, int y, int w, int h) {
  return c.dc.SetDIBitsToDevice(x, y, w, h, 0, 0, dib.data(), LayoutOf(dib));
}

// The layouts the picture tests draw from other programs' files aside: those
// tests compare every depth, palette, run-length and core-header variant
// with a reference decoder.
TEST(GdiDib, HeaderTableAndMaskLayoutsDrawTheirPixels) {
  auto expect = [](const char* what, const Bytes& dib, int w, int h, const std::vector<Px>& want) {
    SCOPED_TRACE(what);
    Canvas c(10, 10);
    EXPECT_EQ(Show(c, dib, 0, 0, w, h), h);
    ExpectPixels(c, want);
  };
  expect("24 bits after a 16-colour table kept as a display hint",
         Dib(1, 1, 24, 0, std::vector<std::uint32_t>(16, 0xFFFFFF), {1, 2, 3, 0}, 16), 1, 1,
         {{0, 0, RGB(3, 2, 1)}});
  expect("32 bits with an unused fourth byte of 0, stored top-down (negative height)",
         Dib(2, -2, 32, 0, {}, {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 1, 1, 1, 0}), 2, 2,
         {{0, 0, kRed}, {1, 0, kGreen}, {0, 1, kBlue}, {1, 1, RGB(1, 1, 1)}});
  expect("16 bits, 5-5-5 by default", Dib(2, 1, 16, 0, {}, {0x00, 0x7C, 0xE0, 0x03}), 2, 1,
         {{0, 0, RGB(248, 0, 0)}, {1, 0, RGB(0, 248, 0)}});
  expect("16 bits, 5-6-5 with colour masks after the header",
         Dib(2, 1, 16, 3, {0xF800, 0x07E0, 0x001F}, {0xE0, 0x07, 0x1F, 0x00}), 2, 1,
         {{0, 0, RGB(0, 252, 0)}, {1, 0, RGB(0, 0, 248)}});
  // A 124-byte header is the 40-byte one and 21 words more.
  std::vector<std::uint32_t> v5(21, 0);
  v5.insert(v5.end(), {0x0000FF, 0xFF0000});
  expect("a 124-byte header, 8 bits, 2 used", With(Dib(2, 1, 8, 0, v5, {1, 0, 0, 0}, 2), 0, {124}),
         2, 1, {{0, 0, kRed}, {1, 0, kBlue}});
  // 1 bit, 10 x 2, rows stored bottom first, each padded to 4 bytes; shown
  // away from the origin.
  const Bytes dib = Dib(10, 2, 1, 0, {0xFF0000, 0x0000FF},
                        {0xA0, 0x40, 0, 0,  // bottom: 1010000001
                         0x60, 0x00, 0, 0});
  Canvas c(20, 10);
  EXPECT_EQ(Show(c, dib, 5, 5, 10, 2), 2);
  const std::vector<std::string> art = c.Art({{'r', kRed}, {'b', kBlue}});
  EXPECT_EQ(art[5].substr(4, 12), ".rbbrrrrrrr.");
  EXPECT_EQ(art[6].substr(5, 10), "brbrrrrrrb");
}

TEST(GdiDib, StretchingScalesWithoutSmoothingFromTheLowerLeftOrigin) {
  const Bytes dib = Dib(2, 2, 24, 0, {},
                        {0, 0, 255, 0, 255, 0, 0, 0,        // bottom: red green
                         255, 0, 0, 255, 255, 255, 0, 0});  // top: blue white
  const dib::Layout layout = LayoutOf(dib);
  Canvas c(10, 10, kBlack);
  EXPECT_EQ(c.dc.StretchDIBits(0, 0, 4, 4, 0, 0, 2, 2, dib.data(), layout, SRCCOPY), 2);
  const COLORREF expected[2][2] = {{kBlue, kWhite}, {kRed, kGreen}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(c.At(x, y), expected[y / 2][x / 2]) << x << "," << y;
  EXPECT_EQ(c.At(4, 4), kBlack);
  c.dc.StretchDIBits(6, 6, 3, 3, 1, 0, 1, 1, dib.data(), layout, SRCCOPY);
  EXPECT_EQ(c.At(7, 7), kGreen) << "source row 0 of a bottom-up picture is its bottom row";
  EXPECT_EQ(c.dc.SetDIBitsToDevice(INT_MIN, INT_MAX, INT_MAX, INT_MAX, INT_MIN, INT_MAX, dib.data(),
                                   layout),
            2);
}

TEST(PackedValidation, RefusesUnknownHeadersAbsurdDimensionsDepthsCompressionsAndShortBlocks) {
  for (std::uint32_t size : {0u, 11u, 16u, 39u, 41u, 52u, 56u, 64u, 0xFFFFFFFFu})
    EXPECT_FALSE(Valid(With(InfoBlock(1, 1, 24, BI_RGB, 0, 200), 0, {size}))) << size;
  EXPECT_FALSE(Valid(With(InfoBlock(1, 1, 24, BI_RGB, 0, 4), 12, {2 | 24 << 16}))) << "2 planes";
  for (int bits : {0, 2, 3, 7, 12, 48, 64})
    EXPECT_FALSE(Valid(InfoBlock(1, 1, bits, BI_RGB, 0, 2048))) << bits;
  // Width, height, bits, compression, colours used, bytes after the header, image size.
  const std::tuple<std::int32_t, std::int32_t, int, DWORD, DWORD, std::size_t, DWORD> refused[] = {
      {0, 1, 24, BI_RGB, 0, 64, 0},         {1, 0, 24, BI_RGB, 0, 64, 0},
      {1, INT32_MIN, 24, BI_RGB, 0, 64, 0}, {-3, 1, 24, BI_RGB, 0, 64, 0},
      {40000, 1, 1, BI_RGB, 0, 8000, 0},    {32768, 2049, 1, BI_RGB, 0, 8, 0},
      {1, 1, 24, BI_RLE8, 0, 64, 4},        {1, 1, 8, BI_RLE4, 0, 1100, 4},
      {1, 1, 24, BI_BITFIELDS, 0, 64, 0},   {1, 1, 24, 4 /*JPEG*/, 0, 64, 0},
      {1, 1, 1, BI_RGB, 3, 64, 0},          {1, 1, 24, BI_RGB, 0x40000000, 2000, 0},
      {1, 1, 8, BI_RGB, 0, 1000, 0},        // table cut
      {5, 3, 24, BI_RGB, 0, 47, 0},         // 48 needed
      {4, 2, 8, BI_RLE8, 0, 1024 + 8, 9},   // image size beyond the block
      {4, 2, 8, BI_RLE8, 0, 1024 + 8, 0},   // no image size
      {4, -2, 8, BI_RLE8, 0, 1024 + 8, 8},  // run-length cannot be top-down
  };
  for (const auto& c : refused)
    EXPECT_FALSE(Valid(std::apply(InfoBlock, c))) << "row " << &c - refused;
  EXPECT_TRUE(Valid(InfoBlock(5, 3, 24, BI_RGB, 0, 48)));
  Bytes cut = InfoBlock(1, 1, 24, BI_RGB, 0, 4);
  cut.resize(30);
  EXPECT_FALSE(Valid(cut)) << "header cut short";
  EXPECT_FALSE(Valid(Bytes{})) << "empty";
  EXPECT_FALSE(dib::ParseDib(nullptr, 64, nullptr)) << "absent";

  // Width 7, height 2, one plane, 4 bits: a table of 16 three-byte entries.
  Bytes core(12 + 16 * 3 + 2 * 4);
  plat::PutLe32(core.data(), 12), plat::PutLe16(core.data() + 4, 7);
  plat::PutLe16(core.data() + 6, 2), plat::PutLe16(core.data() + 8, 1);
  plat::PutLe16(core.data() + 10, 4);
  EXPECT_TRUE(Valid(core));
  core.pop_back();
  EXPECT_FALSE(Valid(core)) << "last row cut short";
  const Bytes masks =
      With(InfoBlock(2, 1, 16, BI_BITFIELDS, 0, 12 + 4), 40, {0xF800, 0x07E0, 0x1F});
  EXPECT_TRUE(Valid(masks));
  EXPECT_FALSE(Valid(With(masks, 44, {0}))) << "missing green mask";
  EXPECT_FALSE(Valid(With(With(InfoBlock(2, 1, 32, BI_BITFIELDS, 0, 84 + 8), 0, {124}), 40,
                          {0xFF0000, 0xFF0000, 0xFF, 0xFF000000})))
      << "overlapping masks";
}

}  // namespace
