// Lines and pens, rectangles, ellipses, rounded rectangles, polygons and
// fills on a memory context: the platform's pixel conventions, which pixels
// each covers. The inverting raster operation: rubber bands vanish when
// drawn twice, and one drawing inverts each pixel it covers exactly once.
#include <functional>

#include "tests/platform/test_gdi_util.h"

namespace {

using namespace gdi_test;

TEST(GdiLines, ALineLeavesOutItsEndPixelSoConsecutiveLinesJoinWithoutGaps) {
  const int cases[][4] = {{30, 20, 10, 20}, {20, 10, 20, 30}, {10, 10, 30, 25}, {25, 5, 5, 35}};
  for (const auto& [x0, y0, x1, y1] : cases) {
    SCOPED_TRACE(testing::Message() << x0 << "," << y0 << " -> " << x1 << "," << y1);
    Canvas c(40, 40);
    EXPECT_TRUE(c.Line(x0, y0, x1, y1));
    ExpectPixels(c, {{x0, y0, kBlack}, {x1, y1, kWhite}});  // the start pixel drawn, the end not
    EXPECT_EQ(c.Count(kBlack), std::max(std::abs(x1 - x0), std::abs(y1 - y0)));
  }

  Canvas c(40, 40);
  c.Line(5, 5, 5, 5);
  EXPECT_EQ(c.Count(kBlack), 0);
  c.dc.LineTo(20, 5), c.dc.LineTo(20, 20);
  ExpectPixels(c, {{20, 5, kBlack}, {20, 20, kWhite}});  // the corner drawn by the second line
  EXPECT_EQ(c.Count(kBlack), 30);
}

TEST(GdiLines, PenColourNullPenWidePensAndStylesThatDashOnlyAtWidthOneFillingGapsWhenOpaque) {
  Canvas c(60, 60);
  c.Pen(PS_SOLID, 1, kRed);
  c.Line(0, 0, 10, 0);
  EXPECT_EQ(c.Count(kRed), 10);
  EXPECT_EQ(c.dc.SelectStockObject(NULL_PEN), &c.pens.back()) << "selecting hands back the old";
  c.Line(0, 10, 50, 10);
  EXPECT_EQ(c.Count(kWhite), 60 * 60 - 10) << "the null pen draws nothing";

  // Odd widths centre on the line; even widths are exactly as many pixels across.
  c.Pen(PS_SOLID, 5, kBlack);
  c.Line(10, 30, 40, 30);
  EXPECT_EQ(std::pair(c.Count(kBlack, {25, 0, 26, 60}), c.Count(kBlack, {25, 28, 26, 33})),
            std::pair(5, 5));
  ExpectPixels(c, {{8, 30, kBlack}, {7, 30, kWhite}});  // round caps reach past the ends
  c.Pen(PS_SOLID, 4, kBlue);
  c.Line(50, 5, 50, 25);
  EXPECT_EQ(c.Count(kBlue, {48, 15, 52, 16}), 4) << "the extra pixel of an even width on the left";

  Canvas s(100, 30);
  s.dc.SetBkColor(kBlue), s.dc.SetBkMode(TRANSPARENT);
  s.Pen(PS_DASH, 1, kRed);
  s.Line(0, 0, 48, 0);
  s.dc.SetBkMode(OPAQUE);
  s.Pen(PS_DOT, 1, kRed);
  s.Line(0, 5, 12, 5);
  const std::vector<std::string> art = s.Art({{'#', kRed}, {'o', kBlue}});
  EXPECT_EQ(art[0].substr(0, 48), std::string(18, '#') + std::string(6, '.') +
                                      std::string(18, '#') + std::string(6, '.'));
  EXPECT_EQ(art[5].substr(0, 12), "###ooo###ooo") << "opaque gaps take the background colour";

  s.Pen(PS_DASH, 3, kRed);
  s.Line(0, 20, 90, 20);
  EXPECT_EQ(s.Count(kRed, {2, 20, 88, 21}), 86) << "a wide pen draws solid";
}

using Shape = bool (*)(CDC&, int, int, int, int);
const std::pair<const char*, Shape> kShapes[] = {
    {"rectangle", [](CDC& dc, int l, int t, int r, int b) { return dc.Rectangle(l, t, r, b); }},
    {"ellipse", [](CDC& dc, int l, int t, int r, int b) { return dc.Ellipse(l, t, r, b); }},
    {"round rectangle",
     [](CDC& dc, int l, int t, int r, int b) { return dc.RoundRect(l, t, r, b, 12, 8); }}};

TEST(GdiShapes, ShapesCoverRightAndBottomExclusiveAndOnePixelLessWithoutAPen) {
  for (const auto& [name, Draw] : kShapes) {
    SCOPED_TRACE(name);
    Canvas c(60, 40);
    c.Brush(kRed);
    Draw(c.dc, 10, 10, 40, 30);
    EXPECT_EQ(c.Extent(kWhite), (RECT{10, 10, 40, 30}));
    // The outline on the top row and the last column, the brush inside.
    ExpectPixels(c, {{25, 10, kBlack}, {39, 20, kBlack}, {25, 20, kRed}});

    c.Fill(kWhite);
    c.dc.SelectStockObject(NULL_PEN);
    Draw(c.dc, 10, 10, 40, 30);
    EXPECT_EQ(c.Extent(kWhite), (RECT{10, 10, 39, 29}));
    EXPECT_EQ(c.Count(kBlack), 0);

    c.Fill(kWhite);
    Draw(c.dc, 40, 30, 10, 10);  // corners given the other way round
    EXPECT_EQ(c.Extent(kWhite), (RECT{10, 10, 39, 29}));
  }

  Canvas hollow(10, 7);
  hollow.dc.SelectStockObject(NULL_BRUSH);
  hollow.dc.Rectangle(2, 2, 8, 6);
  EXPECT_EQ(hollow.Art({{'#', kBlack}}),
            (std::vector<std::string>{"..........", "..........", "..######..", "..#....#..",
                                      "..#....#..", "..######..", ".........."}));
}

TEST(GdiShapes, EllipsesAreSymmetricRoundRectsCutCornersAndWidePensCentreOnTheBorder) {
  Canvas c(70, 50);
  c.Brush(kRed);
  c.dc.Ellipse(5, 5, 45, 31);
  for (int y = 5; y < 31; ++y)
    for (int x = 5; x < 45; ++x)
      ASSERT_TRUE(c.At(x, y) == c.At(5 + 44 - x, y) && c.At(x, y) == c.At(x, 5 + 30 - y))
          << "mirrored left to right and top to bottom at " << x << "," << y;
  ExpectPixels(c, {{5, 5, kWhite}, {5, 18, kBlack}});  // the leftmost point on the middle row

  c.Fill(kWhite);
  c.dc.RoundRect(5, 5, 65, 45, 20, 20);
  // The corner cut, straight top and left edges.
  ExpectPixels(c, {{5, 5, kWhite}, {35, 5, kBlack}, {5, 25, kBlack}, {35, 25, kRed}});

  Canvas w(60, 50);
  w.Pen(PS_SOLID, 5, kBlue);
  w.dc.SelectStockObject(NULL_BRUSH);
  w.dc.Rectangle(10, 10, 40, 30);
  EXPECT_EQ(w.Extent(kWhite), (RECT{8, 8, 42, 32}));
  ExpectPixels(w, {{12, 20, kBlue}, {13, 20, kWhite}, {36, 20, kWhite}, {37, 20, kBlue}});
  EXPECT_EQ(w.At(8, 8), kWhite) << "joins are round";

  w.Fill(kWhite);
  w.Pen(PS_SOLID, 4, kBlue);
  w.dc.Ellipse(10, 10, 40, 30);
  const RECT e = w.Extent(kWhite);
  EXPECT_EQ(std::pair(e.right - e.left, e.bottom - e.top), std::pair(30 + 4, 20 + 4));
}

TEST(GdiShapes,
     PolygonsFillAlternatelyExcludingRightAndBottomEdgesAndFillsIgnoreTheRasterOperation) {
  Canvas c(40, 40);
  c.Brush(kRed);
  c.dc.SelectStockObject(NULL_PEN);
  const POINT box[] = {{5, 5}, {25, 5}, {25, 15}, {5, 15}};
  EXPECT_TRUE(c.dc.Polygon(box, 4));
  EXPECT_EQ(c.Extent(kWhite), (RECT{5, 5, 25, 15}));

  c.Fill(kWhite);
  c.Pen(PS_SOLID, 1, kBlack);
  EXPECT_TRUE(c.dc.Polygon(box, 4));
  EXPECT_EQ(c.Extent(kWhite), (RECT{5, 5, 26, 16})) << "the outline passes through the vertices";

  // Two overlapping squares in one outline: the overlap is outside.
  c.Fill(kWhite);
  c.dc.SelectStockObject(NULL_PEN);
  const POINT twice[] = {{2, 2},   {22, 2},  {22, 22}, {2, 22},  {2, 2},
                         {12, 12}, {32, 12}, {32, 32}, {12, 32}, {12, 12}};
  EXPECT_TRUE(c.dc.Polygon(twice, 10));
  ExpectPixels(c, {{5, 5, kRed}, {17, 17, kWhite}, {28, 28, kRed}});
  EXPECT_FALSE(c.dc.Polygon(box, 1));

  Canvas f(130, 120);
  f.dc.SetROP2(R2_NOT);
  CBrush redFill(kRed);
  const RECT dab{100, 100, 115, 110};
  f.dc.FillRect(&dab, &redFill);
  EXPECT_EQ(f.Extent(kWhite), (RECT{100, 100, 115, 110}));
  EXPECT_EQ(f.Count(kRed), 15 * 10);

  EXPECT_TRUE(f.dc.PatBlt(0, 20, 10, 5, BLACKNESS));
  ExpectPixels(f, {{9, 24, kBlack}, {10, 24, kWhite}, {9, 25, kWhite}});
  EXPECT_TRUE(f.dc.PatBlt(0, 20, 10, 5, WHITENESS));
  EXPECT_EQ(f.Count(kWhite), 130 * 120 - 150);
}

TEST(GdiAbsurd, FarAndAbsurdLinesAndShapesFinishAndDrawTheirVisiblePartOnly) {
  Canvas c(50, 50);
  c.Line(INT_MIN, 10, 20, 10);
  EXPECT_EQ(std::pair(c.Count(kBlack, {0, 10, 20, 11}), c.Count(kBlack)), std::pair(20, 20));
  c.Fill(kWhite);
  c.Line(-1000000, -1000000, 1000000, 1000000);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(c.At(i, i), kBlack) << i;
  EXPECT_EQ(c.Count(kBlack), 50);

  // Each step on a white target; how many of its pixels end in the colour.
  const int all = 64 * 48;
  Canvas s(64, 48);
  auto expect = [&s](bool drawn, COLORREF colour, int count, const char* what) {
    EXPECT_TRUE(drawn) << what;
    EXPECT_EQ(s.Count(colour), count) << what;
    s.Fill(kWhite);
  };
  s.Pen(PS_SOLID, INT_MAX, kRed);
  expect(s.Line(INT_MIN, INT_MIN, INT_MAX, INT_MAX), kRed, all, "a pen wider than the target");
  const POINT far[] = {{INT_MIN, INT_MIN}, {INT_MAX, 0}, {0, INT_MAX}, {INT_MIN, INT_MAX}};
  EXPECT_TRUE(s.dc.Polygon(far, 4));
  s.Fill(kWhite);
  s.Pen(PS_SOLID, 1 << 20, kRed);
  expect(s.Line(INT_MIN, -(1 << 18), INT_MAX, -(1 << 18)), kRed, all, "a band's edge far away");
  expect(s.Line(INT_MIN, -(1 << 20), INT_MAX, -(1 << 20)), kRed, 0, "a band ending above");
  s.Brush(kRed);
  s.Pen(PS_SOLID, INT_MAX, kBlue);
  expect(s.dc.Rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX), kRed, all, "a band a billion away");
  expect(s.dc.Rectangle(0, 0, INT_MAX, INT_MAX), kBlue, all, "a border through the target");
  s.dc.SelectStockObject(NULL_PEN);
  expect(s.dc.Rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX), kRed, all, "no pen");
  expect(s.dc.Ellipse(-2000000000, -2000000000, 2000000000, 2000000000), kRed, all,
         "the middle of a huge ellipse, its border away");
  expect(s.dc.Ellipse(INT_MIN, 20, INT_MAX, 21), kRed, 0, "a one-pixel box without a pen");
  s.Pen(PS_DOT, 1, kBlack);
  EXPECT_TRUE(s.dc.RoundRect(-100000, -100000, 100000, 10, 50, 50));
  EXPECT_TRUE(s.dc.Ellipse(0, -1000000000, 60, 1000000000));
  const RECT huge{-100000, -100000, 100000, 100000};
  s.dc.FillRect(&huge, &s.brushes.front());
  expect(true, kRed, all, "dotted shapes reaching far, a far fill over them");
}

