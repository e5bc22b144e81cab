// The packed device-independent bitmap layout: where its parts lie, and the
// one validation every block passes before it is read or drawn.
#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <vector>

#include "platform/dib_format.h"

using Bytes = std::vector<std::uint8_t>;

namespace {

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

Bytes CoreBlock(std::size_t size) {
  Bytes b(size);
  // Width 7, height 2, one plane, 4 bits.
  plat::PutLe32(b.data(), 12), plat::PutLe16(b.data() + 4, 7), plat::PutLe16(b.data() + 6, 2);
  plat::PutLe16(b.data() + 8, 1), plat::PutLe16(b.data() + 10, 4);
  return b;
}

bool Valid(const Bytes& b, dib::Layout* l = nullptr) {
  return dib::ParseDib(b.data(), b.size(), l);
}

}  // namespace

TEST(PackedLayout, HeadersTablesAndMasksArePlacedByTheHeaderSizeUsedColoursAndBitCount) {
  const Bytes masks16 =
      With(InfoBlock(2, 1, 16, BI_BITFIELDS, 0, 12 + 4), 40, {0xF800, 0x07E0, 0x001F});
  const Bytes v5 = With(With(InfoBlock(2, 1, 32, BI_BITFIELDS, 0, 124 - 40 + 8), 0, {124}), 40,
                        {0xFF0000, 0xFF00, 0xFF, 0xFF000000});
  const struct {
    const char* what;
    Bytes block;
    int width, height, colors;
    std::size_t tableOffset, bitsOffset;
    bool topDown;
  } cases[] = {
      {"8 bits, 20 used", InfoBlock(4, 2, 8, BI_RGB, 20, 80 + 8), 4, 2, 20, 40, 120, false},
      {"8 bits, all used", InfoBlock(4, 2, 8, BI_RGB, 0, 1024 + 8), 4, 2, 256, 40, 1064, false},
      {"top-down", InfoBlock(3, -2, 24, BI_RGB, 0, 24), 3, 2, 0, 40, 40, true},
      {"core header: 16-bit fields, 3-byte entries", CoreBlock(12 + 16 * 3 + 2 * 4), 7, 2, 16, 12,
       60, false},
      {"124-byte header", With(InfoBlock(2, 2, 8, BI_RGB, 2, 84 + 16), 0, {124}), 2, 2, 2, 124, 132,
       false},
      {"masks after a 40-byte header", masks16, 2, 1, 0, 52, 52, false},
      {"masks inside a 124-byte header", v5, 2, 1, 0, 124, 124, false},
  };
  for (const auto& c : cases) {
    dib::Layout l;
    ASSERT_TRUE(Valid(c.block, &l)) << c.what;
    EXPECT_EQ(std::tuple(l.width, l.height, l.colors, l.tableOffset, l.bitsOffset, l.topDown),
              std::tuple(c.width, c.height, c.colors, c.tableOffset, c.bitsOffset, c.topDown))
        << c.what;
  }
  EXPECT_TRUE(Valid(InfoBlock(1, 1, 24, BI_RGB, 16, 64 + 4))) << "a display hint for true colour";

  // Cut short, overlapping or missing masks.
  Bytes core = CoreBlock(12 + 16 * 3 + 2 * 4);
  core.pop_back();
  EXPECT_FALSE(Valid(core)) << "last row cut short";
  EXPECT_FALSE(Valid(With(v5, 44, {0xFF0000}))) << "overlapping masks";
  EXPECT_FALSE(Valid(With(masks16, 44, {0}))) << "missing green mask";
}

TEST(PackedValidation, RefusesUnknownHeadersAbsurdDimensionsDepthsAndCompressions) {
  for (std::uint32_t size : {0u, 11u, 16u, 39u, 41u, 52u, 56u, 64u, 0xFFFFFFFFu})
    EXPECT_FALSE(Valid(With(InfoBlock(1, 1, 24, BI_RGB, 0, 200), 0, {size}))) << size;
  Bytes planes = InfoBlock(1, 1, 24, BI_RGB, 0, 4);
  plat::PutLe16(planes.data() + 12, 2);
  EXPECT_FALSE(Valid(planes));
  for (int bits : {0, 2, 3, 7, 12, 48, 64})
    EXPECT_FALSE(Valid(InfoBlock(1, 1, bits, BI_RGB, 0, 2048))) << bits;
  const struct {
    std::int32_t w, h;
    int bits;
    DWORD compression, used;
    std::size_t tail;
    DWORD sizeImage;
  } refused[] = {
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
  for (const auto& c : refused) {
    EXPECT_FALSE(Valid(InfoBlock(c.w, c.h, c.bits, c.compression, c.used, c.tail, c.sizeImage)))
        << "row " << &c - refused;
  }
  EXPECT_TRUE(Valid(InfoBlock(5, 3, 24, BI_RGB, 0, 48)));
  Bytes cut = InfoBlock(1, 1, 24, BI_RGB, 0, 4);
  cut.resize(30);
  EXPECT_FALSE(Valid(cut)) << "header cut short";
  EXPECT_FALSE(Valid(Bytes{})) << "empty";
  EXPECT_FALSE(dib::ParseDib(nullptr, 64, nullptr)) << "absent";
}
