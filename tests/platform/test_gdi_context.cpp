// Device-context state, block transfers, pixels and the surfaces behind them.
#include <QImage>
#include <climits>
#include <tuple>

#include "platform/surface_qt.h"
#include "platform/wnd.h"
#include "tests/platform/test_gdi_util.h"
#include "tests/platform/test_wnd_util.h"

namespace {

using namespace gdi_test;

TEST(GdiContext, AFreshContextHasThePlatformDefaults) {
  Canvas c(40, 40);
  EXPECT_EQ(std::tuple(c.dc.GetROP2(), c.dc.GetBkMode(), c.dc.GetTextColor()),
            std::tuple(R2_COPYPEN, OPAQUE, kBlack));
  EXPECT_EQ(c.dc.SetBkColor(kRed), kWhite);
  CPen pen(PS_SOLID, 3, kRed);
  CPen* defaultPen = c.dc.SelectObject(&pen);
  ASSERT_NE(defaultPen, nullptr);
  EXPECT_EQ(std::tuple(defaultPen->m_style, defaultPen->m_width, defaultPen->m_color),
            std::tuple(PS_SOLID, 1, kBlack));
  CBrush brush(kRed);
  CBrush* defaultBrush = c.dc.SelectObject(&brush);
  ASSERT_NE(defaultBrush, nullptr);
  EXPECT_EQ(std::tuple(defaultBrush->m_hollow, defaultBrush->m_color), std::tuple(false, kWhite));
  EXPECT_EQ(c.dc.SelectObject(defaultPen), &pen) << "selection hands back what it replaced";
  EXPECT_EQ(c.dc.SelectStockObject(NULL_BRUSH), &brush);
  EXPECT_EQ(c.dc.SelectStockObject(12345), nullptr);

  CDC plain;  // neither a window's nor a memory context: draws nowhere
  EXPECT_FALSE(plain.LineTo(5, 5));
  EXPECT_FALSE(CClientDC(nullptr).LineTo(1, 1));
  EXPECT_EQ(plain.GetPixel(0, 0), CLR_INVALID);
  CBitmap bmp;
  EXPECT_EQ(plain.SelectObject(&bmp), nullptr) << "only memory contexts take bitmaps";
}

TEST(GdiContext, SaveAndRestoreBringBackObjectsAndModes) {
  Canvas c(20, 20);
  c.Pen(PS_SOLID, 1, kRed);
  const int level = c.dc.SaveDC();
  EXPECT_EQ(level, 1);
  c.Pen(PS_SOLID, 1, kBlue);
  c.dc.SetROP2(R2_NOT);
  c.dc.SetBkMode(TRANSPARENT);
  EXPECT_EQ(c.dc.SaveDC(), 2);
  c.dc.SetTextColor(kGreen);
  EXPECT_TRUE(c.dc.RestoreDC(-1));
  EXPECT_EQ(c.dc.GetTextColor(), kBlack);
  EXPECT_EQ(c.dc.GetROP2(), R2_NOT);
  EXPECT_TRUE(c.dc.RestoreDC(level));
  EXPECT_EQ(c.dc.GetROP2(), R2_COPYPEN);
  EXPECT_EQ(c.dc.GetBkMode(), OPAQUE);
  c.Line(0, 0, 5, 0);
  EXPECT_EQ(c.At(2, 0), kRed);
  EXPECT_FALSE(c.dc.RestoreDC(-1)) << "nothing left to restore";
  EXPECT_FALSE(c.dc.RestoreDC(3));
  EXPECT_FALSE(c.dc.RestoreDC(0));

  EXPECT_EQ(c.dc.SetMapMode(8), 1);
  EXPECT_EQ(c.dc.SetWindowExt(1024, 768).cx, 1);
  EXPECT_EQ(c.dc.SetViewportExt(1024, 768).cy, 1);
  EXPECT_EQ(c.dc.SetWindowExt(5, 5).cx, 1024);
}

TEST(GdiContext, PixelsReadAndWriteInsideAndRefuseOutside) {
  Canvas c(10, 10);
  EXPECT_EQ(c.dc.SetPixel(3, 4, RGB(1, 2, 3)), RGB(1, 2, 3));
  EXPECT_EQ(c.dc.GetPixel(3, 4), RGB(1, 2, 3));
  EXPECT_EQ(c.bitmap.GetPixel(3, 4), RGB(1, 2, 3));
  for (const auto& [x, y] : {std::pair{-1, 0}, {0, -1}, {10, 0}, {0, 10}, {INT_MIN, INT_MAX}}) {
    EXPECT_EQ(c.dc.GetPixel(x, y), CLR_INVALID);
    EXPECT_EQ(c.dc.SetPixel(x, y, kRed), CLR_INVALID);
  }
  EXPECT_EQ(c.Count(kRed), 0);
}

TEST(GdiContext, BitmapsAreCreatedBlackAndRefuseAbsurdSizes) {
  CBitmap b;
  EXPECT_FALSE(b.CreateBitmap(0, 10));
  EXPECT_FALSE(b.CreateBitmap(-5, 10));
  EXPECT_FALSE(b.CreateBitmap(INT_MAX, INT_MAX));
  EXPECT_FALSE(b.CreateBitmap(1 << 15, 1 << 14)) << "2^29 pixels";
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.GetPixel(0, 0), CLR_INVALID);
  ASSERT_TRUE(b.CreateCompatibleBitmap(nullptr, 30, 20));
  EXPECT_EQ(std::pair(b.Width(), b.Height()), std::pair(30, 20));
  EXPECT_EQ(b.GetPixel(29, 19), kBlack);
  EXPECT_TRUE(b.DeleteObject());
  EXPECT_EQ(b.Width(), 0) << "deleting frees the pixels";
  EXPECT_FALSE(b.DeleteObject());

