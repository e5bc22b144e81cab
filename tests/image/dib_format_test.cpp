// The packed layout's rules and the validation every block passes before use.
#include "image/dib_format.h"

#include <gtest/gtest.h>

#include "image_test_util.h"

using imgtest::Bytes;

namespace {

// A 40-byte-header block with `tail` bytes after the header.
Bytes InfoBlock(std::int32_t width, std::int32_t height, int bits, DWORD compression, DWORD clrUsed,
                std::size_t tail, DWORD sizeImage = 0) {
  Bytes b(40 + tail);
  BITMAPINFOHEADER h;
  h.biWidth = width;
  h.biHeight = height;
  h.biBitCount = WORD(bits);
  h.biCompression = compression;
  h.biClrUsed = clrUsed;
  h.biSizeImage = sizeImage;
  dib::WriteInfoHeader(b.data(), h);
  return b;
}

bool Valid(const Bytes& b, dib::Layout* l = nullptr) {
  return dib::ParseDib(b.data(), b.size(), l);
}

}  // namespace

TEST(PackedLayout, RowsArePaddedToFourBytesAndTheTableFollowsUsedColoursOrTheBitCount) {
  EXPECT_EQ(dib::RowBytes(24, 1), 4);
  EXPECT_EQ(dib::RowBytes(24, 5), 16);
  EXPECT_EQ(dib::RowBytes(24, 1024), 3072);
  EXPECT_EQ(dib::RowBytes(1, 33), 8);
  EXPECT_EQ(dib::RowBytes(4, 9), 8);
  const struct {
    int bits;
    DWORD used;
    std::size_t tail;
    int colors;
  } cases[] = {{8, 20, 80 + 8, 20}, {8, 0, 1024 + 8, 256}, {24, 0, 24, 0}};
  for (const auto& c : cases) {
    dib::Layout l;
    ASSERT_TRUE(Valid(InfoBlock(4, 2, c.bits, BI_RGB, c.used, c.tail), &l)) << c.bits;
    EXPECT_EQ(l.colors, c.colors);
    EXPECT_EQ(l.bitsOffset, 40u + 4u * c.colors);
  }
}

TEST(PackedLayout, CoreHeaderUsesSixteenBitFieldsAndThreeByteEntries) {
  Bytes b(12 + 16 * 3 + 2 * 4);
  dib::Put32(b.data(), 12);
  dib::Put16(b.data() + 4, 7);
  dib::Put16(b.data() + 6, 2);
  dib::Put16(b.data() + 8, 1);
  dib::Put16(b.data() + 10, 4);
  dib::Layout l;
  ASSERT_TRUE(Valid(b, &l));
  EXPECT_EQ(l.width, 7);
  EXPECT_EQ(l.height, 2);
  EXPECT_EQ(l.colors, 16);
  EXPECT_EQ(l.bitsOffset, 12u + 48u);
  b.pop_back();
  EXPECT_FALSE(Valid(b)) << "last row cut short";
}

TEST(PackedLayout, ExtendedHeadersAreReadAsTheHeaderTheyExtend) {
  for (std::uint32_t size : {108u, 124u}) {
    Bytes b = InfoBlock(2, 2, 8, BI_RGB, 2, size - 40 + 2 * 4 + 2 * 4);
    dib::Put32(b.data(), size);
    dib::Layout l;
    ASSERT_TRUE(Valid(b, &l)) << size;
    EXPECT_EQ(l.tableOffset, size);
    EXPECT_EQ(l.bitsOffset, size + 8);
  }
}

TEST(PackedLayout, BitfieldMasksSitAfterAFortyByteHeaderOrInsideALongerOne) {
  Bytes b = InfoBlock(2, 1, 16, BI_BITFIELDS, 0, 12 + 4);
  dib::Put32(b.data() + 40, 0xF800);
  dib::Put32(b.data() + 44, 0x07E0);
  dib::Put32(b.data() + 48, 0x001F);
  dib::Layout l;
  ASSERT_TRUE(Valid(b, &l));
  EXPECT_EQ(l.bitsOffset, 52u);

  Bytes v5 = InfoBlock(2, 1, 32, BI_BITFIELDS, 0, 124 - 40 + 8);
  dib::Put32(v5.data(), 124);
  dib::Put32(v5.data() + 40, 0xFF0000);
  dib::Put32(v5.data() + 44, 0xFF00);
  dib::Put32(v5.data() + 48, 0xFF);
  dib::Put32(v5.data() + 52, 0xFF000000);
  ASSERT_TRUE(Valid(v5, &l));
  EXPECT_EQ(l.bitsOffset, 124u);

  dib::Put32(v5.data() + 44, 0xFF0000);
  EXPECT_FALSE(Valid(v5)) << "overlapping masks";
  dib::Put32(b.data() + 44, 0);
  EXPECT_FALSE(Valid(b)) << "missing green mask";
}