// Flood fill: 4-connected areas of one colour.
// '.' white, '#' black, 'r' red, 'w' almost white; 'o' is the fill colour.
constexpr COLORREF kAlmostWhite = RGB(254, 255, 255);
COLORREF ColourOf(char ch) {
  return ch == '#' ? kBlack : ch == 'r' ? kRed : ch == 'w' ? kAlmostWhite : kWhite;
}

// Fills the white area at (x, y) with blue.
bool Fill(Canvas& c, int x, int y) {
  c.Brush(kBlue);
  return c.dc.ExtFloodFill(x, y, kWhite, FLOODFILLSURFACE);
}

// Each row is {picture, after the fill}; paints the pictures, fills from
// (0, 0) and compares the whole result.
void ExpectFill(const std::vector<std::pair<std::string, std::string>>& rows) {
  Canvas c(int(rows[0].first.size()), int(rows.size()));
  std::vector<std::string> expected;
  for (int r = 0; r < c.height; ++r) {
    for (int k = 0; k < c.width; ++k) c.dc.SetPixel(k, r, ColourOf(rows[r].first[k]));
    expected.push_back(rows[r].second);
  }
  EXPECT_TRUE(Fill(c, 0, 0));
  EXPECT_EQ(
      c.Art({{'o', kBlue}, {'#', kBlack}, {'r', kRed}, {'w', kAlmostWhite}, {'.', kWhite}}, '?'),
      expected);
}