  CPen stock;
  ASSERT_TRUE(stock.CreateStockObject(WHITE_PEN));
  EXPECT_TRUE(stock.DeleteObject());
  EXPECT_TRUE(stock.IsValid()) << "deleting a stock object has no effect";
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
  EXPECT_TRUE(dst.dc.StretchBlt(0, 0, 2, 2, &src.dc, 0, 0, 4, 4, SRCCOPY));
  EXPECT_EQ(dst.Count(kWhite, {0, 0, 2, 2}) + dst.Count(kBlack, {0, 0, 2, 2}), 4)
      << "shrinking picks pixels, never blends them";

  dst.Fill(kRed);
  EXPECT_TRUE(dst.dc.StretchBlt(4, 0, -4, 4, &src.dc, 0, 0, 4, 4, SRCCOPY));
  EXPECT_EQ(dst.At(0, 0), src.At(3, 0)) << "a negative width mirrors";
  EXPECT_EQ(dst.At(3, 1), src.At(0, 1));

  EXPECT_FALSE(dst.dc.BitBlt(0, 0, 4, 4, nullptr, 0, 0, SRCCOPY));
  EXPECT_FALSE(dst.dc.BitBlt(0, 0, 4, 4, &src.dc, 0, 0, 0x00660046));
  EXPECT_TRUE(dst.dc.BitBlt(0, 0, 4, 4, nullptr, 0, 0, WHITENESS));
  EXPECT_EQ(dst.At(3, 3), kWhite);
  EXPECT_TRUE(dst.dc.StretchBlt(INT_MIN, INT_MIN, INT_MAX, INT_MAX, &src.dc, INT_MAX, 0, INT_MIN,
                                INT_MAX, SRCCOPY));
  dst.Fill(kRed);
  EXPECT_TRUE(dst.dc.StretchBlt(-1000000000, -1000000000, 2000000000, 2000000000, &src.dc, 0, 0, 4,
                                4, SRCCOPY));
  EXPECT_EQ(dst.Count(src.At(2, 2)), 400) << "an absurd enlargement shows one source pixel";
}

TEST(GdiContext, ABlockTransferWithinOneSurfaceReadsThePixelsAsTheyWere) {
  Canvas c(12, 1);
  for (int x = 0; x < 12; ++x) c.dc.SetPixel(x, 0, RGB(x, 0, 0));
  EXPECT_TRUE(c.dc.BitBlt(2, 0, 8, 1, &c.dc, 0, 0, SRCCOPY));
  for (int x = 2; x < 10; ++x) EXPECT_EQ(c.At(x, 0), RGB(x - 2, 0, 0)) << x;
  for (int x = 0; x < 12; ++x) c.dc.SetPixel(x, 0, RGB(x, 0, 0));
  EXPECT_TRUE(c.dc.BitBlt(0, 0, 8, 1, &c.dc, 3, 0, SRCCOPY));
  for (int x = 0; x < 8; ++x) EXPECT_EQ(c.At(x, 0), RGB(x + 3, 0, 0)) << x;
}

