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
std::vector<std::uint32_t> Colours(int colours) {
  std::vector<std::uint32_t> p(kW * kH, 0xFFFFFF);
  for (int i = 0; i < colours - 1; ++i)
    p[i] = std::uint32_t(i) << 16 | std::uint32_t(255 - i) << 8 | 7;
  return p;
}
// The frame's 0xRRGGBB pixels as a picture.
Picture AsPicture(const std::vector<std::uint32_t>& p) {
  return MakePicture(kW, kH, [&](int x, int y) {
    const std::uint32_t c = p[std::size_t(y * kW + x)];
    return RGB(c >> 16 & 0xFF, c >> 8 & 0xFF, c & 0xFF);
  });
}

TEST(GifFile, ExactUpTo256ColoursCubedBeyondOnlyChangesStoredAndAFileThatCannotBeMadeRefused) {
  TempFolder folder;
  const std::string path = folder / "a.gif";
  CGifWriter gif;
  std::string error;
  ASSERT_TRUE(gif.Open(path, kW, kH, &error)) << error;
  std::vector<std::uint32_t> exact = Colours(256);
  ASSERT_TRUE(gif.AddFrame(exact.data(), RECT{0, 0, kW, kH}, 0));
  exact[kW * 20 + 30] = 0x123456;  // one pixel changes
  ASSERT_TRUE(gif.AddFrame(exact.data(), RECT{0, 0, kW, kH}, 40));
  ASSERT_TRUE(gif.Close(100, &error)) << error;
  GifPlay play = PlayGif(path);
  ASSERT_EQ(play.frames, 2);
  const RECT& changed = play.rects[1];
  EXPECT_EQ(std::tuple(play.delays, changed.left, changed.right, changed.bottom - changed.top),
            std::tuple(std::vector<int>{4, 6}, 30, 31, 1));
  std::string where;
  EXPECT_EQ(CountDifferences(play.last, AsPicture(exact), &where), 0) << where;

  CGifWriter many;
  ASSERT_TRUE(many.Open(path, kW, kH, &error)) << error;
  const std::vector<std::uint32_t> more = Colours(257);
  ASSERT_TRUE(many.AddFrame(more.data(), RECT{0, 0, kW, kH}, 0));
  ASSERT_TRUE(many.Close(0, &error)) << error;
  play = PlayGif(path);
  ASSERT_EQ(play.delays, std::vector<int>{1}) << "one frame, lasting at least a hundredth";
  EXPECT_TRUE(MaxChannelDifference(play.last, AsPicture(more)) <= 0x40 &&
              CountDifferences(play.last, AsPicture(more)) > 0);

  CGifWriter refused;
  EXPECT_FALSE(refused.Open(folder / "no/such/a.gif", kW, kH, &error));
  EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
  EXPECT_FALSE(refused.Open(folder / "b.gif", 70000, 1, &error));
  EXPECT_EQ(folder.Entries(), 1) << "a.gif only";
}

}  // namespace
