#include "records/draw_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr std::int64_t kLongMin = std::numeric_limits<LONG>::min();
constexpr std::int64_t kLongMax = std::numeric_limits<LONG>::max();

// Double to integer conversion outside the target range is undefined, so
// every conversion goes through here; NaN becomes 0.
std::int64_t TruncateToInt64(double v) {
  constexpr double kBound = 4.0e18;
  if (!(v == v)) return 0;
  return static_cast<std::int64_t>(std::clamp(v, -kBound, kBound));
}

bool Inside(std::int64_t v) { return v >= -kCoordLimit && v <= kCoordLimit; }

LONG RoundCoord(double v) { return ClampCoord(TruncateToInt64(std::nearbyint(v))); }

}  // namespace

LONG ClampCoord(std::int64_t v) {
  return static_cast<LONG>(std::clamp<std::int64_t>(v, -kCoordLimit, kCoordLimit));
}

int ClampPenWidth(std::int64_t width) {
  return static_cast<int>(std::clamp<std::int64_t>(width, 0, kMaxPenWidth));
}

int SanitizePenStyle(std::int64_t style) {
  return style >= PS_SOLID && style <= PS_NULL ? static_cast<int>(style) : PS_SOLID;
}

bool ClipSegment(std::int64_t& x0, std::int64_t& y0, std::int64_t& x1, std::int64_t& y1) {
  if (Inside(x0) && Inside(y0) && Inside(x1) && Inside(y1)) return true;
  // Liang-Barsky in double: the clipped ends lie off any screen, so their
  // rounding changes no visible pixel.
  const double fx0 = double(x0), fy0 = double(y0);
  const double dx = double(x1) - fx0, dy = double(y1) - fy0;
  const double lim = double(kCoordLimit);
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {fx0 + lim, lim - fx0, fy0 + lim, lim - fy0};
  double t0 = 0.0, t1 = 1.0;
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0.0) {
      if (q[i] < 0.0) return false;
      continue;
    }
    const double r = q[i] / p[i];
    if (p[i] < 0.0) {
      if (r > t1) return false;
      t0 = std::max(t0, r);
    } else {
      if (r < t0) return false;
      t1 = std::min(t1, r);
    }
  }
  x0 = RoundCoord(fx0 + t0 * dx);
  y0 = RoundCoord(fy0 + t0 * dy);
  x1 = RoundCoord(fx0 + t1 * dx);
  y1 = RoundCoord(fy0 + t1 * dy);
  return true;
}

std::vector<POINT> ClipPolygon(const std::vector<Point64>& pts) {
  std::vector<POINT> out;
  if (std::all_of(pts.begin(), pts.end(),
                  [](const Point64& p) { return Inside(p.x) && Inside(p.y); })) {
    for (const Point64& p : pts) out.push_back(POINT{LONG(p.x), LONG(p.y)});
    return out;
  }
  // Sutherland-Hodgman against the four sides of the square.
  struct P {
    double x, y;
  };
  std::vector<P> poly;
  for (const Point64& p : pts) poly.push_back({double(p.x), double(p.y)});
  const double lim = double(kCoordLimit);
  for (int side = 0; side < 4 && !poly.empty(); ++side) {
    auto dist = [&](const P& p) {  // >= 0 inside this side
      switch (side) {
        case 0:
          return p.x + lim;
        case 1:
          return lim - p.x;
        case 2:
          return p.y + lim;
        default:
          return lim - p.y;
      }
    };
    std::vector<P> next;
    for (std::size_t i = 0; i < poly.size(); ++i) {
      const P& a = poly[i];
      const P& b = poly[(i + 1) % poly.size()];
      const double da = dist(a), db = dist(b);
      if (da >= 0) next.push_back(a);
      if ((da >= 0) != (db >= 0)) {
        const double t = da / (da - db);
        next.push_back({a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)});
      }
    }
    poly.swap(next);
  }
  for (const P& p : poly) out.push_back(POINT{RoundCoord(p.x), RoundCoord(p.y)});
  return out;
}

