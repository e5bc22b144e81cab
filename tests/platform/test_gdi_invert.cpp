// The inverting raster operation: rubber bands vanish when drawn twice, and
// one drawing inverts each pixel it covers exactly once.
#include <functional>

#include "tests/platform/test_gdi_util.h"

namespace {

using namespace gdi_test;

struct Primitive {
  const char* name;
  int penStyle, penWidth;
  bool brush;
  std::function<void(CDC&)> draw;
};

std::vector<Primitive> Primitives() {
  static const POINT star[] = {{40, 5}, {52, 70}, {5, 28}, {75, 28}, {28, 70}};
  static const POINT zigzag[] = {{5, 5}, {70, 10}, {8, 14}, {70, 40}, {10, 70}, {12, 20}};
  auto line = [](int x0, int y0, int x1, int y1) {
    return [=](CDC& dc) {
      dc.MoveTo(x0, y0);
      dc.LineTo(x1, y1);
    };
  };
  return {
      {"1-pixel line", PS_SOLID, 1, false, line(3, 7, 71, 60)},
      {"5-pixel line", PS_SOLID, 5, false, line(70, 3, 6, 66)},
      {"4-pixel steep line", PS_SOLID, 4, false, line(30, 2, 36, 75)},
      {"dashed line", PS_DASH, 1, false, line(2, 40, 78, 45)},
      {"rectangle with pen and brush", PS_SOLID, 1, true,
       [](CDC& dc) { dc.Rectangle(10, 12, 60, 50); }},
      {"rectangle with a wide pen and brush", PS_SOLID, 7, true,
       [](CDC& dc) { dc.Rectangle(10, 12, 60, 50); }},
      {"dashed rectangle outline", PS_DASHDOT, 1, false,
       [](CDC& dc) { dc.Rectangle(4, 4, 70, 66); }},
      {"ellipse with pen and brush", PS_SOLID, 1, true, [](CDC& dc) { dc.Ellipse(8, 6, 73, 50); }},
      {"ellipse with a 4-pixel pen and brush", PS_SOLID, 4, true,
       [](CDC& dc) { dc.Ellipse(8, 6, 73, 50); }},
      {"dotted ellipse with brush", PS_DOT, 1, true, [](CDC& dc) { dc.Ellipse(3, 9, 77, 70); }},
      {"round rectangle with pen and brush", PS_SOLID, 1, true,
       [](CDC& dc) { dc.RoundRect(5, 5, 75, 65, 50, 50); }},
      {"round rectangle with a 6-pixel pen", PS_SOLID, 6, false,
       [](CDC& dc) { dc.RoundRect(5, 5, 75, 65, 30, 20); }},
      {"self-crossing polygon with pen and brush", PS_SOLID, 1, true,
       [](CDC& dc) { dc.Polygon(star, 5); }},
      {"polygon with a wide pen and brush", PS_SOLID, 9, true,
       [](CDC& dc) { dc.Polygon(star, 5); }},
      {"polyline with acute vertices", PS_SOLID, 1, false, [](CDC& dc) { dc.Polyline(zigzag, 6); }},
      {"wide polyline", PS_SOLID, 8, false, [](CDC& dc) { dc.Polyline(zigzag, 6); }},
      {"dashed polyline", PS_DASH, 1, false, [](CDC& dc) { dc.Polyline(zigzag, 6); }},
  };
}

TEST(GdiInvert, DrawingAnyPrimitiveTwiceInvertedRestoresEveryPixel) {
  for (const bool opaque : {true, false}) {
    for (const Primitive& p : Primitives()) {
      SCOPED_TRACE(std::string(p.name) + (opaque ? ", opaque" : ", transparent"));
      Canvas c(80, 80);
      c.FillPattern();
      const std::vector<COLORREF> before = c.Snapshot();
      c.Pen(p.penStyle, p.penWidth, kRed);
      c.Brush(kGreen);
      if (!p.brush) c.dc.SelectStockObject(NULL_BRUSH);
      c.dc.SetBkMode(opaque ? OPAQUE : TRANSPARENT);
      EXPECT_EQ(c.dc.SetROP2(R2_NOT), R2_COPYPEN);
      p.draw(c.dc);
      const std::vector<COLORREF> once = c.Snapshot();
      int inverted = 0;
      for (std::size_t i = 0; i < before.size(); ++i) {
        if (once[i] == before[i]) continue;
        ASSERT_EQ(once[i], Inverse(before[i])) << "pixel " << i << " is not an inverse";
        ++inverted;
      }
      EXPECT_GT(inverted, 40);
      p.draw(c.dc);
      EXPECT_TRUE(c.Snapshot() == before) << "the second drawing restores the picture";
    }
  }
}

TEST(GdiInvert, ShapesAndPolylinesInvertEachPixelOnceAndOtherRasterOperationsWork) {
  Canvas c(60, 40);
  c.dc.SetROP2(R2_NOT);
  c.Brush(kRed);
  EXPECT_TRUE(c.dc.Rectangle(10, 10, 30, 20));
  // The pen's and the brush's pixels overlap; none may be inverted twice.
  EXPECT_EQ(c.Count(kBlack), 20 * 10);
  EXPECT_EQ(c.Extent(kWhite), (RECT{10, 10, 30, 20}));

  c.Fill(kWhite);
  EXPECT_TRUE(c.dc.Ellipse(10, 5, 50, 35));
  const RECT ext = c.Extent(kWhite);
  EXPECT_EQ(ext, (RECT{10, 5, 50, 35}));
  const std::vector<std::string> art = c.Art(kBlack);
  for (int y = 5; y < 35; ++y) {
    // Each row of the inverted ellipse is one solid run: no pixel left behind inside.
    const std::string& row = art[std::size_t(y)];
    ASSERT_NE(row.find('#'), std::string::npos) << "row " << y;
    EXPECT_EQ(row.find('.', row.find('#')), row.rfind('#') + 1) << "row " << y;
  }

  // A filled polygon with a wide outline covers exactly the pixels it paints
  // in copy mode, each inverted once where outline and fill overlap.
  const POINT triangle[] = {{4, 4}, {54, 12}, {14, 36}};
  Canvas painted(60, 40), inverted(60, 40);
  inverted.dc.SetROP2(R2_NOT);
  for (Canvas* t : {&painted, &inverted}) {
    t->Pen(PS_SOLID, 5, kRed);
    t->Brush(kRed);
    EXPECT_TRUE(t->dc.Polygon(triangle, 3));
  }
  EXPECT_EQ(inverted.Count(kWhite), painted.Count(kWhite));
  EXPECT_EQ(inverted.Count(kBlack), 60 * 40 - painted.Count(kWhite));

  Canvas p(40, 40);
  p.dc.SetROP2(R2_NOT);
  const POINT square[] = {{5, 5}, {30, 5}, {30, 30}, {5, 30}, {5, 5}};
  EXPECT_TRUE(p.dc.Polyline(square, 5));
  ExpectPixels(p, {{30, 5, kBlack}, {30, 30, kBlack}, {5, 30, kBlack}});
  EXPECT_EQ(p.At(5, 5), kBlack) << "the closing line ends where the first began";
  EXPECT_EQ(p.Count(kBlack), 100);

  const POINT spike[] = {{5, 20}, {35, 21}, {5, 22}};
  Canvas d(40, 40);
  d.dc.SetROP2(R2_NOT);
  d.dc.Polyline(spike, 3);
  for (int x = 5; x < 35; ++x)
    EXPECT_GE(d.Count(kBlack, {x, 19, x + 1, 24}), 1)
        << "both arms show at x " << x << ": none cancelled by the other";

  Canvas o(20, 20, kRed);
  EXPECT_EQ(o.dc.GetROP2(), R2_COPYPEN);
  EXPECT_EQ(o.dc.SetROP2(0), 0) << "unknown operations are refused";
  EXPECT_EQ(o.dc.SetROP2(17), 0);
  EXPECT_EQ(o.dc.GetROP2(), R2_COPYPEN);
  o.Pen(PS_SOLID, 1, kBlue);
  o.dc.SetROP2(7);  // exclusive or with the pen colour
  o.Line(0, 0, 10, 0);
  EXPECT_EQ(o.At(3, 0), RGB(255, 0, 255));
  o.dc.SetROP2(11);  // leaves the destination alone
  o.Line(0, 1, 10, 1);
  EXPECT_EQ(o.At(3, 1), kRed);
}

}  // namespace
