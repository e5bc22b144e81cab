// Flood fill: 4-connected areas of one colour, or up to a border colour.
#include "tests/platform/test_gdi_util.h"

namespace {

using namespace gdi_test;

// '.' white, '#' black, 'r' red, 'w' almost white.
COLORREF ColourOf(char ch) {
  switch (ch) {
    case '#':
      return kBlack;
    case 'r':
      return kRed;
    case 'w':
      return RGB(254, 255, 255);
    default:
      return kWhite;
  }
}

void Paint(Canvas& c, const std::vector<std::string>& art) {
  for (int y = 0; y < int(art.size()); ++y) {
    for (int x = 0; x < int(art[std::size_t(y)].size()); ++x) {
      c.dc.SetPixel(x, y, ColourOf(art[std::size_t(y)][std::size_t(x)]));
    }
  }
}

// The picture after the fill, with the fill colour shown as 'o'.
std::vector<std::string> Result(const Canvas& c, COLORREF fill) {
  std::vector<std::string> rows;
  for (int y = 0; y < c.height; ++y) {
    std::string row;
    for (int x = 0; x < c.width; ++x) {
      const COLORREF p = c.At(x, y);
      row += p == fill ? 'o' : p == kBlack ? '#' : p == kRed ? 'r' : p == kWhite ? '.' : 'w';
    }
    rows.push_back(row);
  }
  return rows;
}

bool Fill(Canvas& c, int x, int y, COLORREF colour, UINT type) {
  CBrush blue(kBlue);
  CBrush* old = c.dc.SelectObject(&blue);
  const bool ok = c.dc.ExtFloodFill(x, y, colour, type);
  c.dc.SelectObject(old);
  return ok;
}

TEST(GdiFlood, SurfaceFillStaysInItsColourAndGoesOnlyThroughEdges) {
  const std::vector<std::string> art = {
      "..........",  //
      ".####.....",  //
      ".#..#.....",  //
      ".#..#..#..",  //
      ".####.#.#.",  //
      "......#.#.",  //
      ".......#..",  //
      "..........",  //
  };
  Canvas c(10, 8);
  Paint(c, art);
  EXPECT_TRUE(Fill(c, 2, 2, kWhite, FLOODFILLSURFACE));
  const std::vector<std::string> inner = {
      "..........",  //
      ".####.....",  //
      ".#oo#.....",  //
      ".#oo#..#..",  //
      ".####.#.#.",  //
      "......#.#.",  //
      ".......#..",  //
      "..........",  //
  };
  EXPECT_EQ(Result(c, kBlue), inner);

  EXPECT_TRUE(Fill(c, 0, 0, kWhite, FLOODFILLSURFACE));
  const std::vector<std::string> outer = {
      "oooooooooo",  //
      "o####ooooo",  //
      "o#oo#ooooo",  //
      "o#oo#oo#oo",  //
      "o####o#.#o",  //
      "oooooo#.#o",  //
      "ooooooo#oo",  //
      "oooooooooo",  //
  };
  EXPECT_EQ(Result(c, kBlue), outer) << "the diamond's inside touches the rest only diagonally";
}

TEST(GdiFlood, SurfaceFillStopsAtAnyOtherColourEvenANearOne) {
  const std::vector<std::string> art = {
      "....w.....",  //
      "....w.....",  //
      "....w.r...",  //
      "wwwww.r...",  //
      "......r...",  //
  };
  Canvas c(10, 5);
  Paint(c, art);
  EXPECT_TRUE(Fill(c, 0, 0, kWhite, FLOODFILLSURFACE));
  const std::vector<std::string> expected = {
      "oooow.....",  //
      "oooow.....",  //
      "oooow.r...",  //
      "wwwww.r...",  //
      "......r...",  //
  };
  EXPECT_EQ(Result(c, kBlue), expected);
}

TEST(GdiFlood, BorderFillCrossesEveryColourButTheBorder) {
  const std::vector<std::string> art = {
      "##########",  //
      "#..r..w..#",  //
      "#.rr.....#",  //
      "####.#####",  //
      "...#.#....",  //
  };
  Canvas c(10, 5);
  Paint(c, art);
  EXPECT_TRUE(Fill(c, 1, 1, kBlack, FLOODFILLBORDER));
  const std::vector<std::string> expected = {
      "##########",  //
      "#oooooooo#",  //
      "#oooooooo#",  //
      "####o#####",  //
      "...#o#....",  //
  };
  EXPECT_EQ(Result(c, kBlue), expected);
  EXPECT_FALSE(Fill(c, 0, 0, kBlack, FLOODFILLBORDER)) << "starting on the border fills nothing";
}

TEST(GdiFlood, AFillThatCannotStartChangesNothing) {
  Canvas c(20, 20);
  c.dc.SetPixel(5, 5, kRed);
  const auto before = c.Snapshot();
  EXPECT_FALSE(Fill(c, 5, 5, kWhite, FLOODFILLSURFACE)) << "the start pixel is not the colour";
  EXPECT_FALSE(Fill(c, -1, 5, kWhite, FLOODFILLSURFACE));
  EXPECT_FALSE(Fill(c, 5, 20, kWhite, FLOODFILLSURFACE));
  EXPECT_FALSE(Fill(c, 1, 1, kWhite, 7));
  EXPECT_TRUE(c.Snapshot() == before);

  // Filling an area with its own colour ends and leaves it as it was.
  CBrush white(kWhite);
  c.dc.SelectObject(&white);
  EXPECT_TRUE(c.dc.ExtFloodFill(0, 0, kWhite, FLOODFILLSURFACE));
  EXPECT_TRUE(c.Snapshot() == before);
  c.dc.SelectStockObject(NULL_BRUSH);
  EXPECT_TRUE(c.dc.ExtFloodFill(0, 0, kWhite, FLOODFILLSURFACE));
  EXPECT_TRUE(c.Snapshot() == before);
}

TEST(GdiFlood, ASpiralCorridorIsFilledToItsEnd) {
  // A one-pixel corridor winding inwards: every turn needs a new seed.
  const int n = 41;
  Canvas c(n, n, kBlack);
  int l = 0, t = 0, r = n - 1, b = n - 1;
  int x = 0, y = 0;
  c.dc.SetPixel(x, y, kWhite);
  while (l <= r && t <= b) {
    for (; x < r; ++x) c.dc.SetPixel(x + 1, y, kWhite);
    t += 2;
    if (t > b) break;
    for (; y < b; ++y) c.dc.SetPixel(x, y + 1, kWhite);
    r -= 2;
    if (l > r) break;
    for (; x > l; --x) c.dc.SetPixel(x - 1, y, kWhite);
    b -= 2;
    if (t > b) break;
    for (; y > t; --y) c.dc.SetPixel(x, y - 1, kWhite);
    l += 2;
  }
  const int corridor = c.Count(kWhite);
  EXPECT_TRUE(Fill(c, 0, 0, kWhite, FLOODFILLSURFACE));
  EXPECT_EQ(c.Count(kBlue), corridor);
  EXPECT_EQ(c.Count(kWhite), 0);
}

TEST(GdiFlood, AScreenSizedAreaFillsCompletely) {
  Canvas c(3840, 2160);
  c.dc.SelectStockObject(NULL_BRUSH);
  c.dc.Ellipse(1000, 500, 2000, 1500);
  EXPECT_TRUE(Fill(c, 10, 10, kWhite, FLOODFILLSURFACE));
  EXPECT_EQ(c.At(3839, 2159), kBlue);
  EXPECT_EQ(c.At(1500, 1000), kWhite) << "the inside of the ring is not reached";
  EXPECT_EQ(c.At(1000, 1000), kBlack);
  EXPECT_EQ(c.At(999, 1000), kBlue);
}

}  // namespace
