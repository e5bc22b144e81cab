#include <gtest/gtest.h>

#include "platform/pixel_block.h"
#include "share/qr_code.h"
#include "tests/support/board_fixture.h"

namespace {

using PixelBlockTest = BoardTest;

// Pixels of the board inside r, as a plain picture.
Picture Part(const Picture& all, const RECT& r) {
  return MakePicture(r.right - r.left, r.bottom - r.top,
                     [&](int x, int y) { return all.At(r.left + x, r.top + y); });
}

TEST_F(PixelBlockTest, APartOfTheBoardComesBackFromItsPngPixelForPixelAndIsClippedToTheBoard) {
  const Picture board = Snap();
  for (const RECT& want : {RECT{3, 5, 120, 77}, RECT{700, 750, 900, 900}, RECT{-10, -10, 4, 1}}) {
    const plat::PixelBlock block = plat::PixelBlock::CopyClient(Board(), want);
    const RECT got = block.Rect();
    EXPECT_EQ(got.left, std::max<LONG>(want.left, 0));
    EXPECT_EQ(got.right, std::min<LONG>(want.right, board.width));
    Picture decoded;
    ASSERT_TRUE(
        plat::DecodePng(block.EncodePng(), &decoded.width, &decoded.height, &decoded.pixels));
    EXPECT_EQ(CountDifferences(decoded, Part(board, got)), 0);
  }
  EXPECT_TRUE(plat::PixelBlock::CopyClient(Board(), RECT{900, 900, 950, 950}).IsEmpty());
  EXPECT_TRUE(plat::PixelBlock::CopyClient(Board(), RECT{10, 10, 10, 20}).IsEmpty());
  int w, h;
  std::vector<COLORREF> px;
  EXPECT_FALSE(plat::DecodePng("\x89PNG but not really", &w, &h, &px));
}

TEST(QrCode, AnAddressGetsThreeFinderPatternsAndTooLongATextNone) {
  const QrCode code = MakeQrCode("http://192.168.100.200:8765/abcdefghjk/");
  ASSERT_GE(code.size, 21);
  ASSERT_EQ(code.dark.size(), size_t(code.size) * code.size);
  // Each finder: a dark 7 x 7 ring around a light ring around a dark 3 x 3.
  for (auto [ox, oy] : {std::pair{0, 0}, {code.size - 7, 0}, {0, code.size - 7}})
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 7; ++x) {
        const int ring = std::min({x, y, 6 - x, 6 - y});
        EXPECT_EQ(code.Dark(ox + x, oy + y), ring != 1) << ox << "," << oy << " " << x << "," << y;
      }
  EXPECT_EQ(MakeQrCode(std::string(8000, 'x')).size, 0);
}

}  // namespace
