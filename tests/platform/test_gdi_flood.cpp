// Flood fill: 4-connected areas of one colour, or up to a border colour.
#include "tests/platform/test_gdi_util.h"

namespace {

using namespace gdi_test;

// '.' white, '#' black, 'r' red, 'w' almost white; 'o' is the fill colour.
constexpr COLORREF kAlmostWhite = RGB(254, 255, 255);
COLORREF ColourOf(char ch) {
  return ch == '#' ? kBlack : ch == 'r' ? kRed : ch == 'w' ? kAlmostWhite : kWhite;
}

bool Fill(Canvas& c, int x, int y, COLORREF colour, UINT type) {
  CBrush blue(kBlue);
  CBrush* old = c.dc.SelectObject(&blue);
  const bool ok = c.dc.ExtFloodFill(x, y, colour, type);
  c.dc.SelectObject(old);
  return ok;
}

// Each row is {picture, after the fill}; paints the pictures, fills from
// (x, y) and compares the whole result.
void ExpectFill(const std::vector<std::pair<std::string, std::string>>& rows, int x, int y,
                COLORREF colour, UINT type) {
  Canvas c(int(rows[0].first.size()), int(rows.size()));
  std::vector<std::string> expected;
  for (int r = 0; r < c.height; ++r) {
    for (int k = 0; k < c.width; ++k) c.dc.SetPixel(k, r, ColourOf(rows[r].first[k]));
    expected.push_back(rows[r].second);
  }
  EXPECT_TRUE(Fill(c, x, y, colour, type));
  EXPECT_EQ(
      c.Art({{'o', kBlue}, {'#', kBlack}, {'r', kRed}, {'w', kAlmostWhite}, {'.', kWhite}}, '?'),
      expected);
}

TEST(GdiFlood, SurfaceFillsStayInTheirColourThroughEdgesOnlyAndBorderFillsCrossAllButTheBorder) {
  // The diamond's inside touches the rest only diagonally.
  ExpectFill({{"..........", "oooooooooo"},
              {".####.....", "o####ooooo"},
              {".#..#.....", "o#..#ooooo"},
              {".#..#..#..", "o#..#oo#oo"},
              {".####.#.#.", "o####o#.#o"},
              {"......#.#.", "oooooo#.#o"},
              {".......#..", "ooooooo#oo"},
              {"..........", "oooooooooo"}},
             0, 0, kWhite, FLOODFILLSURFACE);
  // Any other colour stops it, even a near one.
  ExpectFill({{"....w.....", "oooow....."},
              {"....w.....", "oooow....."},
              {"....w.r...", "oooow.r..."},
              {"wwwww.r...", "wwwww.r..."},
              {"......r...", "......r..."}},
             0, 0, kWhite, FLOODFILLSURFACE);
  ExpectFill({{"##########", "##########"},
              {"#..r..w..#", "#oooooooo#"},
              {"#.rr.....#", "#oooooooo#"},
              {"####.#####", "####o#####"},
              {"...#.#....", "...#o#...."}},
             1, 1, kBlack, FLOODFILLBORDER);
}

TEST(GdiFlood, AFillThatCannotStartChangesNothing) {
  Canvas c(20, 20);
  c.dc.SetPixel(5, 5, kRed);
  c.dc.SetPixel(0, 19, kBlack);
  const auto before = c.Snapshot();
  EXPECT_FALSE(Fill(c, 5, 5, kWhite, FLOODFILLSURFACE)) << "the start pixel is not the colour";
  EXPECT_FALSE(Fill(c, -1, 5, kWhite, FLOODFILLSURFACE));
  EXPECT_FALSE(Fill(c, 5, 20, kWhite, FLOODFILLSURFACE));
  EXPECT_FALSE(Fill(c, 1, 1, kWhite, 7));
  EXPECT_FALSE(Fill(c, 0, 19, kBlack, FLOODFILLBORDER)) << "starting on the border fills nothing";
  EXPECT_TRUE(c.Snapshot() == before);

  // Filling an area with its own colour, or with no brush, ends and changes nothing.
  c.Brush(kWhite);
  EXPECT_TRUE(c.dc.ExtFloodFill(0, 0, kWhite, FLOODFILLSURFACE));
  EXPECT_TRUE(c.Snapshot() == before);
  c.dc.SelectStockObject(NULL_BRUSH);
  EXPECT_TRUE(c.dc.ExtFloodFill(0, 0, kWhite, FLOODFILLSURFACE));
  EXPECT_TRUE(c.Snapshot() == before);
}

TEST(GdiFlood, LongCorridorsAndScreenSizedAreasFillCompletely) {
  // A one-pixel corridor winding inwards: every turn needs a new seed.
  const int n = 41;
  Canvas c(n, n, kBlack);
  int l = 0, t = 0, r = n - 1, b = n - 1, x = 0, y = 0;
  c.dc.SetPixel(x, y, kWhite);
  while (l <= r && t <= b) {
    for (; x < r; ++x) c.dc.SetPixel(x + 1, y, kWhite);
    if ((t += 2) > b) break;
    for (; y < b; ++y) c.dc.SetPixel(x, y + 1, kWhite);
    if (l > (r -= 2)) break;
    for (; x > l; --x) c.dc.SetPixel(x - 1, y, kWhite);
    if (t > (b -= 2)) break;
    for (; y > t; --y) c.dc.SetPixel(x, y - 1, kWhite);
    l += 2;
  }
  const int corridor = c.Count(kWhite);
  EXPECT_TRUE(Fill(c, 0, 0, kWhite, FLOODFILLSURFACE));
  EXPECT_EQ(c.Count(kBlue), corridor);
  EXPECT_EQ(c.Count(kWhite), 0);

  Canvas s(3840, 2160);
  s.dc.SelectStockObject(NULL_BRUSH);
  s.dc.Ellipse(1000, 500, 2000, 1500);
  EXPECT_TRUE(Fill(s, 10, 10, kWhite, FLOODFILLSURFACE));
  EXPECT_EQ(s.At(3839, 2159), kBlue);
  EXPECT_EQ(s.At(1500, 1000), kWhite) << "the inside of the ring is not reached";
  ExpectPixels(s, {{1000, 1000, kBlack}, {999, 1000, kBlue}});
}

}  // namespace
