// Device-context state, block transfers, pixels and the surfaces behind them;
// packed device-independent bitmaps made by hand drawn in every layout.
#include <QImage>
#include <cstdint>
#include <tuple>

#include "platform/byte_order.h"
#include "platform/dib_format.h"
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
}

TEST(GdiContext, PixelsReadInsideAndRefuseOutside) {
  Canvas c(10, 10);
  c.dc.SetPixel(9, 9, RGB(1, 2, 3));
  EXPECT_EQ(c.dc.GetPixel(9, 9), RGB(1, 2, 3));
  for (const auto& [x, y] : {std::pair{-1, 0}, {0, -1}, {10, 0}, {0, 10}})
    EXPECT_EQ(c.dc.GetPixel(x, y), CLR_INVALID) << x << "," << y;
}

TEST(GdiContext, BitmapsAreCreatedBlackAndRefuseAbsurdSizes) {
  CBitmap b;
  // 2^29 pixels the last.
  for (const auto& [w, h] : {std::pair{0, 10}, {-5, 10}, {INT_MAX, INT_MAX}, {1 << 15, 1 << 14}})
    EXPECT_FALSE(b.CreateBitmap(w, h)) << w << " x " << h;
  EXPECT_EQ(std::pair(b.Width(), b.GetPixel(0, 0)), std::pair(0, CLR_INVALID));
  ASSERT_TRUE(b.CreateCompatibleBitmap(nullptr, 30, 20));
  EXPECT_EQ(std::pair(b.Width(), b.Height()), std::pair(30, 20));
  EXPECT_EQ(b.GetPixel(29, 19), kBlack);
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
  CBrush red(kRed);
  src.dc.FillRect(&mark, &red);
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
  CBrush green(kGreen);
  a.dc.FillRect(&corner, &green);
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

// Packed device-independent bitmaps.
using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::size_t at, std::uint32_t v) { plat::PutLe16(&b[at], std::uint16_t(v)); }
void Put32(Bytes& b, std::size_t at, std::uint32_t v) { plat::PutLe32(&b[at], v); }

// The block's layout; every block drawn here is one the validation accepts.
dib::Layout LayoutOf(const Bytes& dib) {
  dib::Layout l;
  EXPECT_TRUE(dib::ParseDib(dib.data(), dib.size(), &l));
  return l;
}

// A 40-byte header, the colour table (0x00RRGGBB values) and the pixels.
Bytes InfoDib(int w, int h, int bits, std::uint32_t compression,
              const std::vector<std::uint32_t>& table, const Bytes& pixels,
              std::uint32_t clrUsed = 0) {
  Bytes b(40 + table.size() * 4);
  // Size, width, height, planes, bits, compression, image size, used colours.
  Put32(b, 0, 40), Put32(b, 4, std::uint32_t(w)), Put32(b, 8, std::uint32_t(h));
  Put16(b, 12, 1), Put16(b, 14, std::uint32_t(bits)), Put32(b, 16, compression);
  Put32(b, 20, compression == 1 ? std::uint32_t(pixels.size()) : 0), Put32(b, 32, clrUsed);
  // Blue, green, red, reserved in memory.
  for (std::size_t i = 0; i < table.size(); ++i) Put32(b, 40 + 4 * i, table[i]);
  b.insert(b.end(), pixels.begin(), pixels.end());
  return b;
}

int Show(Canvas& c, const Bytes& dib, int x, int y, int w, int h) {
  return c.dc.SetDIBitsToDevice(x, y, w, h, 0, 0, dib.data(), LayoutOf(dib));
}