ArrowGeometry ComputeArrowHead(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                               int width, int k) {
  ArrowGeometry g;
  const std::int64_t dx = x1 - x0, dy = y1 - y0;
  // The squares are exact below 2^53, so screen coordinates give the very
  // length of a 32-bit sum of squares; far-off points cannot overflow.
  const double len = std::sqrt(double(dx) * double(dx) + double(dy) * double(dy));
  const double theta = std::clamp(width, -kMaxArrowHeadWidth, kMaxArrowHeadWidth) * 0.0785;
  const double r = k * len * 0.01 / std::cos(theta);
  if (r == 0.0) return g;
  g.drawn = true;
  const double alpha = std::acos(std::min(1.0, double(std::llabs(dx)) / len));
  const double sx = x1 >= x0 ? 1.0 : -1.0, sy = y1 >= y0 ? 1.0 : -1.0;
  const double tipX = double(x1), tipY = double(y1);
  g.corner1 = {TruncateToInt64(tipX - sx * r * std::cos(alpha + theta)),
               TruncateToInt64(tipY - sy * r * std::sin(alpha + theta))};
  g.corner2 = {TruncateToInt64(tipX - sx * r * std::cos(alpha - theta)),
               TruncateToInt64(tipY - sy * r * std::sin(alpha - theta))};
  // |dx| < 2^33 and |k| <= 2^31, so the products fit in 64 bits.
  g.shaftEnd = {x1 - dx * k / 100, y1 - dy * k / 100};
  return g;
}

std::int64_t LayoutCell(LONG size, LONG fallback) {
  if (size > 0) return size;
  if (size < 0) return -std::int64_t(size);
  return fallback;
}

std::vector<TextLine> LayoutTextLines(const std::string& text, std::int64_t f1, std::int64_t f2,
                                      std::int64_t f3, std::int64_t f4, LONG lfWidth, LONG lfHeight,
                                      std::int64_t minY, std::int64_t maxY) {
  std::vector<TextLine> lines;
  const std::int64_t cw = LayoutCell(lfWidth, kDefaultCharWidth);
  const std::int64_t ch = LayoutCell(lfHeight, kDefaultCharHeight);
  // Subtracting the cell from the far side while the box is still open
  // counts ceil(extent / cell) steps; one fewer fit. The box's own -2 offset
  // cancels out of the extent.
  auto fits = [](std::int64_t extent, std::int64_t cell) -> std::int64_t {
    return extent > 0 ? (extent + cell - 1) / cell - 1 : 0;
  };
  const std::int64_t perLine = fits(f3 - f1, cw);
  const std::int64_t lineCount = fits(f4 - f2, ch);
  // A text starting beyond the coordinate range is off every screen.
  if (perLine <= 0 || !Inside(f1)) return lines;

  std::size_t pos = 0;
  const std::size_t size = text.size();
  auto breakLength = [&](std::size_t at) -> std::size_t {
    if (at >= size) return 0;
    if (text[at] == '\r') return at + 1 < size && text[at + 1] == '\n' ? 2 : 1;
    return text[at] == '\n' ? 1 : 0;
  };
  // Each line consumes at least one byte, so the loop ends with the text.
  for (std::int64_t k = 0; k < lineCount && pos < size; ++k) {
    const std::size_t room = std::size_t(std::min<std::int64_t>(perLine, std::int64_t(size - pos)));
    // The first line break within the room; memchr keeps a line of many
    // megabytes (from a crafted file) cheap to pass over.
    std::size_t len = room;
    for (const char brk : {'\n', '\r'}) {
      if (const void* at = std::memchr(text.data() + pos, brk, len))
        len = std::size_t(static_cast<const char*>(at) - (text.data() + pos));
    }
    const std::int64_t y = f2 - 1 + k * ch;
    if (y > std::min(kCoordLimit, maxY)) break;  // this line and the rest are out of sight
    if (len > 0 && y >= std::max(-kCoordLimit, minY)) lines.push_back({pos, len, LONG(y)});
    pos += len;
    // A break ends this line, also when the line is exactly full before it,
    // so a full line does not leave an empty one behind.
    pos += breakLength(pos);
  }
  return lines;
}
