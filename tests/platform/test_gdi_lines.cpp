// Lines and pens on a memory context: the platform's pixel conventions.
#include <climits>

#include "tests/platform/test_gdi_util.h"

namespace {

using namespace gdi_test;

int CountBlackOn(const Canvas& c) { return c.Count(kBlack); }

TEST(GdiLines, ALineLeavesOutItsEndPixelSoConsecutiveLinesJoinWithoutGaps) {
  struct Case {
    int x0, y0, x1, y1;
  };
  const Case cases[] = {{10, 20, 30, 20}, {30, 20, 10, 20}, {20, 10, 20, 30}, {20, 30, 20, 10},
                        {10, 10, 30, 25}, {30, 25, 10, 10}, {5, 35, 25, 5},   {25, 5, 5, 35}};
  for (const Case& k : cases) {
    Canvas c(40, 40);
    c.dc.MoveTo(k.x0, k.y0);
    EXPECT_TRUE(c.dc.LineTo(k.x1, k.y1));
    SCOPED_TRACE(std::to_string(k.x0) + "," + std::to_string(k.y0) + " -> " + std::to_string(k.x1) +
                 "," + std::to_string(k.y1));
    EXPECT_EQ(c.At(k.x0, k.y0), kBlack) << "the start pixel is drawn";
    EXPECT_EQ(c.At(k.x1, k.y1), kWhite) << "the end pixel is not";
    EXPECT_EQ(CountBlackOn(c), std::max(std::abs(k.x1 - k.x0), std::abs(k.y1 - k.y0)));
  }

  Canvas c(40, 40);
  c.dc.MoveTo(5, 5);
  c.dc.LineTo(5, 5);
  EXPECT_EQ(CountBlackOn(c), 0);
  c.dc.LineTo(20, 5);
  c.dc.LineTo(20, 20);
  EXPECT_EQ(c.At(20, 5), kBlack) << "the corner is drawn by the second line";
  EXPECT_EQ(c.At(20, 20), kWhite);
  EXPECT_EQ(CountBlackOn(c), 30);
  EXPECT_EQ(c.dc.MoveTo(0, 0).x, 20) << "the current position follows the last line";
}

TEST(GdiLines, PenColourNullPenWidePensAndStylesThatDashOnlyAtWidthOneFillingGapsWhenOpaque) {
  Canvas c(60, 60);
  CPen red(PS_SOLID, 1, kRed);
  CPen* old = c.dc.SelectObject(&red);
  c.dc.MoveTo(0, 0);
  c.dc.LineTo(10, 0);
  EXPECT_EQ(c.Count(kRed), 10);

  c.dc.SelectStockObject(NULL_PEN);
  c.dc.MoveTo(0, 10);
  c.dc.LineTo(50, 10);
  EXPECT_EQ(c.Count(kRed), 10) << "the null pen draws nothing";
  EXPECT_EQ(c.Count(kBlack), 0);

  // Odd widths centre on the line; even widths are exactly as many pixels across.
  CPen five(PS_SOLID, 5, kBlack), four(PS_SOLID, 4, kBlue);
  c.dc.SelectObject(&five);
  c.dc.MoveTo(10, 30);
  c.dc.LineTo(40, 30);
  int rows = 0;
  for (int y = 0; y < 60; ++y) rows += c.At(25, y) == kBlack;
  EXPECT_EQ(rows, 5);
  ExpectPixels(c, {{25, 28, kBlack}, {25, 32, kBlack}});
  EXPECT_EQ(c.At(8, 30), kBlack) << "round caps reach past the ends";
  EXPECT_EQ(c.At(7, 30), kWhite);
  c.dc.SelectObject(&four);
  c.dc.MoveTo(50, 5);
  c.dc.LineTo(50, 25);
  int cols = 0;
  for (int x = 0; x < 60; ++x) cols += c.At(x, 15) == kBlue;
  EXPECT_EQ(cols, 4);
  c.dc.SelectObject(old);

  Canvas s(100, 30);
  CPen dash(PS_DASH, 1, kRed), dot(PS_DOT, 1, kRed), wide(PS_DASH, 3, kRed);
  s.dc.SetBkColor(kBlue);
  s.dc.SetBkMode(TRANSPARENT);
  s.dc.SelectObject(&dash);
  s.dc.MoveTo(0, 0);
  s.dc.LineTo(48, 0);
  std::string row;
  for (int x = 0; x < 48; ++x) row += s.At(x, 0) == kRed ? '#' : '.';
  EXPECT_EQ(
      row, std::string(18, '#') + std::string(6, '.') + std::string(18, '#') + std::string(6, '.'));

  s.dc.SetBkMode(OPAQUE);
  s.dc.SelectObject(&dot);
  s.dc.MoveTo(0, 5);
  s.dc.LineTo(12, 5);
  row.clear();
  for (int x = 0; x < 12; ++x) row += s.At(x, 5) == kRed ? '#' : s.At(x, 5) == kBlue ? 'o' : '.';
  EXPECT_EQ(row, "###ooo###ooo") << "opaque gaps take the background colour";

  s.dc.SelectObject(&wide);
  s.dc.MoveTo(0, 20);
  s.dc.LineTo(90, 20);
  for (int x = 2; x < 88; ++x) ASSERT_EQ(s.At(x, 20), kRed) << "a wide pen draws solid, x " << x;
}

TEST(GdiLines, FarAndAbsurdLinesFinishAndDrawTheirVisiblePartOnly) {
  Canvas c(50, 50);
  c.dc.MoveTo(INT_MIN, 10);
  c.dc.LineTo(20, 10);
  for (int x = 0; x < 20; ++x) EXPECT_EQ(c.At(x, 10), kBlack) << x;
  EXPECT_EQ(c.Count(kBlack), 20);

  c.Fill(kWhite);
  c.dc.MoveTo(-1000000, -1000000);
  c.dc.LineTo(1000000, 1000000);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(c.At(i, i), kBlack) << i;
  EXPECT_EQ(c.Count(kBlack), 50);

  c.Fill(kWhite);
  c.dc.MoveTo(INT_MAX, INT_MIN);
  c.dc.LineTo(INT_MIN, INT_MAX);  // through the far corners, crossing near (0, 0)
  c.dc.MoveTo(INT_MAX, INT_MAX);
  c.dc.LineTo(INT_MAX - 5, INT_MIN);
  EXPECT_LE(c.Count(kBlack), 2);

  Canvas e(64, 48);
  CPen huge(PS_SOLID, INT_MAX, kRed);
  e.dc.SelectObject(&huge);
  e.dc.MoveTo(INT_MIN, INT_MIN);
  EXPECT_TRUE(e.dc.LineTo(INT_MAX, INT_MAX));
  EXPECT_EQ(e.Count(kRed), 64 * 48) << "a pen wider than the target covers all of it";

  Canvas d(64, 48);
  CPen wide(PS_SOLID, 1 << 20, kRed);
  d.dc.SelectObject(&wide);
  d.dc.MoveTo(INT_MIN, -(1 << 18));  // a band whose edge lies far away
  d.dc.LineTo(INT_MAX, -(1 << 18));
  EXPECT_EQ(d.Count(kRed), 64 * 48);
  d.Fill(kWhite);
  d.dc.MoveTo(INT_MIN, -(1 << 20));  // the band ends above the target
  d.dc.LineTo(INT_MAX, -(1 << 20));
  EXPECT_EQ(d.Count(kRed), 0);

  POINT far[] = {{INT_MIN, INT_MIN}, {INT_MAX, 0}, {0, INT_MAX}, {INT_MIN, INT_MAX}};
  EXPECT_TRUE(e.dc.Polyline(far, 4));
  EXPECT_TRUE(e.dc.Polygon(far, 4));
}

}  // namespace