TEST(GdiDib, PalettedAndTrueColourPicturesDrawInEveryLayout) {
  auto expect = [](const char* what, const Bytes& dib, int w, int h, const std::vector<Px>& want) {
    SCOPED_TRACE(what);
    Canvas c(10, 10);
    EXPECT_EQ(Show(c, dib, 0, 0, w, h), h);
    ExpectPixels(c, want);
  };
  std::vector<std::uint32_t> table16(16, 0);
  table16[1] = 0xFF0000, table16[2] = 0x00FF00, table16[15] = 0x0000FF;
  expect("4 bits", InfoDib(3, 1, 4, 0, table16, {0x12, 0xF0, 0, 0}), 3, 1,
         {{0, 0, kRed}, {1, 0, kGreen}, {2, 0, kBlue}});
  expect("8 bits with a three-entry table (used colours 3)",
         InfoDib(3, 2, 8, 0, {0x112233, 0x445566, 0x778899}, {2, 1, 0, 0, 0, 0, 2, 0}, 3), 3, 2,
         {{0, 1, RGB(0x77, 0x88, 0x99)},
          {1, 1, RGB(0x44, 0x55, 0x66)},
          {2, 0, RGB(0x77, 0x88, 0x99)}});
  // Bottom row 2 x index 1, 2 x index 2; top row 4 x index 0.
  expect("run-length encoded 8 bits",
         InfoDib(4, 2, 8, 1, {0x0000FF, 0xFF0000, 0x00FF00}, {2, 1, 2, 2, 0, 0, 4, 0, 0, 1}, 3), 4,
         2, {{0, 0, kBlue}, {3, 0, kBlue}, {1, 1, kRed}, {2, 1, kGreen}});
  // Rows of 9 bytes padded to 12; the bottom one red, green, blue.
  expect("24 bits", InfoDib(3, 2, 24, 0, {}, {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0,
                                              1, 2, 3,   4, 5,   6, 7,   8, 9, 0, 0, 0}),
         3, 2,
         {{0, 1, kRed}, {1, 1, kGreen}, {2, 1, kBlue}, {0, 0, RGB(3, 2, 1)}, {2, 0, RGB(9, 8, 7)}});
  expect("32 bits with an unused fourth byte of 0, stored top-down (negative height)",
         InfoDib(2, -2, 32, 0, {}, {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 1, 1, 1, 0}), 2, 2,
         {{0, 0, kRed}, {1, 0, kGreen}, {0, 1, kBlue}, {1, 1, RGB(1, 1, 1)}});
  expect("16 bits, 5-5-5 by default", InfoDib(2, 1, 16, 0, {}, {0x00, 0x7C, 0xE0, 0x03}), 2, 1,
         {{0, 0, RGB(248, 0, 0)}, {1, 0, RGB(0, 248, 0)}});
  expect("16 bits, 5-6-5 with colour masks after the header",
         InfoDib(2, 1, 16, 3, {0xF800, 0x07E0, 0x001F}, {0xE0, 0x07, 0x1F, 0x00}), 2, 1,
         {{0, 0, RGB(0, 252, 0)}, {1, 0, RGB(0, 0, 248)}});
  Bytes core(12 + 4, 0);
  Put32(core, 0, 12);
  Put16(core, 4, 1), Put16(core, 6, 1), Put16(core, 8, 1), Put16(core, 10, 24);
  core[12] = 0x33, core[13] = 0x22, core[14] = 0x11;
  expect("the 12-byte core header with a 24-bit pixel", core, 1, 1,
         {{0, 0, RGB(0x11, 0x22, 0x33)}});

  // 1 bit, 10 x 2, rows stored bottom first, each padded to 4 bytes; shown
  // away from the origin.
  const Bytes dib = InfoDib(10, 2, 1, 0, {0xFF0000, 0x0000FF},
                            {0xA0, 0x40, 0, 0,  // bottom: 1010000001
                             0x60, 0x00, 0, 0});
  Canvas c(20, 10);
  EXPECT_EQ(Show(c, dib, 5, 5, 10, 2), 2);
  const std::vector<std::string> art = c.Art({{'r', kRed}, {'b', kBlue}});
  EXPECT_EQ(art[5].substr(4, 12), ".rbbrrrrrrr.");
  EXPECT_EQ(art[6].substr(5, 10), "brbrrrrrrb");
}

TEST(GdiDib, StretchingScalesWithoutSmoothingFromTheLowerLeftOrigin) {
  const Bytes dib = InfoDib(2, 2, 24, 0, {},
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

  const Bytes good = InfoDib(3, 2, 24, 0, {}, Bytes(24, 0x80));
  Canvas m(8, 8, kRed);
  EXPECT_EQ(m.dc.SetDIBitsToDevice(0, 0, 3, 2, 0, 0, good.data(), LayoutOf(good)), 2);
  EXPECT_EQ(m.At(2, 1), RGB(0x80, 0x80, 0x80));
  EXPECT_EQ(m.dc.SetDIBitsToDevice(INT_MIN, INT_MAX, INT_MAX, INT_MAX, INT_MIN, INT_MAX,
                                   good.data(), LayoutOf(good)),
            2);
}

}  // namespace
