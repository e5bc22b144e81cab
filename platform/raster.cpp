#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "platform/raster_qt.h"

namespace plat::raster {
namespace {

using i64 = std::int64_t;
using i128 = __int128;

// Windows' cosmetic pen patterns, in pixels: on, off, on, off ...
constexpr int kDashRuns[] = {18, 6};
constexpr int kDotRuns[] = {3, 3};
constexpr int kDashDotRuns[] = {9, 6, 3, 6};
constexpr int kDashDotDotRuns[] = {9, 3, 3, 3, 3, 3};

// Visits the pixels of a line, end pixel excluded, that fall inside
// width x height: fn(x, y, step). These are Bresenham's pixels, computed in
// closed form at the first visible step, so a line from far outside the
// target costs only as many steps as the target is wide or high.
template <class Fn>
void ForLinePixels(i64 x0, i64 y0, i64 x1, i64 y1, int width, int height, Fn&& fn) {
  const i64 dx = x1 - x0, dy = y1 - y0;
  const i64 adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  const bool xMajor = adx >= ady;
  const i64 major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
  if (major == 0 || width <= 0 || height <= 0) return;
  const i64 sMaj = (xMajor ? dx : dy) < 0 ? -1 : 1;
  const i64 sMin = (xMajor ? dy : dx) < 0 ? -1 : 1;
  const i64 m0 = xMajor ? x0 : y0, n0 = xMajor ? y0 : x0;
  const i64 limMaj = xMajor ? width : height, limMin = xMajor ? height : width;
  i64 lo = sMaj > 0 ? -m0 : m0 - (limMaj - 1);
  i64 hi = sMaj > 0 ? limMaj - 1 - m0 : m0;
  lo = std::max<i64>(lo, 0);
  hi = std::min<i64>(hi, major - 1);
  if (lo > hi) return;
  // Minor offset of step i: floor((2 i minor + major) / (2 major)).
  const i64 den = 2 * major;
  const i128 num = i128(2) * lo * minor + major;
  i64 q = i64(num / den), r = i64(num % den);
  for (i64 i = lo; i <= hi; ++i) {
    const i64 c = n0 + sMin * q;
    if (c >= 0 && c < limMin) {
      const i64 m = m0 + sMaj * i;
      if (xMajor) {
        fn(m, c, i);
      } else {
        fn(c, m, i);
      }
    } else if ((sMin > 0 && c >= limMin) || (sMin < 0 && c < 0)) {
      return;  // moving away from the target for good
    }
    r += 2 * minor;
    if (r >= den) {
      r -= den;
      ++q;
    }
  }
}

inline QRgb Apply(int rop, QRgb pen, QRgb dst) {
  if (rop == R2_COPYPEN) return pen;
  if (rop == R2_NOT) return dst ^ 0x00FFFFFFu;
  return Rop2(rop, pen, dst);
}

class Bounds {
 public:
  void Add(int y, int x0, int x1) {
    m_x0 = std::min(m_x0, x0);
    m_x1 = std::max(m_x1, x1);
    m_y0 = std::min(m_y0, y);
    m_y1 = std::max(m_y1, y + 1);
  }
  QRect Rect() const { return m_x0 < m_x1 ? QRect(m_x0, m_y0, m_x1 - m_x0, m_y1 - m_y0) : QRect(); }