TEST(GdiFlood, FillsStayInTheirColourCrossEdgesOnlyAndNeedAStartOfTheirColour) {
  // The diamond's inside touches the rest only diagonally.
  ExpectFill({{"..........", "oooooooooo"},
              {".####.....", "o####ooooo"},
              {".#..#.....", "o#..#ooooo"},
              {".#..#..#..", "o#..#oo#oo"},
              {".####.#.#.", "o####o#.#o"},
              {"......#.#.", "oooooo#.#o"},
              {".......#..", "ooooooo#oo"},
              {"..........", "oooooooooo"}});
  // Any other colour stops it, even a near one.
  ExpectFill({{"....w.....", "oooow....."},
              {"....w.....", "oooow....."},
              {"....w.r...", "oooow.r..."},
              {"wwwww.r...", "wwwww.r..."},
              {"......r...", "......r..."}});

  // A fill that cannot start changes nothing.
  Canvas c(20, 20);
  c.dc.SetPixel(5, 5, kRed);
  const auto before = c.Snapshot();
  // A start pixel not of the colour, or outside.
  for (const auto& [x, y] : {std::pair{5, 5}, {-1, 5}, {5, 20}})
    EXPECT_FALSE(Fill(c, x, y)) << x << "," << y;
  EXPECT_TRUE(c.Snapshot() == before);

  // Filling an area with its own colour ends and changes nothing.
  c.Brush(kWhite);
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
  EXPECT_TRUE(Fill(c, 0, 0));
  EXPECT_EQ(std::pair(c.Count(kBlue), c.Count(kWhite)), std::pair(corridor, 0));

  Canvas s(3840, 2160);
  s.dc.SelectStockObject(NULL_BRUSH);
  s.dc.Ellipse(1000, 500, 2000, 1500);
  EXPECT_TRUE(Fill(s, 10, 10));
  // The far corner reached, the inside of the ring not.
  ExpectPixels(
      s, {{3839, 2159, kBlue}, {1500, 1000, kWhite}, {1000, 1000, kBlack}, {999, 1000, kBlue}});
}

