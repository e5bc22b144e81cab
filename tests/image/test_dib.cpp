// CDib: blank pictures, taking blocks over, palettes, capture and painting.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "image/dib.h"
#include "image_test_util.h"

using namespace imgtest;

namespace {

// An 8-bit block of w x h pixels whose colour table has the given entries.
HDIB Paletted(int w, int h, const std::vector<COLORREF>& table, std::uint8_t index) {
  const std::size_t stride = std::size_t(dib::RowBytes(8, w));
  HDIB block = AllocDib(40 + 4 * table.size() + stride * h);
  BITMAPINFOHEADER hdr;
  hdr.biWidth = w, hdr.biHeight = h, hdr.biBitCount = 8, hdr.biClrUsed = DWORD(table.size());
  dib::WriteInfoHeader(block->bytes.data(), hdr);
  for (std::size_t i = 0; i < table.size(); ++i) {
    std::uint8_t* e = block->bytes.data() + 40 + 4 * i;
    e[0] = std::uint8_t(GetBValue(table[i])), e[1] = std::uint8_t(GetGValue(table[i]));
    e[2] = std::uint8_t(GetRValue(table[i]));
  }
  std::fill(block->bytes.begin() + 40 + 4 * table.size(), block->bytes.end(), index);
  return block;
}

Picture Gradient(int w, int h) {
  return MakePicture(w, h, [](int x, int y) { return RGB(x * 19, 255 - y * 36, 7); });
}

}  // namespace

TEST(CDibCreate, GivesABlackPictureWithAHalftonePaletteOrRefusesAndEmptiesTheObject) {
  CDib dib;
  ASSERT_TRUE(dib.Create(1024, 768, 24));
  EXPECT_EQ(std::pair(dib.RowBytes(), dib.GetBitCount()), std::pair(3072, 24));
  ASSERT_NE(dib.Palette(), nullptr);
  EXPECT_EQ(dib.Palette()->entries.size(), 256u);
  const Bytes& b = dib.Block()->bytes;
  ASSERT_GE(b.size(), 40u + 3072u * 768u);
  const BITMAPINFOHEADER h = dib::ReadInfoHeader(b.data());
  EXPECT_EQ(std::tuple(h.biSize, h.biWidth, h.biHeight, h.biPlanes, h.biCompression, h.biClrUsed),
            std::tuple(DWORD(40), LONG(1024), LONG(768), WORD(1), DWORD(BI_RGB), DWORD(0)));
  EXPECT_TRUE(std::all_of(b.begin() + 40, b.end(), [](std::uint8_t v) { return v == 0; }));

  for (int bits : {1, 4, 8}) {
    ASSERT_TRUE(dib.Create(10, 3, bits)) << bits;
    const Bytes& p = dib.Block()->bytes;
    EXPECT_EQ(dib::ReadInfoHeader(p.data()).biClrUsed, 1u << bits);
    dib::Layout l;
    ASSERT_TRUE(dib::ParseDib(p.data(), p.size(), &l)) << bits;
    EXPECT_EQ(l.bitsOffset, 40u + 4u * (1u << bits)) << "room for the colour table";
  }

  for (const auto& [w, h, bits] :
       {std::tuple{0, 4, 24}, {4, -4, 24}, {4, 4, 12}, {100000, 100000, 24}}) {
    ASSERT_TRUE(dib.Create(4, 4, 24));
    EXPECT_FALSE(dib.Create(w, h, bits)) << w << "x" << h << " bits " << bits;
    EXPECT_EQ(dib.Block(), nullptr);
    EXPECT_EQ(dib.Palette(), nullptr);
    EXPECT_EQ(dib.GetBitCount(), 0);
  }
}

TEST(CDibAttach, TakesAValidBlockWithItsPaletteAndRefusesAnInvalidOne) {
  CDib dib;
  ASSERT_TRUE(dib.Attach(Paletted(3, 2, {RGB(10, 20, 30), RGB(40, 50, 60)}, 1)));
  EXPECT_EQ(std::tuple(dib.Width(), dib.Height(), dib.RowBytes(), dib.GetBitCount()),
            std::tuple(3, 2, 4, 8));
  ASSERT_NE(dib.Palette(), nullptr);
  ASSERT_EQ(dib.Palette()->entries.size(), 2u);
  const PALETTEENTRY& e = dib.Palette()->entries[1];
  EXPECT_EQ(RGB(e.peRed, e.peGreen, e.peBlue), RGB(40, 50, 60));

  ASSERT_TRUE(dib.Attach(MakeDib24(Gradient(4, 4))));
  EXPECT_EQ(dib.Palette(), nullptr) << "true colour on a true-colour screen";

  EXPECT_FALSE(dib.Attach(nullptr));
  EXPECT_EQ(dib.Block(), nullptr);
  ASSERT_TRUE(dib.Create(4, 4, 24));
  HDIB bad = MakeDib24(Gradient(4, 4));
  bad->bytes.resize(50);
  EXPECT_FALSE(dib.Attach(std::move(bad)));
  EXPECT_EQ(dib.Block(), nullptr);
  EXPECT_EQ(dib.Paint(nullptr), 0);
}

TEST(CDibPaint, TrueColourAndPalettedPicturesShowTheirOwnColours) {
  const Picture pic = Gradient(13, 7);
  CDib dib;
  ASSERT_TRUE(dib.Attach(MakeDib24(pic)));
  std::string where;
  EXPECT_EQ(CountDifferences(PaintToPicture(dib), pic, &where), 0) << where;
  EXPECT_NE(dib.Palette(), nullptr) << "painting makes a halftone palette when there is none";

  ASSERT_TRUE(dib.Attach(Paletted(5, 3, {RGB(10, 20, 30), RGB(200, 100, 50)}, 1)));
  EXPECT_EQ(CountDifferences(PaintToPicture(dib),
                             MakePicture(5, 3, [](int, int) { return RGB(200, 100, 50); })),
            0);
}

TEST(CDibFromBitmap, CapturesABitmapAsA24BitBottomUpPictureAndAFailureChangesNothing) {
  const Picture pic = Gradient(6, 5);
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.CreateBitmap(6, 5));
  CDC mem;
  ASSERT_TRUE(mem.CreateCompatibleDC(nullptr));
  CBitmap* old = mem.SelectObject(&bitmap);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) mem.SetPixel(x, y, pic.At(x, y));
  mem.SelectObject(old);

  CDib dib;
  ASSERT_TRUE(dib.Create(6, 5, 24));
  const PackedDib* before = dib.Block();
  CBitmap empty;
  EXPECT_FALSE(dib.FromBitmap(&empty));
  EXPECT_FALSE(dib.FromBitmap(nullptr));
  EXPECT_EQ(dib.Block(), before) << "a failed capture changes nothing";
  EXPECT_NE(dib.Palette(), nullptr);

  ASSERT_TRUE(dib.FromBitmap(&bitmap));
  EXPECT_EQ(dib.GetBitCount(), 24);
  EXPECT_EQ(dib::ReadInfoHeader(dib.Block()->bytes.data()).biSizeImage, 5u * 20u);
  std::string where;
  EXPECT_EQ(CountDifferences(PixelsOf(*dib.Block()), pic, &where), 0) << where;
}
