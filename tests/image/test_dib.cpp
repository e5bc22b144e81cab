// The capture of a bitmap into a packed picture.
#include <gtest/gtest.h>

#include <tuple>

#include "image/dib.h"
#include "image_test_util.h"
#include "platform/dib_format.h"

using namespace imgtest;

// Wide enough for whole shuffled groups, a pixel-by-pixel tail and a pad byte.
TEST(CDibFromBitmap, CapturesABitmapAsA24BitBottomUpPicture) {
  const Picture pic = Smooth(37, 5);
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.CreateBitmap(37, 5));
  CDC mem;
  ASSERT_TRUE(mem.CreateCompatibleDC(nullptr));
  CBitmap* old = mem.SelectObject(&bitmap);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 37; ++x) mem.SetPixel(x, y, pic.At(x, y));
  mem.SelectObject(old);

  CDib dib;
  ASSERT_TRUE(dib.Create(37, 5, 24));
  ASSERT_TRUE(dib.FromBitmap(&bitmap));
  EXPECT_EQ(dib.GetBitCount(), 24);
  EXPECT_EQ(dib::ReadInfoHeader(dib.Block()->bytes.data()).biSizeImage, 5u * 112u);
  for (int y = 0; y < 5; ++y) EXPECT_EQ(dib.Block()->bytes[40 + 112 * y + 111], 0) << y;
  std::string where;
  EXPECT_EQ(CountDifferences(PixelsOf(*dib.Block()), pic, &where), 0) << where;
}
