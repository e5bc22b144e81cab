// Rectangles, ellipses, rounded rectangles, polygons and fills: which
// pixels each covers.
#include <climits>

#include "tests/platform/test_gdi_util.h"

namespace {

using namespace gdi_test;

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
    EXPECT_EQ(c.At(25, 10), kBlack) << "outline on the top row";
    EXPECT_EQ(c.At(39, 20), kBlack) << "outline on the last column";
    EXPECT_EQ(c.At(25, 20), kRed) << "brush inside";

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
  EXPECT_EQ(hollow.Art(kBlack),
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
  EXPECT_EQ(c.At(5, 5), kWhite);
  EXPECT_EQ(c.At(5, 18), kBlack) << "leftmost point on the middle row";

  c.Fill(kWhite);
  c.dc.RoundRect(5, 5, 65, 45, 20, 20);
  EXPECT_EQ(c.At(5, 5), kWhite) << "corner cut";
  EXPECT_EQ(c.At(35, 5), kBlack) << "straight top edge";
  EXPECT_EQ(c.At(5, 25), kBlack) << "straight left edge";
  EXPECT_EQ(c.At(35, 25), kRed);
  c.Fill(kWhite);
  c.dc.RoundRect(5, 5, 65, 45, 0, 0);
  EXPECT_EQ(c.At(5, 5), kBlack) << "no corner ellipse: a plain rectangle";

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
  EXPECT_EQ(e.right - e.left, 30 + 4);
  EXPECT_EQ(e.bottom - e.top, 20 + 4);
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
  EXPECT_FALSE(c.dc.Polyline(nullptr, 3));

  Canvas f(130, 120);
  f.dc.SetROP2(R2_NOT);
  CBrush redFill(kRed);
  const RECT dab{100, 100, 115, 110};
  f.dc.FillRect(&dab, &redFill);
  EXPECT_EQ(f.Extent(kWhite), (RECT{100, 100, 115, 110}));
  EXPECT_EQ(f.Count(kRed), 15 * 10);

  const RECT solid{0, 0, 10, 10};
  f.dc.FillSolidRect(&solid, kBlue);
  ExpectPixels(f, {{9, 9, kBlue}, {10, 10, kWhite}});
  const RECT reversed{50, 50, 40, 40};
  f.dc.FillRect(&reversed, &redFill);
  EXPECT_EQ(f.Count(kRed), 150) << "a reversed rectangle is empty";

  EXPECT_TRUE(f.dc.PatBlt(0, 20, 10, 5, BLACKNESS));
  EXPECT_EQ(f.At(9, 24), kBlack);
  EXPECT_TRUE(f.dc.PatBlt(0, 20, 5, 5, DSTINVERT));
  ExpectPixels(f, {{4, 24, kWhite}, {5, 24, kBlack}});
  EXPECT_TRUE(f.dc.PatBlt(10, 25, -10, -5, WHITENESS)) << "negative extents reach back";
  EXPECT_EQ(f.At(9, 24), kWhite);
  EXPECT_FALSE(f.dc.PatBlt(0, 0, 5, 5, SRCCOPY));
}

TEST(GdiShapes, AbsurdShapesFinishAndDrawTheirVisiblePart) {
  Canvas c(64, 48);
  c.Brush(kRed);
  c.Pen(PS_SOLID, INT_MAX, kBlue);
  EXPECT_TRUE(c.dc.Rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
  EXPECT_EQ(c.Count(kRed), 64 * 48) << "the pen's band lies a billion pixels away";
  EXPECT_TRUE(c.dc.Rectangle(0, 0, INT_MAX, INT_MAX));
  EXPECT_EQ(c.Count(kBlue), 64 * 48) << "a border through the target: the band covers it";
  c.dc.SelectStockObject(NULL_PEN);
  EXPECT_TRUE(c.dc.Rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
  EXPECT_EQ(c.Count(kRed), 64 * 48);

  c.Fill(kWhite);
  // The middle of a huge ellipse covers the target; its border stays away.
  EXPECT_TRUE(c.dc.Ellipse(-2000000000, -2000000000, 2000000000, 2000000000));
  EXPECT_EQ(c.Count(kRed), 64 * 48);
  c.Fill(kWhite);
  EXPECT_TRUE(c.dc.Ellipse(INT_MIN, 20, INT_MAX, 21));
  EXPECT_EQ(c.Count(kRed), 0) << "a one-pixel box without a pen is empty";

  c.Pen(PS_DOT, 1, kBlack);
  EXPECT_TRUE(c.dc.RoundRect(INT_MIN, INT_MIN, INT_MAX, 10, INT_MAX, INT_MAX));
  EXPECT_TRUE(c.dc.Ellipse(-100000000, 0, 100000000, 200000000));
  EXPECT_TRUE(c.dc.Ellipse(0, -1000000000, 60, 1000000000));
  const RECT far{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  c.dc.FillRect(&far, &c.brushes.front());  // the red brush
  EXPECT_EQ(c.Count(kRed), 64 * 48);
  EXPECT_TRUE(c.dc.PatBlt(-1000, -1000, INT_MAX, INT_MAX, WHITENESS));
  EXPECT_EQ(c.At(0, 0), kWhite);
}

}  // namespace
