#include <gtest/gtest.h>

#include <climits>
#include <tuple>

#include "platform/codepage.h"
#include "records/draw_geometry.h"

namespace {

// The laid out lines' bytes and their tops.
auto Split(const std::string& text, const std::vector<TextLine>& lines) {
  std::pair<std::vector<std::string>, std::vector<LONG>> out;
  for (const TextLine& l : lines) {
    out.first.push_back(text.substr(l.offset, l.length));
    out.second.push_back(l.y);
  }
  return out;
}

}  // namespace

TEST(ArrowHead, MatchesTheWorkedCasesExactly) {
  // The shaft ends a tenth of the way back from the tip. Long arrows across
  // a 4K screen in each direction and at several widths: a head angle off by
  // a hair moves their corners by whole pixels.
  const std::tuple<int, int, int, int, int, Point64, Point64> cases[] = {
      {0, 0, 100, 0, 2, {90, -1}, {90, 1}},
      {0, 0, 3840, 2160, 2, {3490, 1883}, {3421, 2004}},
      {3800, 50, 40, 2100, 7, {290, 1664}, {541, 2125}},
      {100, 2000, 3000, 300, 15, {3119, 1168}, {2300, -228}},
      {3000, 2000, 20, 20, 5, {236, 341}, {399, 94}}};
  for (const auto& [x0, y0, x1, y1, width, corner1, corner2] : cases) {
    SCOPED_TRACE(testing::Message() << x0 << "," << y0 << " width " << width);
    const ArrowGeometry g = ComputeArrowHead(x0, y0, x1, y1, width, 10);
    EXPECT_EQ(
        std::tuple(g.drawn, g.corner1, g.corner2, g.shaftEnd),
        std::tuple(true, corner1, corner2, Point64{x1 - (x1 - x0) / 10, y1 - (y1 - y0) / 10}));
  }
  // dx = -7: -7 * 10 / 100 is 0 truncated toward zero, not -1; dy = 15 gives 1.
  EXPECT_EQ(ComputeArrowHead(7, 0, 0, 15, 1, 10).shaftEnd, (Point64{0, 14}));
  EXPECT_FALSE(ComputeArrowHead(50, 60, 50, 60, 2, 10).drawn) << "zero length";
}

TEST(ArrowHead, WidePensDrawTheHeadOfTheWidestSaneWidthAndFarOffEndsDoNotOverflow) {
  const ArrowGeometry sane = ComputeArrowHead(0, 0, 100, 0, kMaxArrowHeadWidth, 10);
  for (int width : {20, 21, 40, 1000, INT_MAX}) {
    const ArrowGeometry g = ComputeArrowHead(0, 0, 100, 0, width, 10);
    ASSERT_TRUE(g.drawn) << width;
    EXPECT_EQ(std::pair(g.corner1, g.corner2), std::pair(sane.corner1, sane.corner2)) << width;
  }
  // The head still opens backwards from the tip and stays within a few line
  // lengths of it (a right angle would put it at infinity).
  EXPECT_TRUE(sane.corner1.x == 90 && sane.corner1.y < -100 && sane.corner1.y > -200)
      << sane.corner1.x << ", " << sane.corner1.y;
  // A negative width mirrors the head: the same two corners, swapped.
  const ArrowGeometry neg = ComputeArrowHead(0, 0, 100, 0, -3, 10),
                      pos = ComputeArrowHead(0, 0, 100, 0, 3, 10);
  EXPECT_EQ(std::pair(neg.corner1, neg.corner2), std::pair(pos.corner2, pos.corner1));

  // Far-off ends do not overflow.
  const ArrowGeometry g = ComputeArrowHead(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 2, 10);
  ASSERT_TRUE(g.drawn);
  // dx = 2^32 - 1, which 32-bit arithmetic could not hold.
  const std::int64_t end = std::int64_t(INT_MAX) - std::int64_t(UINT_MAX) * 10 / 100;
  EXPECT_EQ(g.shaftEnd, (Point64{end, end}));
  EXPECT_TRUE(g.corner1.x < INT_MAX && g.corner1.x > INT_MAX - std::int64_t(UINT_MAX) / 5);
}

TEST(SegmentClipping, CutsOnlyFarOffEndsKeepingTheDirection) {
  using Ends = std::vector<std::int64_t>;
  // The clipped ends; none when nothing is left.
  auto clip = [](std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) {
    return ClipSegment(x0, y0, x1, y1) ? Ends{x0, y0, x1, y1} : Ends{};
  };
  EXPECT_EQ(clip(-10, 20, 3000, 4000), (Ends{-10, 20, 3000, 4000}));
  EXPECT_EQ(clip(INT_MIN, 150, INT_MAX, 150), (Ends{-kCoordLimit, 150, kCoordLimit, 150}));
  // A diagonal through the origin stays a diagonal.
  EXPECT_EQ(clip(-4000000000LL, -4000000000LL, 2000000000, 2000000000),
            (Ends{-kCoordLimit, -kCoordLimit, kCoordLimit, kCoordLimit}));
  EXPECT_TRUE(clip(INT_MIN, INT_MIN, INT_MIN, INT_MAX).empty()) << "wholly to the left";
}