TEST(PackedLayout, TopDownPicturesAreRecognised) {
  dib::Layout l;
  ASSERT_TRUE(Valid(InfoBlock(3, -2, 24, BI_RGB, 0, 24), &l));
  EXPECT_TRUE(l.topDown);
  EXPECT_EQ(l.height, 2);
  EXPECT_FALSE(Valid(InfoBlock(4, -2, 8, BI_RLE8, 0, 1024 + 8, 8))) << "RLE cannot be top-down";
}

TEST(PackedValidation, RefusesUnknownHeadersAbsurdDimensionsDepthsAndCompressions) {
  for (std::uint32_t size : {0u, 11u, 16u, 39u, 41u, 52u, 56u, 64u, 0xFFFFFFFFu}) {
    Bytes b = InfoBlock(1, 1, 24, BI_RGB, 0, 200);
    dib::Put32(b.data(), size);
    EXPECT_FALSE(Valid(b)) << size;
  }
  Bytes planes = InfoBlock(1, 1, 24, BI_RGB, 0, 4);
  dib::Put16(planes.data() + 12, 2);
  EXPECT_FALSE(Valid(planes));
  for (int bits : {0, 2, 3, 7, 12, 48, 64}) {
    EXPECT_FALSE(Valid(InfoBlock(1, 1, bits, BI_RGB, 0, 2048))) << bits;
  }
  const struct {
    std::int32_t w, h;
    int bits;
    DWORD compression, used;
    std::size_t tail;
    DWORD sizeImage;
  } refused[] = {
      {0, 1, 24, BI_RGB, 0, 64, 0},
      {1, 0, 24, BI_RGB, 0, 64, 0},
      {-1, 1, 24, BI_RGB, 0, 64, 0},
      {INT32_MIN, 1, 24, BI_RGB, 0, 64, 0},
      {1, INT32_MIN, 24, BI_RGB, 0, 64, 0},
      {40000, 1, 1, BI_RGB, 0, 8000, 0},
      {20000, 20000, 1, BI_RGB, 0, 8, 0},
      {1, 1, 24, BI_RLE8, 0, 64, 4},
      {1, 1, 8, BI_RLE4, 0, 1100, 4},
      {1, 1, 24, BI_BITFIELDS, 0, 64, 0},
      {1, 1, 24, 4 /*JPEG*/, 0, 64, 0},
      {1, 1, 24, 6, 0, 64, 0},
      {1, 1, 1, BI_RGB, 3, 64, 0},
      {1, 1, 8, BI_RGB, 257, 2000, 0},
      {1, 1, 24, BI_RGB, 0x40000000, 2000, 0},
      {1, 1, 8, BI_RGB, 0, 1024, 0},       // no room for the row
      {1, 1, 8, BI_RGB, 0, 1000, 0},       // table cut
      {5, 3, 24, BI_RGB, 0, 47, 0},        // 48 needed
      {4, 2, 8, BI_RLE8, 0, 1024 + 8, 9},  // image size beyond the block
      {4, 2, 8, BI_RLE8, 0, 1024 + 8, 0},  // no image size
  };
  for (const auto& c : refused) {
    EXPECT_FALSE(Valid(InfoBlock(c.w, c.h, c.bits, c.compression, c.used, c.tail, c.sizeImage)))
        << c.w << "x" << c.h << " bits " << c.bits << " compression " << c.compression << " used "
        << c.used << " tail " << c.tail;
  }
  EXPECT_TRUE(Valid(InfoBlock(2, 1, 4, BI_RLE4, 0, 64 + 4, 4)));
  EXPECT_TRUE(Valid(InfoBlock(1, 1, 24, BI_RGB, 16, 64 + 4))) << "a display hint for true colour";
  EXPECT_TRUE(Valid(InfoBlock(5, 3, 24, BI_RGB, 0, 48)));
  Bytes b = InfoBlock(1, 1, 24, BI_RGB, 0, 4);
  EXPECT_FALSE(dib::ParseDib(b.data(), 39, nullptr)) << "header cut";
  EXPECT_FALSE(dib::ParseDib(nullptr, 0, nullptr));
}