 private:
  int m_x0 = std::numeric_limits<int>::max(), m_x1 = std::numeric_limits<int>::min();
  int m_y0 = std::numeric_limits<int>::max(), m_y1 = std::numeric_limits<int>::min();
};

// Row y of the box: pixels whose centres lie inside the rounded rectangle
// [l, r] x [t, b] (pixel edges), centres on the border included.
bool RowSpan(const Box& box, i64 y, i64* x0, i64* x1) {
  if (y < box.t || y >= box.b || box.l >= box.r) return false;
  double inset = 0;
  if (box.rx > 0 && box.ry > 0) {
    const double yc = double(y) + 0.5;
    const double top = double(box.t) + box.ry, bottom = double(box.b) - box.ry;
    double d = 0;
    if (yc < top) {
      d = top - yc;
    } else if (yc > bottom) {
      d = yc - bottom;
    }
    if (d > 0) {
      const double k = 1 - (d / box.ry) * (d / box.ry);
      inset = box.rx * (1 - std::sqrt(std::max(k, 0.0)));
    }
  }
  const double left = double(box.l) + inset, right = double(box.r) - inset;
  *x0 = i64(std::ceil(left - 0.5));
  *x1 = i64(std::floor(right - 0.5)) + 1;
  return *x0 < *x1;
}

// The box's border pixels on row y: the pixels of the row with a 4-neighbour
// outside the box (at most two runs).
int RingRuns(const Box& box, i64 y, i64 runs[4]) {
  i64 s0, s1, a0, a1, b0, b1;
  if (!RowSpan(box, y, &s0, &s1)) return 0;
  if (RowSpan(box, y - 1, &a0, &a1) && RowSpan(box, y + 1, &b0, &b1)) {
    const i64 in0 = std::max({s0 + 1, a0, b0}), in1 = std::min({s1 - 1, a1, b1});
    if (in0 < in1) {
      runs[0] = s0, runs[1] = in0, runs[2] = in1, runs[3] = s1;
      return 2;
    }
  }
  runs[0] = s0, runs[1] = s1;
  return 1;
}

i64 FirstRow(i64 top) { return std::max<i64>(top, 0); }
i64 EndRow(i64 bottom, int height) { return std::min<i64>(bottom, height); }

// Pixels within hw of the segment a-b (pixel coordinates): the union of the
// two end discs and the band between them, an interval on every row.
void AddCapsule(Spans& spans, double ax, double ay, double bx, double by, double hw, Role role) {
  const double top = std::ceil(std::min(ay, by) - hw), bottom = std::floor(std::max(ay, by) + hw);
  const i64 y0 = i64(std::max(top, -1.0)), y1 = i64(std::min(bottom, double(spans.Height())));
  const double dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy, len = std::sqrt(len2);
  const double inf = std::numeric_limits<double>::infinity();
  for (i64 y = std::max<i64>(y0, 0); y <= y1 && y < spans.Height(); ++y) {
    double lo = inf, hi = -inf;
    auto disc = [&](double cx, double cy) {
      const double d = double(y) - cy, k = hw * hw - d * d;
      if (k >= 0) {
        const double h = std::sqrt(k);
        lo = std::min(lo, cx - h);
        hi = std::max(hi, cx + h);
      }
    };
    disc(ax, ay);
    disc(bx, by);
    if (len2 > 0) {
      // Band: 0 <= (p - a).d <= |d|^2 and |(p - a) x d| <= hw |d|, linear in x.
      const double ry = double(y) - ay;
      double u0 = -inf, u1 = inf;
      bool ok = true;
      auto constrain = [&](double coef, double from, double to) {
        if (coef == 0) {
          ok = ok && from <= 0 && to >= 0;
          return;
        }
        double a = from / coef, b = to / coef;
        if (a > b) std::swap(a, b);
        u0 = std::max(u0, a);
        u1 = std::min(u1, b);
      };
      constrain(dx, -ry * dy, len2 - ry * dy);
      constrain(-dy, -hw * len - dx * ry, hw * len - dx * ry);
      if (ok && u0 <= u1) {
        lo = std::min(lo, ax + u0);
        hi = std::max(hi, ax + u1);
      }
    }
    if (lo <= hi) spans.Add(y, i64(std::ceil(lo)), i64(std::floor(hi)) + 1, role);
  }
}

}  // namespace

void Spans::Add(std::int64_t y, std::int64_t x0, std::int64_t x1, Role role) {
  if (y < 0 || y >= m_height) return;
  x0 = std::max<i64>(x0, 0);
  x1 = std::min<i64>(x1, m_width);
  if (x0 >= x1) return;
  m_list.push_back({int(y), int(x0), int(x1), role});
}

void Spans::AddPixel(std::int64_t x, std::int64_t y, Role role) {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
  if (!m_list.empty()) {
    Span& s = m_list.back();
    if (s.y == y && s.role == role) {
      if (x == s.x1) {
        ++s.x1;
        return;
      }
      if (x == s.x0 - 1) {
        --s.x0;
        return;
      }
    }
  }
  m_list.push_back({int(y), int(x), int(x) + 1, role});
}

void Spans::Resolve() {
  if (m_list.size() < 2) return;
  std::sort(m_list.begin(), m_list.end(), [](const Span& a, const Span& b) {
    if (a.y != b.y) return a.y < b.y;
    if (a.role != b.role) return a.role > b.role;
    return a.x0 < b.x0;
  });
  using Run = std::pair<int, int>;
  std::vector<Span> out;
  out.reserve(m_list.size());
  std::vector<Run> covered, merged, next;
  const std::size_t n = m_list.size();
  std::size_t i = 0;
  while (i < n) {
    const int y = m_list[i].y;
    covered.clear();
    while (i < n && m_list[i].y == y) {
      const Role role = m_list[i].role;
      merged.clear();
      for (; i < n && m_list[i].y == y && m_list[i].role == role; ++i) {
        const Span& s = m_list[i];
        if (!merged.empty() && s.x0 <= merged.back().second) {
          merged.back().second = std::max(merged.back().second, s.x1);
        } else {
          merged.push_back({s.x0, s.x1});
        }
      }
      // What this role adds: its runs minus what higher roles hold.
      std::size_t c = 0;
      for (const Run& m : merged) {
        int x = m.first;
        while (c < covered.size() && covered[c].second <= x) ++c;
        for (std::size_t k = c; x < m.second;) {
          if (k < covered.size() && covered[k].first < m.second) {
            if (covered[k].first > x) out.push_back({y, x, covered[k].first, role});
            x = std::max(x, covered[k].second);
            ++k;
          } else {
            out.push_back({y, x, m.second, role});
            x = m.second;
          }
        }
      }
      next.clear();
      std::merge(covered.begin(), covered.end(), merged.begin(), merged.end(),
                 std::back_inserter(next));
      covered.clear();
      for (const Run& r : next) {
        if (!covered.empty() && r.first <= covered.back().second) {
          covered.back().second = std::max(covered.back().second, r.second);
        } else {
          covered.push_back(r);
        }
      }
    }
  }
  m_list.swap(out);
}

bool Dash::On(std::int64_t step) const {
  if (runs == nullptr) return true;
  i64 pos = step % period;
  if (pos < 0) pos += period;
  for (int k = 0; k < count; ++k) {
    if (pos < runs[k]) return k % 2 == 0;
    pos -= runs[k];
  }
  return true;
}

Dash DashForStyle(int penStyle) {
  switch (penStyle) {
    case PS_DASH:
      return {kDashRuns, 2, 24};
    case PS_DOT:
      return {kDotRuns, 2, 6};
    case PS_DASHDOT:
      return {kDashDotRuns, 4, 24};
    case PS_DASHDOTDOT:
      return {kDashDotDotRuns, 6, 24};
    default:
      return {};
  }
}

QRgb Rop2(int rop, QRgb p, QRgb d) {
  // rop - 1 is the truth table: bit (2 * pen + dst) gives the result bit.
  const unsigned t = unsigned(rop - 1) & 15u;
  QRgb out = 0;
  if (t & 1u) out |= ~p & ~d;
  if (t & 2u) out |= ~p & d;
  if (t & 4u) out |= p & ~d;
  if (t & 8u) out |= p & d;
  return 0xFF000000u | (out & 0x00FFFFFFu);
}

QRect Paint(QImage& image, const std::vector<Span>& spans, const Colours& colours, int rop) {
  if (spans.empty()) return {};
  uchar* bits = image.bits();
  const qsizetype bpl = image.bytesPerLine();
  Bounds bounds;
  for (const Span& s : spans) {
    QRgb* row = reinterpret_cast<QRgb*>(bits + s.y * bpl);
    const QRgb c = colours.c[s.role];
    if (rop == R2_COPYPEN) {
      std::fill(row + s.x0, row + s.x1, c);
    } else {
      for (int x = s.x0; x < s.x1; ++x) row[x] = Apply(rop, c, row[x]);
    }
    bounds.Add(s.y, s.x0, s.x1);
  }
  return bounds.Rect();
}

QRect FillRect(QImage& image, std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b,
               QRgb colour, int rop) {
  l = std::max<i64>(l, 0);
  t = std::max<i64>(t, 0);
  r = std::min<i64>(r, image.width());
  b = std::min<i64>(b, image.height());
  if (l >= r || t >= b) return {};
  uchar* bits = image.bits();
  const qsizetype bpl = image.bytesPerLine();
  for (i64 y = t; y < b; ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(bits + y * bpl);
    if (rop == R2_COPYPEN) {
      std::fill(row + l, row + r, colour);
    } else {
      for (i64 x = l; x < r; ++x) row[x] = Apply(rop, colour, row[x]);
    }
  }
  return QRect(int(l), int(t), int(r - l), int(b - t));
}

QRect ThinLine(QImage& image, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
               const Dash& dash, bool opaque, const Colours& colours, int rop) {
  uchar* bits = image.bits();
  const qsizetype bpl = image.bytesPerLine();
  Bounds bounds;
  ForLinePixels(x0, y0, x1, y1, image.width(), image.height(), [&](i64 x, i64 y, i64 step) {
    Role role = kPen;
    if (!dash.On(step)) {
      if (!opaque) return;
      role = kBackground;
    }
    QRgb& px = reinterpret_cast<QRgb*>(bits + y * bpl)[x];
    px = Apply(rop, colours.c[role], px);
    bounds.Add(int(y), int(x), int(x) + 1);
  });
  return bounds.Rect();
}

std::int64_t AddThinLine(Spans& spans, std::int64_t x0, std::int64_t y0, std::int64_t x1,
                         std::int64_t y1, const Dash& dash, bool opaque, std::int64_t firstStep) {
  ForLinePixels(x0, y0, x1, y1, spans.Width(), spans.Height(), [&](i64 x, i64 y, i64 step) {
    if (dash.On(firstStep + step)) {
      spans.AddPixel(x, y, kPen);
    } else if (opaque) {
      spans.AddPixel(x, y, kBackground);
    }
  });
  return std::max(x1 > x0 ? x1 - x0 : x0 - x1, y1 > y0 ? y1 - y0 : y0 - y1);
}

void AddWideLine(Spans& spans, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                 std::int64_t width, Role role) {
  if (x0 == x1 && y0 == y1) return;  // zero-length lines draw nothing at any width
  // Odd widths centre on the pixels of the line, even ones on their corners,
  // so that the stroke is exactly width pixels across.
  const double off = width % 2 == 0 ? -0.5 : 0.0;
  AddCapsule(spans, double(x0) + off, double(y0) + off, double(x1) + off, double(y1) + off,
             double(width) / 2, role);
}

void AddFilledBox(Spans& spans, const Box& box, Role role) {
  for (i64 y = FirstRow(box.t), end = EndRow(box.b, spans.Height()); y < end; ++y) {
    i64 x0, x1;
    if (RowSpan(box, y, &x0, &x1)) spans.Add(y, x0, x1, role);
  }
}

void AddBoxOutline(Spans& spans, const Box& box, std::int64_t width, const Dash& dash,
                   bool opaque) {
  if (box.l >= box.r || box.t >= box.b) return;
  const i64 first = FirstRow(box.t), end = EndRow(box.b, spans.Height());
  if (width <= 1) {
    i64 runs[4];
    if (dash.IsSolid()) {
      for (i64 y = first; y < end; ++y) {
        const int n = RingRuns(box, y, runs);
        for (int k = 0; k < n; ++k) spans.Add(y, runs[2 * k], runs[2 * k + 1], kPen);
      }
      return;
    }
    // Styled: the pattern runs around the border, in the order of the angle
    // of each pixel seen from the centre.
    struct Px {
      double angle;
      int x, y;
    };
    std::vector<Px> ring;
    const i64 limit = 8 * (i64(spans.Width()) + spans.Height());
    const double cx = (double(box.l) + double(box.r)) / 2, cy = (double(box.t) + double(box.b)) / 2;
    const double hx = std::max((double(box.r) - double(box.l)) / 2, 0.5);
    const double hy = std::max((double(box.b) - double(box.t)) / 2, 0.5);
    bool tooMany = false;
    for (i64 y = first; y < end && !tooMany; ++y) {
      const int n = RingRuns(box, y, runs);
      for (int k = 0; k < n; ++k) {
        const i64 x0 = std::max<i64>(runs[2 * k], 0),
                  x1 = std::min<i64>(runs[2 * k + 1], spans.Width());
        for (i64 x = x0; x < x1; ++x) {
          ring.push_back({std::atan2((double(y) + 0.5 - cy) / hy, (double(x) + 0.5 - cx) / hx),
                          int(x), int(y)});
        }
      }
      tooMany = i64(ring.size()) > limit;
    }
    if (tooMany) {
      // Only a huge shape seen from inside has this much border in view:
      // drawn solid rather than sorting millions of pixels.
      AddBoxOutline(spans, box, 1, Dash{}, opaque);
      return;
    }
    std::sort(ring.begin(), ring.end(), [](const Px& a, const Px& b) { return a.angle < b.angle; });
    for (std::size_t i = 0; i < ring.size(); ++i) {
      if (dash.On(i64(i))) {
        spans.AddPixel(ring[i].x, ring[i].y, kPen);
      } else if (opaque) {
        spans.AddPixel(ring[i].x, ring[i].y, kBackground);
      }
    }
    return;
  }
  // Wide: the band between the box grown by half the width (round joins)
  // and the box shrunk by the rest.
  const bool rounded = box.rx > 0 && box.ry > 0;
  const i64 a = width / 2, d = width - a;
  const Box outer{box.l - a,
                  box.t - a,
                  box.r + a,
                  box.b + a,
                  rounded ? box.rx + double(a) : double(a),
                  rounded ? box.ry + double(a) : double(a)};
  Box inner{box.l + d, box.t + d, box.r - d, box.b - d, 0, 0};
  if (rounded && box.rx > double(d) && box.ry > double(d)) {
    inner.rx = box.rx - double(d);
    inner.ry = box.ry - double(d);
  }
  for (i64 y = FirstRow(outer.t), stop = EndRow(outer.b, spans.Height()); y < stop; ++y) {
    i64 o0, o1, i0, i1;
    if (!RowSpan(outer, y, &o0, &o1)) continue;
    if (RowSpan(inner, y, &i0, &i1)) {
      spans.Add(y, o0, i0, kPen);
      spans.Add(y, i1, o1, kPen);
    } else {
      spans.Add(y, o0, o1, kPen);
    }
  }
}

void AddPolygon(Spans& spans, const POINT* pts, int n, Role role) {
  struct Edge {
    i64 top, bottom;  // rows [top, bottom) whose centres it crosses
    double x0, y0, slope;
  };
  std::vector<Edge> edges;
  edges.reserve(std::size_t(n));
  for (int i = 0; i < n; ++i) {
    const POINT& a = pts[i];
    const POINT& b = pts[(i + 1) % n];
    if (a.y == b.y) continue;
    const POINT& hi = a.y < b.y ? a : b;
    const POINT& lo = a.y < b.y ? b : a;
    edges.push_back({hi.y, lo.y, double(hi.x), double(hi.y),
                     (double(lo.x) - double(hi.x)) / (double(lo.y) - double(hi.y))});
  }
  if (edges.empty()) return;
  std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.top < b.top; });
  i64 last = 0;
  for (const Edge& e : edges) last = std::max(last, e.bottom);
  std::vector<const Edge*> active;
  std::vector<double> xs;
  std::size_t next = 0;
  for (i64 y = FirstRow(edges.front().top), end = EndRow(last, spans.Height()); y < end; ++y) {
    while (next < edges.size() && edges[next].top <= y) active.push_back(&edges[next++]);
    active.erase(
        std::remove_if(active.begin(), active.end(), [y](const Edge* e) { return e->bottom <= y; }),
        active.end());
    xs.clear();
    const double yc = double(y) + 0.5;
    for (const Edge* e : active) xs.push_back(e->x0 + (yc - e->y0) * e->slope);
    std::sort(xs.begin(), xs.end());
    for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
      spans.Add(y, i64(std::ceil(xs[k] - 0.5)), i64(std::ceil(xs[k + 1] - 0.5)), role);
    }
  }
}

}  // namespace plat::raster
