// Pixels, bitmaps, block transfers and the surfaces behind them.
#include <QImage>
#include <tuple>

#include "platform/surface_qt.h"
#include "platform/wnd.h"
#include "tests/platform/test_gdi_util.h"
#include "tests/platform/test_wnd_util.h"

namespace {

using namespace gdi_test;

TEST(GdiContext, PixelsReadOnlyInsideAndBitmapsAreCreatedBlackAndRefuseAbsurdSizes) {
  Canvas c(10, 10);
  c.dc.SetPixel(9, 9, RGB(1, 2, 3));
  EXPECT_EQ(c.dc.GetPixel(9, 9), RGB(1, 2, 3));
  for (const auto& [x, y] : {std::pair{-1, 0}, {0, -1}, {10, 0}, {0, 10}})
    EXPECT_EQ(c.dc.GetPixel(x, y), CLR_INVALID) << x << "," << y;

  CBitmap b;
  // 2^29 pixels the last.
  for (const auto& [w, h] : {std::pair{0, 10}, {-5, 10}, {INT_MAX, INT_MAX}, {1 << 15, 1 << 14}})
    EXPECT_FALSE(b.CreateBitmap(w, h)) << w << " x " << h;
  EXPECT_EQ(std::pair(b.Width(), b.GetPixel(0, 0)), std::pair(0, CLR_INVALID));
  ASSERT_TRUE(b.CreateCompatibleBitmap(nullptr, 30, 20));
  EXPECT_EQ(std::tuple(b.Width(), b.Height(), b.GetPixel(29, 19)), std::tuple(30, 20, kBlack));
  EXPECT_TRUE(b.DeleteObject());
  EXPECT_EQ(b.Width(), 0) << "deleting frees the pixels";
  EXPECT_FALSE(b.DeleteObject());
}

TEST(GdiContext, BlockTransfersCopyAndStretchWithoutSmoothing) {
  Canvas src(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) src.dc.SetPixel(x, y, (x + y) % 2 ? kBlack : kWhite);
  Canvas dst(20, 20, kRed);
  EXPECT_TRUE(dst.dc.BitBlt(2, 3, 4, 4, &src.dc, 0, 0, SRCCOPY));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(dst.At(2 + x, 3 + y), src.At(x, y));
  EXPECT_EQ(dst.Count(kRed), 400 - 16) << "nothing outside the target rectangle";

  dst.Fill(kRed);
  EXPECT_TRUE(dst.dc.StretchBlt(0, 0, 8, 12, &src.dc, 0, 0, 4, 4, SRCCOPY));
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 8; ++x)
      ASSERT_EQ(dst.At(x, y), src.At(x / 2, y / 3)) << x << "," << y << ": nearest pixel";
  EXPECT_EQ(dst.Count(kRed), 400 - 96);
  dst.Fill(kRed);
  EXPECT_TRUE(dst.dc.StretchBlt(0, 0, 2, 4, &src.dc, 0, 0, 4, 4, SRCCOPY));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 2; ++x)
      EXPECT_EQ(dst.At(x, y), src.At(2 * x + 1, y)) << "shrinking picks the middle pixels";
  dst.Fill(kRed);
  EXPECT_TRUE(dst.dc.StretchBlt(-1000000000, -1000000000, 2000000000, 2000000000, &src.dc, 0, 0, 4,
                                4, SRCCOPY));
  EXPECT_EQ(dst.Count(src.At(2, 2)), 400) << "an absurd enlargement shows one source pixel";
}

TEST(GdiContext, BitmapPixelsAreMadeWhenUsedAndWholeCopiesShareThemUntilWritten) {
  constexpr int w = 1024, h = 600;  // large enough for a mapping of its own
  Canvas src(w, h, kBlue), a(w, h, CLR_INVALID), b(w, h, CLR_INVALID);
  const RECT mark{100, 100, 200, 150};
  src.dc.FillSolidRect(&mark, kRed);
  const uchar* srcBits = src.bitmap.GetSurface()->Peek().constBits();
  auto bits = [](Canvas& c) { return c.bitmap.GetSurface()->Peek().constBits(); };
  EXPECT_EQ(a.At(w - 1, h - 1), kBlack);
  EXPECT_FALSE(a.bitmap.GetSurface()->IsMade()) << "reading an unmade bitmap makes nothing";
  ASSERT_TRUE(a.dc.BitBlt(0, 0, w, h, &src.dc, 0, 0, SRCCOPY));
  ASSERT_TRUE(b.dc.BitBlt(0, 0, w, h, &a.dc, 0, 0, SRCCOPY));
  EXPECT_EQ(std::pair(bits(a), bits(b)), std::pair(srcBits, srcBits));
  EXPECT_EQ(b.At(150, 120), kRed);

  // Each write lands in the writer's own copy only.
  const RECT corner{0, 0, 10, 10};
  a.dc.FillSolidRect(&corner, kGreen);
  ExpectPixels(a, {{5, 5, kGreen}, {150, 120, kRed}});  // the copy keeps the shared pixels
  EXPECT_EQ(std::pair(src.At(5, 5), b.At(5, 5)), std::pair(kBlue, kBlue));
  src.Fill(kWhite);
  EXPECT_EQ(std::pair(src.At(150, 120), b.At(150, 120)), std::pair(kWhite, kRed));

  // A whole copy into a bitmap already drawn on, or into a window, copies.
  ASSERT_TRUE(a.dc.BitBlt(0, 0, w, h, &b.dc, 0, 0, SRCCOPY));
  EXPECT_EQ(a.At(5, 5), kBlue);
  EXPECT_NE(bits(a), bits(b));
  CWnd board;
  ASSERT_TRUE(wndtest::MakePopup(board, 0, 0, w, h));
  CClientDC client(&board);
  ASSERT_TRUE(client.BitBlt(0, 0, w, h, &b.dc, 0, 0, SRCCOPY));
  EXPECT_NE(board.GetSurface()->Peek().constBits(), bits(b));
  EXPECT_EQ(client.GetPixel(150, 120), kRed);
}

TEST(GdiContext, SurfacesKeepTheirPixelsWhenResizedAndWhileTextIsPending) {
  plat::Surface s(4, 3, 0xFF0000);
  EXPECT_EQ(s.Image().pixel(3, 2), 0xFFFF0000u);
  EXPECT_TRUE(s.Resize(6, 5, 0x0000FF));
  EXPECT_EQ(std::pair(s.Image().pixel(3, 2), s.Image().pixel(5, 4)),
            std::pair(0xFFFF0000u, 0xFF0000FFu));

  s.Painter().fillRect(0, 0, 1, 1, Qt::green);
  const QImage early = s.Pixels();  // a copy taken while the painter is open
  s.Pixels().setPixel(1, 0, 0xFF123456u);
  s.Painter().fillRect(2, 0, 1, 1, Qt::blue);
  EXPECT_EQ(early.pixel(1, 0), 0xFFFF0000u) << "a copy taken earlier stays as it was";
  EXPECT_EQ(early.pixel(2, 0), 0xFFFF0000u) << "the painter does not draw into the copy";
  EXPECT_EQ(std::tuple(s.Image().pixel(0, 0), s.Image().pixel(1, 0), s.Image().pixel(2, 0)),
            std::tuple(0xFF00FF00u, 0xFF123456u, 0xFF0000FFu));
}

}  // namespace
