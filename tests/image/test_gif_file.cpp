// Animated GIF files: exact colours up to 256 in a frame, a colour cube
// beyond, and only the changed rectangle stored.
#include <gtest/gtest.h>

#include <vector>

#include "image/gif_file.h"
#include "tests/support/gif_reader.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr int kW = 40, kH = 30;

// `colours` distinct colours in the first pixels, white after them.
std::vector<std::uint32_t> Picture(int colours) {
  std::vector<std::uint32_t> p(kW * kH, 0xFFFFFF);
  for (int i = 0; i < colours - 1; ++i)
    p[i] = std::uint32_t(i) << 16 | std::uint32_t(255 - i) << 8 | 7;
  return p;
}

TEST(GifFile, FramesOfUpTo256ColoursAreExactMoreComeThroughACubeAndOnlyChangesAreStored) {
  TempFolder folder;
  const std::string path = folder / "a.gif";
  CGifWriter gif;
  std::string error;
  ASSERT_TRUE(gif.Open(path, kW, kH, &error)) << error;
  std::vector<std::uint32_t> exact = Picture(256);
  ASSERT_TRUE(gif.AddFrame(exact.data(), RECT{0, 0, kW, kH}, 0));
  exact[kW * 20 + 30] = 0x123456;  // one pixel changes
  ASSERT_TRUE(gif.AddFrame(exact.data(), RECT{0, 0, kW, kH}, 40));
  ASSERT_TRUE(gif.Close(100, &error)) << error;
  GifPlay play = PlayGif(path);
  ASSERT_EQ(play.frames, 2);
  const RECT& changed = play.rects[1];
  EXPECT_EQ(std::tuple(play.delays, changed.left, changed.right, changed.bottom - changed.top),
            std::tuple(std::vector<int>{4, 6}, 30, 31, 1));
  for (int i = 0; i < kW * kH; ++i) {
    const COLORREF c = play.last.pixels[i];
    ASSERT_EQ(std::uint32_t(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c), exact[i]) << i;
  }

  CGifWriter many;
  ASSERT_TRUE(many.Open(path, kW, kH, &error)) << error;
  const std::vector<std::uint32_t> more = Picture(257);
  ASSERT_TRUE(many.AddFrame(more.data(), RECT{0, 0, kW, kH}, 0));
  ASSERT_TRUE(many.Close(0, &error)) << error;
  play = PlayGif(path);
  ASSERT_EQ(play.frames, 1);
  EXPECT_EQ(play.delays, std::vector<int>{1}) << "a last frame lasts at least a hundredth";
  int worst = 0, inexact = 0;
  for (int i = 0; i < kW * kH; ++i) {
    const COLORREF c = play.last.pixels[i];
    const int d = std::max({std::abs(int(GetRValue(c)) - int(more[i] >> 16 & 0xFF)),
                            std::abs(int(GetGValue(c)) - int(more[i] >> 8 & 0xFF)),
                            std::abs(int(GetBValue(c)) - int(more[i] & 0xFF))});
    worst = std::max(worst, d);
    inexact += d > 0;
  }
  EXPECT_LE(worst, 0x40);
  EXPECT_GT(inexact, 0);
}

TEST(GifFile, AFileThatCannotBeCreatedIsRefusedWithAReason) {
  TempFolder folder;
  CGifWriter gif;
  std::string error;
  EXPECT_FALSE(gif.Open(folder / "no/such/a.gif", kW, kH, &error));
  EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
  EXPECT_FALSE(gif.Open(folder / "b.gif", 70000, 1, &error));
  EXPECT_EQ(folder.Entries(), 0);
}

}  // namespace