TEST(GdiContext, BitmapPixelsAreMadeWhenUsedAndWholeCopiesShareThemUntilWritten) {
  constexpr int w = 1024, h = 600;  // large enough for a mapping of its own
  Canvas src(w, h, kBlue), a(w, h, CLR_INVALID), b(w, h, CLR_INVALID);
  const RECT mark{100, 100, 200, 150};
  CBrush red(kRed);
  src.dc.FillRect(&mark, &red);
  const uchar* srcBits = src.bitmap.GetSurface()->Peek().constBits();
  auto bits = [](Canvas& c) { return c.bitmap.GetSurface()->Peek().constBits(); };
  EXPECT_EQ(a.At(w - 1, h - 1), kBlack);
  EXPECT_FALSE(a.bitmap.GetSurface()->IsMade()) << "reading an unmade bitmap makes nothing";
  ASSERT_TRUE(a.dc.BitBlt(0, 0, w, h, &src.dc, 0, 0, SRCCOPY));
  ASSERT_TRUE(b.dc.BitBlt(0, 0, w, h, &a.dc, 0, 0, SRCCOPY));
  EXPECT_EQ(bits(a), srcBits);
  EXPECT_EQ(bits(b), srcBits);
  EXPECT_EQ(b.At(150, 120), kRed);

  // Each write lands in the writer's own copy only.
  const RECT corner{0, 0, 10, 10};
  CBrush green(kGreen);
  a.dc.FillRect(&corner, &green);
  EXPECT_EQ(a.At(5, 5), kGreen);
  EXPECT_EQ(a.At(150, 120), kRed) << "the copy keeps the shared pixels";
  EXPECT_EQ(src.At(5, 5), kBlue);
  EXPECT_EQ(b.At(5, 5), kBlue);
  src.Fill(kWhite);
  EXPECT_EQ(b.At(150, 120), kRed);
  EXPECT_EQ(src.At(150, 120), kWhite);

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

  // A part copied into an unmade bitmap leaves the rest of it black.
  Canvas c(w, h, CLR_INVALID);
  ASSERT_TRUE(c.dc.BitBlt(0, 0, w, h - 1, &b.dc, 0, 0, SRCCOPY));
  EXPECT_EQ(c.At(150, 120), kRed);
  EXPECT_EQ(c.At(0, h - 1), kBlack);
}

TEST(GdiContext, DrawingReportsItsRectangleToTheContextAndTheSurface) {
  Canvas c(100, 100);
  std::vector<QRect> heard;
  c.bitmap.GetSurface()->SetDamageListener([&](const QRect& r) { heard.push_back(r); });
  c.dc.TakeDirtyRect();
  c.Line(10, 10, 20, 10);
  c.dc.Rectangle(50, 60, 70, 65);
  EXPECT_EQ(heard, (std::vector<QRect>{QRect(10, 10, 10, 1), QRect(50, 60, 20, 5)}));
  EXPECT_EQ(c.dc.TakeDirtyRect(), (RECT{10, 10, 70, 65}));
  EXPECT_EQ(c.dc.TakeDirtyRect(), (RECT{}));
  c.dc.Rectangle(-50, -50, -10, -10);
  EXPECT_EQ(heard.size(), 2u) << "nothing visible, nothing reported";
  c.dc.Ellipse(80, 80, 120, 120);
  EXPECT_EQ(heard.back(), QRect(80, 80, 20, 20)) << "clipped to the surface";
}

TEST(GdiContext, SurfacesKeepTheirPixelsWhenResizedAndWhileTextIsPending) {
  plat::Surface s(4, 3, 0xFF0000);
  EXPECT_EQ(s.Image().pixel(3, 2), 0xFFFF0000u);
  EXPECT_TRUE(s.Resize(6, 5, 0x0000FF));
  EXPECT_EQ(s.Image().pixel(3, 2), 0xFFFF0000u);
  EXPECT_EQ(s.Image().pixel(5, 4), 0xFF0000FFu);
  EXPECT_FALSE(s.Resize(-1, 5));
  EXPECT_FALSE(s.Resize(1 << 16, 1 << 13));
  EXPECT_EQ(s.Width(), 6);

  s.Painter().fillRect(0, 0, 1, 1, Qt::green);
  const QImage early = s.Pixels();  // a copy taken while the painter is open
  s.Pixels().setPixel(1, 0, 0xFF123456u);
  s.Painter().fillRect(2, 0, 1, 1, Qt::blue);
  EXPECT_EQ(early.pixel(1, 0), 0xFFFF0000u) << "a copy taken earlier stays as it was";
  EXPECT_EQ(early.pixel(2, 0), 0xFFFF0000u) << "the painter does not draw into the copy";
  EXPECT_EQ(s.Image().pixel(0, 0), 0xFF00FF00u);
  EXPECT_EQ(s.Image().pixel(1, 0), 0xFF123456u);
  EXPECT_EQ(s.Image().pixel(2, 0), 0xFF0000FFu);
}

}  // namespace
