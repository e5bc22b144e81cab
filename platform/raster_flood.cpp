// Flood fills: the 4-connected area of one colour around a pixel (or of
// anything but a border colour), as spans or painted in place.
#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/raster_qt.h"

namespace plat::raster {

bool FloodSpans(const QImage& image, int x, int y, QRgb colour, bool surface, Spans* out) {
  const int w = image.width(), h = image.height();
  if (x < 0 || y < 0 || x >= w || y >= h) return false;
  const QRgb want = colour & 0x00FFFFFFu;
  auto row = [&](int yy) { return reinterpret_cast<const QRgb*>(image.constScanLine(yy)); };
  auto fits = [&](QRgb p) { return ((p & 0x00FFFFFFu) == want) == surface; };
  if (!fits(row(y)[x])) return false;
  // Nothing is painted while filling, so a seen-bit per pixel keeps every
  // pixel to one visit whatever the fill colour is.
  std::vector<std::uint64_t> seen((std::size_t(w) * std::size_t(h) + 63) / 64);
  auto index = [w](int xx, int yy) { return std::size_t(yy) * std::size_t(w) + std::size_t(xx); };
  auto isSeen = [&](int xx, int yy) {
    const std::size_t k = index(xx, yy);
    return ((seen[k >> 6] >> (k & 63)) & 1u) != 0;
  };
  std::vector<std::pair<int, int>> stack{{x, y}};
  while (!stack.empty()) {
    const auto [sx, sy] = stack.back();
    stack.pop_back();
    if (isSeen(sx, sy)) continue;
    const QRgb* r = row(sy);
    int xl = sx, xr = sx;
    while (xl > 0 && !isSeen(xl - 1, sy) && fits(r[xl - 1])) --xl;
    while (xr + 1 < w && !isSeen(xr + 1, sy) && fits(r[xr + 1])) ++xr;
    for (int cx = xl; cx <= xr; ++cx) {
      const std::size_t k = index(cx, sy);
      seen[k >> 6] |= std::uint64_t(1) << (k & 63);
    }
    out->Add(sy, xl, xr + 1, kBrush);
    for (const int ny : {sy - 1, sy + 1}) {
      if (ny < 0 || ny >= h) continue;
      const QRgb* nr = row(ny);
      bool inRun = false;
      for (int cx = xl; cx <= xr; ++cx) {
        const bool ok = !isSeen(cx, ny) && fits(nr[cx]);
        if (ok && !inRun) stack.push_back({cx, ny});
        inRun = ok;
      }
    }
  }
  return true;
}

namespace {

// The surface fill with a brush: a painted pixel no longer has the colour,
// so painting marks it visited.
bool FloodPaint(QImage& image, int x, int y, QRgb colour, QRgb paint, QRect* touched) {
  const int w = image.width(), h = image.height();
  if (x < 0 || y < 0 || x >= w || y >= h) return false;
  const QRgb want = colour & 0x00FFFFFFu;
  uchar* bits = image.bits();
  const qsizetype bpl = image.bytesPerLine();
  auto row = [&](int yy) { return reinterpret_cast<QRgb*>(bits + yy * bpl); };
  if ((row(y)[x] & 0x00FFFFFFu) != want) return false;
  if ((paint & 0x00FFFFFFu) == want) return true;  // the area already has the colour
  auto fits = [want](QRgb p) { return (p & 0x00FFFFFFu) == want; };
  int left = x, right = x, top = y, bottom = y;
  // Each entry is a run [x0, x1] of row y - dy painted already; row y is
  // explored beneath it, and what leaks past its ends turns back.
  struct Run {
    int y, x0, x1, dy;
  };
  std::vector<Run> stack;
  auto push = [&](int yy, int x0, int x1, int dy) {
    if (yy + dy >= 0 && yy + dy < h) stack.push_back({yy, x0, x1, dy});
  };
  push(y, x, x, 1);
  push(y + 1, x, x, -1);
  while (!stack.empty()) {
    const Run r = stack.back();
    stack.pop_back();
    const int yy = r.y + r.dy;
    QRgb* px = row(yy);
    int cx = r.x0;
    while (cx >= 0 && fits(px[cx])) px[cx--] = paint;
    // Open at the run's left end: the painted part goes on to the right of
    // it; else row yy opens further right, if at all.
    bool open = cx < r.x0;
    int start = cx + 1;
    if (open) {
      if (start < r.x0) push(yy, start, r.x0 - 1, -r.dy);
      cx = r.x0 + 1;
    } else {
      for (++cx; cx <= r.x1 && !fits(px[cx]); ++cx) {
      }
      start = cx;
    }
    while (open || cx <= r.x1) {
      open = false;
      for (; cx < w && fits(px[cx]); ++cx) px[cx] = paint;
      push(yy, start, cx - 1, r.dy);
      if (cx - 1 > r.x1) push(yy, r.x1 + 1, cx - 1, -r.dy);
      left = std::min(left, start), right = std::max(right, cx - 1);
      top = std::min(top, yy), bottom = std::max(bottom, yy);
      for (++cx; cx <= r.x1 && !fits(px[cx]); ++cx) {
      }
      start = cx;
    }
  }
  *touched = QRect(left, top, right - left + 1, bottom - top + 1);
  return true;
}

}  // namespace

bool FloodFill(QImage& image, int x, int y, QRgb colour, bool surface, const QRgb* brush,
               QRect* touched) {
  if (surface && brush) return FloodPaint(image, x, y, colour, *brush, touched);
  Spans spans(image.width(), image.height());
  if (!FloodSpans(image, x, y, colour, surface, &spans)) return false;
  if (brush) *touched = Paint(image, spans.List(), {{*brush, *brush, *brush}}, R2_COPYPEN);
  return true;
}

}  // namespace plat::raster
