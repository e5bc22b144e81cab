// Drawing packed device-independent bitmaps made by hand, and refusing
// malformed ones.
#include <climits>
#include <cstdint>

#include "tests/platform/test_gdi_util.h"

namespace {

using namespace gdi_test;
using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::size_t at, std::uint32_t v) {
  b[at] = std::uint8_t(v), b[at + 1] = std::uint8_t(v >> 8);
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
  Put16(b, at, v & 0xFFFF);
  Put16(b, at + 2, v >> 16);
}

// A 40-byte header, the colour table (0x00RRGGBB values) and the pixels.
Bytes InfoDib(int w, int h, int bits, std::uint32_t compression,
              const std::vector<std::uint32_t>& table, const Bytes& pixels,
              std::uint32_t clrUsed = 0) {
  Bytes b(40 + table.size() * 4);
  Put32(b, 0, 40);
  Put32(b, 4, std::uint32_t(w));
  Put32(b, 8, std::uint32_t(h));
  Put16(b, 12, 1);
  Put16(b, 14, std::uint32_t(bits));
  Put32(b, 16, compression);
  Put32(b, 20, compression == 1 ? std::uint32_t(pixels.size()) : 0);
  Put32(b, 32, clrUsed);
  for (std::size_t i = 0; i < table.size(); ++i) {
    Put32(b, 40 + 4 * i, table[i]);  // blue, green, red, reserved in memory
  }
  b.insert(b.end(), pixels.begin(), pixels.end());
  return b;
}

int Show(Canvas& c, const Bytes& dib, int x, int y, int w, int h) {
  return c.dc.SetDIBitsToDevice(x, y, w, h, 0, 0, dib.data(), dib.size());
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

TEST(GdiDib, StretchingScalesWithoutSmoothingFromTheLowerLeftOriginAndMalformedBlocksDrawNothing) {
  const Bytes dib = InfoDib(2, 2, 24, 0, {},
                            {0, 0, 255, 0, 255, 0, 0, 0,        // bottom: red green
                             255, 0, 0, 255, 255, 255, 0, 0});  // top: blue white
  Canvas c(10, 10, kBlack);
  EXPECT_EQ(c.dc.StretchDIBits(0, 0, 4, 4, 0, 0, 2, 2, dib.data(), dib.size(), SRCCOPY), 2);
  const COLORREF expected[2][2] = {{kBlue, kWhite}, {kRed, kGreen}};
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(c.At(x, y), expected[y / 2][x / 2]) << x << "," << y;
  }
  EXPECT_EQ(c.At(4, 4), kBlack);
  c.dc.StretchDIBits(6, 6, 3, 3, 1, 0, 1, 1, dib.data(), dib.size(), SRCCOPY);
  EXPECT_EQ(c.At(7, 7), kGreen) << "source row 0 of a bottom-up picture is its bottom row";
  EXPECT_EQ(c.dc.StretchDIBits(0, 0, 4, 4, 0, 0, 2, 2, dib.data(), dib.size(), BLACKNESS), 0);

  const Bytes good = InfoDib(3, 2, 24, 0, {}, Bytes(24, 0x80));
  std::vector<std::pair<const char*, Bytes>> bad;
  auto with = [&](const char* why, auto change) {
    Bytes b = good;
    change(b);
    bad.emplace_back(why, b);
  };
  with("truncated pixels", [](Bytes& b) { b.pop_back(); });
  with("header only", [](Bytes& b) { b.resize(40); });
  with("cut header", [](Bytes& b) { b.resize(30); });
  with("unknown header size", [](Bytes& b) { Put32(b, 0, 64); });
  with("seven bits", [](Bytes& b) { Put16(b, 14, 7); });
  with("two planes", [](Bytes& b) { Put16(b, 12, 2); });
  with("zero width", [](Bytes& b) { Put32(b, 4, 0); });
  with("negative width", [](Bytes& b) { Put32(b, 4, std::uint32_t(-3)); });
  with("zero height", [](Bytes& b) { Put32(b, 8, 0); });
  with("absurd size", [](Bytes& b) { Put32(b, 4, 1 << 20), Put32(b, 8, 1 << 20); });
  with("most negative height", [](Bytes& b) { Put32(b, 8, 0x80000000u); });
  with("jpeg compression", [](Bytes& b) { Put32(b, 16, 4); });
  with("masks on 24 bits", [](Bytes& b) { Put32(b, 16, 3); });
  with("run-length on 24 bits", [](Bytes& b) { Put32(b, 16, 1); });
  with("colour table past the end", [](Bytes& b) { Put32(b, 32, 100000); });
  bad.emplace_back("too many colours for 8 bits",
                   InfoDib(1, 1, 8, 0, std::vector<std::uint32_t>(300, 0), Bytes(4, 0), 300));
  Bytes topDownRle = InfoDib(2, -1, 8, 1, {0, 0}, {2, 1, 0, 1}, 2);
  bad.emplace_back("top-down run-length", topDownRle);
  bad.emplace_back("empty", Bytes{});

  Canvas m(8, 8, kRed);
  for (const auto& [why, b] : bad) {
    EXPECT_EQ(m.dc.SetDIBitsToDevice(0, 0, 8, 8, 0, 0, b.data(), b.size()), 0) << why;
    EXPECT_EQ(m.dc.StretchDIBits(0, 0, 8, 8, 0, 0, 3, 2, b.data(), b.size(), SRCCOPY), 0) << why;
  }
  EXPECT_EQ(m.dc.SetDIBitsToDevice(0, 0, 8, 8, 0, 0, nullptr, 100), 0);
  EXPECT_EQ(m.Count(kRed), 64);
  EXPECT_EQ(m.dc.SetDIBitsToDevice(0, 0, 3, 2, 0, 0, good.data(), good.size()), 2);
  EXPECT_EQ(m.At(2, 1), RGB(0x80, 0x80, 0x80));
  EXPECT_EQ(m.dc.SetDIBitsToDevice(INT_MIN, INT_MAX, INT_MAX, INT_MAX, INT_MIN, INT_MAX,
                                   good.data(), good.size()),
            2);
}

}  // namespace