// The inverting raster operation, with the pens and brushes the program's
// bands, flashes and transparent shapes invert with.
struct Primitive {
  const char* name;
  int penStyle, penWidth;
  bool brush;
  std::function<void(CDC&)> draw;
};

std::vector<Primitive> Primitives() {
  static const POINT star[] = {{40, 5}, {52, 70}, {5, 28}, {75, 28}, {28, 70}};
  static const POINT zigzag[] = {{5, 5}, {70, 10}, {8, 14}, {70, 40}, {10, 70}, {12, 20}};
  static const POINT square[] = {{5, 5}, {30, 5}, {30, 30}, {5, 30}, {5, 5}};
  static const POINT spike[] = {{5, 20}, {75, 21}, {5, 22}};
  static const POINT triangle[] = {{4, 4}, {74, 12}, {14, 66}};
  auto line = [](int x0, int y0, int x1, int y1) {
    return [=](CDC& dc) { dc.MoveTo(x0, y0), dc.LineTo(x1, y1); };
  };
  return {
      {"1-pixel line", PS_SOLID, 1, false, line(3, 7, 71, 60)},
      {"5-pixel line", PS_SOLID, 5, false, line(70, 3, 6, 66)},
      {"4-pixel steep line", PS_SOLID, 4, false, line(30, 2, 36, 75)},
      {"dashed line", PS_DASH, 1, false, line(2, 40, 78, 45)},
      {"filled rectangle", PS_SOLID, 1, true, [](CDC& dc) { dc.Rectangle(10, 12, 60, 50); }},
      {"wide-pen filled rectangle", PS_SOLID, 7, true,
       [](CDC& dc) { dc.Rectangle(10, 12, 60, 50); }},
      {"dashed rectangle outline", PS_DASHDOT, 1, false,
       [](CDC& dc) { dc.Rectangle(4, 4, 70, 66); }},
      {"4-pixel-pen filled ellipse", PS_SOLID, 4, true, [](CDC& dc) { dc.Ellipse(8, 6, 73, 50); }},
      {"dotted filled ellipse", PS_DOT, 1, true, [](CDC& dc) { dc.Ellipse(3, 9, 77, 70); }},
      {"round rectangle", PS_SOLID, 1, true, [](CDC& dc) { dc.RoundRect(5, 5, 75, 65, 50, 50); }},
      {"self-crossing polygon", PS_SOLID, 1, true, [](CDC& dc) { dc.Polygon(star, 5); }},
      {"wide-outline polygon", PS_SOLID, 5, true, [](CDC& dc) { dc.Polygon(triangle, 3); }},
      {"polyline, acute vertices", PS_SOLID, 1, false, [](CDC& dc) { dc.Polyline(zigzag, 6); }},
      {"closed polyline", PS_SOLID, 1, false, [](CDC& dc) { dc.Polyline(square, 5); }},
      {"polyline folding back", PS_SOLID, 1, false, [](CDC& dc) { dc.Polyline(spike, 3); }},
      {"wide polyline", PS_SOLID, 8, false, [](CDC& dc) { dc.Polyline(zigzag, 6); }},
  };
}