TEST(PolygonClipping, KeepsPolygonsInRangeAndCutsFarOffOnes) {
  EXPECT_EQ(ClipPolygon({{0, 0}, {100, 0}, {50, 80}}),
            (std::vector<POINT>{{0, 0}, {100, 0}, {50, 80}}));

  const std::vector<POINT> cut = ClipPolygon({{0, 0}, {INT_MAX, 0}, {0, INT_MAX}});
  ASSERT_GE(cut.size(), 3u);
  for (const POINT& p : cut) EXPECT_LE(std::max(std::abs(p.x), std::abs(p.y)), kCoordLimit);
  EXPECT_TRUE(
      ClipPolygon({{INT_MAX, INT_MAX}, {INT_MAX - 5, INT_MAX}, {INT_MAX, INT_MAX - 5}}).empty());
}

TEST(TextLayout, WrapsByBytesInTheBoxAndBreaksAtLineEnds) {
  // Width 100 with 9-pixel cells: 12 subtractions, 11 bytes a line; height
  // 64 with 21-pixel lines: 4 subtractions, 3 lines. Exactly 99 = 11 cells
  // wide: 10 bytes. 54 wide: 5 bytes, cutting Chinese text inside a character.
  const std::string zh = GBK("中文字符"), x11(11, 'x');
  const std::tuple<std::string, RECT, std::vector<std::string>, std::vector<LONG>> cases[] = {
      {x11 + x11 + x11 + x11, {10, 20, 110, 84}, {x11, x11, x11}, {19, 40, 61}},
      {x11, {0, 0, 99, 100}, {x11.substr(1), "x"}, {-1, 20}},
      {zh, {0, 0, 54, 100}, {zh.substr(0, 5), zh.substr(5)}, {-1, 20}},
      {"ab\r\ncd\nef\rgh", {0, 0, 200, 200}, {"ab", "cd", "ef", "gh"}, {-1, 20, 41, 62}},
      // An empty line keeps its place; a full line takes its break.
      {"abcde\r\n\r\nfg", {0, 0, 54, 200}, {"abcde", "fg"}, {-1, 41}},
  };
  for (const auto& [text, box, lines, ys] : cases)
    EXPECT_EQ(Split(text, LayoutTextLines(text, box.left, box.top, box.right, box.bottom, 9, 21)),
              std::pair(lines, ys))
        << text;
}

TEST(TextLayout, ZeroNegativeAndAbsurdSizesLayOutWithTheirDefaultOrMagnitudeAndFinishAtOnce) {
  std::string text(100, 'x');
  const auto byDefault = Split(text, LayoutTextLines(text, 0, 0, 100, 64, 9, 21));
  EXPECT_EQ(Split(text, LayoutTextLines(text, 0, 0, 100, 64, 0, 0)), byDefault);
  EXPECT_EQ(Split(text, LayoutTextLines(text, 0, 0, 100, 64, -9, -21)), byDefault);
  EXPECT_EQ(LayoutCell(INT_MIN, 9), -std::int64_t(INT_MIN));

  // Absurd sizes from a file finish at once.
  text.resize(1000, 'x');
  // Boxes of 4 billion pixels with one-pixel cells: bounded by the text.
  auto all = LayoutTextLines(text, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 1, 1);
  EXPECT_TRUE(all.empty());  // starts far off every screen
  all = LayoutTextLines(text, 0, 0, INT_MAX, INT_MAX, 1, 1);
  EXPECT_TRUE(all.size() == 1 && all[0].length == 1000u);
  all = LayoutTextLines(text, 0, 0, 2, INT_MAX, 1, 1);  // one byte a line
  EXPECT_EQ(all.size(), 1000u);
  // Huge cells: nothing fits.
  EXPECT_TRUE(LayoutTextLines(text, 0, 0, 300, 300, INT_MAX, INT_MIN).empty());
  EXPECT_TRUE(LayoutTextLines(text, 300, 300, 0, 0, 9, 21).empty());  // a reversed box
}

TEST(TextLayout, LinesBelowTheCoordinateRangeAreNotLaidOut) {
  const std::string text(200000, 'x');
  const auto lines = LayoutTextLines(text, 0, 0, 2, INT_MAX, 1, 1000);
  ASSERT_EQ(lines.size(), std::size_t(kCoordLimit / 1000 + 1));
  EXPECT_LE(lines.back().y, kCoordLimit);
  // Only the rows a target shows, bounds included, wrapped as the whole text.
  const auto rows = LayoutTextLines(text, 0, 1, 2, INT_MAX, 1, 10, 20, 40);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(std::tuple(rows[0].y, rows[0].offset, rows[2].y), std::tuple(LONG(20), 2u, LONG(40)));
  EXPECT_TRUE(LayoutTextLines(text, 0, 1, 2, INT_MAX, 1, 10, 21, 29).empty());
}
