// Lines and pens on a memory context: the platform's pixel conventions.
#include <climits>

#include "tests/platform/test_gdi_util.h"

namespace {

using namespace gdi_test;

TEST(GdiLines, ALineLeavesOutItsEndPixelSoConsecutiveLinesJoinWithoutGaps) {
  const int cases[][4] = {{10, 20, 30, 20}, {30, 20, 10, 20}, {20, 10, 20, 30}, {20, 30, 20, 10},
                          {10, 10, 30, 25}, {30, 25, 10, 10}, {5, 35, 25, 5},   {25, 5, 5, 35}};
  for (const auto& [x0, y0, x1, y1] : cases) {
    SCOPED_TRACE(testing::Message() << x0 << "," << y0 << " -> " << x1 << "," << y1);
    Canvas c(40, 40);
    EXPECT_TRUE(c.Line(x0, y0, x1, y1));
    EXPECT_EQ(c.At(x0, y0), kBlack) << "the start pixel is drawn";
    EXPECT_EQ(c.At(x1, y1), kWhite) << "the end pixel is not";
    EXPECT_EQ(c.Count(kBlack), std::max(std::abs(x1 - x0), std::abs(y1 - y0)));
  }

  Canvas c(40, 40);
  c.Line(5, 5, 5, 5);
  EXPECT_EQ(c.Count(kBlack), 0);
  c.dc.LineTo(20, 5);
  c.dc.LineTo(20, 20);
  EXPECT_EQ(c.At(20, 5), kBlack) << "the corner is drawn by the second line";
  EXPECT_EQ(c.At(20, 20), kWhite);
  EXPECT_EQ(c.Count(kBlack), 30);
  EXPECT_EQ(c.dc.MoveTo(0, 0).x, 20) << "the current position follows the last line";
}

TEST(GdiLines, PenColourNullPenWidePensAndStylesThatDashOnlyAtWidthOneFillingGapsWhenOpaque) {
  Canvas c(60, 60);
  c.Pen(PS_SOLID, 1, kRed);
  c.Line(0, 0, 10, 0);
  EXPECT_EQ(c.Count(kRed), 10);
  c.dc.SelectStockObject(NULL_PEN);
  c.Line(0, 10, 50, 10);
  EXPECT_EQ(c.Count(kWhite), 60 * 60 - 10) << "the null pen draws nothing";

  // Odd widths centre on the line; even widths are exactly as many pixels across.
  c.Pen(PS_SOLID, 5, kBlack);
  c.Line(10, 30, 40, 30);
  EXPECT_EQ(c.Count(kBlack, {25, 0, 26, 60}), 5);
  EXPECT_EQ(c.Count(kBlack, {25, 28, 26, 33}), 5);
  EXPECT_EQ(c.At(8, 30), kBlack) << "round caps reach past the ends";
  EXPECT_EQ(c.At(7, 30), kWhite);
  c.Pen(PS_SOLID, 4, kBlue);
  c.Line(50, 5, 50, 25);
  EXPECT_EQ(c.Count(kBlue, {0, 15, 60, 16}), 4);

  Canvas s(100, 30);
  s.dc.SetBkColor(kBlue);
  s.dc.SetBkMode(TRANSPARENT);
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

TEST(GdiLines, FarAndAbsurdLinesFinishAndDrawTheirVisiblePartOnly) {
  Canvas c(50, 50);
  c.Line(INT_MIN, 10, 20, 10);
  EXPECT_EQ(c.Count(kBlack, {0, 10, 20, 11}), 20);
  EXPECT_EQ(c.Count(kBlack), 20);

  c.Fill(kWhite);
  c.Line(-1000000, -1000000, 1000000, 1000000);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(c.At(i, i), kBlack) << i;
  EXPECT_EQ(c.Count(kBlack), 50);

  c.Fill(kWhite);
  c.Line(INT_MAX, INT_MIN, INT_MIN, INT_MAX);  // through the far corners, crossing near (0, 0)
  c.Line(INT_MAX, INT_MAX, INT_MAX - 5, INT_MIN);
  EXPECT_LE(c.Count(kBlack), 2);

  Canvas e(64, 48);
  e.Pen(PS_SOLID, INT_MAX, kRed);
  EXPECT_TRUE(e.Line(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
  EXPECT_EQ(e.Count(kRed), 64 * 48) << "a pen wider than the target covers all of it";

  Canvas d(64, 48);
  d.Pen(PS_SOLID, 1 << 20, kRed);
  d.Line(INT_MIN, -(1 << 18), INT_MAX, -(1 << 18));  // a band whose edge lies far away
  EXPECT_EQ(d.Count(kRed), 64 * 48);
  d.Fill(kWhite);
  d.Line(INT_MIN, -(1 << 20), INT_MAX, -(1 << 20));  // the band ends above the target
  EXPECT_EQ(d.Count(kRed), 0);

  POINT far[] = {{INT_MIN, INT_MIN}, {INT_MAX, 0}, {0, INT_MAX}, {INT_MIN, INT_MAX}};
  EXPECT_TRUE(e.dc.Polyline(far, 4));
  EXPECT_TRUE(e.dc.Polygon(far, 4));
}

}  // namespace