// In copy mode each primitive paints some pixels of a white target; drawn
// inverted on a pattern it inverts exactly those, each once, even where
// its outline and fill or two of its lines overlap.
TEST(GdiInvert, DrawingAnyPrimitiveInvertsEachPixelItPaintsOnceAndTwiceRestoresThem) {
  for (const bool opaque : {true, false}) {
    for (const Primitive& p : Primitives()) {
      SCOPED_TRACE(std::string(p.name) + (opaque ? ", opaque" : ", transparent"));
      Canvas painted(80, 80), c(80, 80);
      c.FillPattern();
      const std::vector<COLORREF> before = c.Snapshot();
      EXPECT_EQ(c.dc.SetROP2(R2_NOT), R2_COPYPEN);
      for (Canvas* t : {&painted, &c}) {
        t->Pen(p.penStyle, p.penWidth, kRed);
        t->Brush(kGreen);
        if (!p.brush) t->dc.SelectStockObject(NULL_BRUSH);
        t->dc.SetBkColor(kBlue);
        t->dc.SetBkMode(opaque ? OPAQUE : TRANSPARENT);
        p.draw(t->dc);
      }
      const std::vector<COLORREF> once = c.Snapshot(), paint = painted.Snapshot();
      int inverted = 0;
      for (std::size_t i = 0; i < before.size(); ++i) {
        ASSERT_EQ(once[i], paint[i] == kWhite ? before[i] : Inverse(before[i])) << "pixel " << i;
        inverted += once[i] != before[i];
      }
      EXPECT_GT(inverted, 40);
      p.draw(c.dc);
      EXPECT_TRUE(c.Snapshot() == before) << "the second drawing restores the picture";
    }
  }
}

}  // namespace
