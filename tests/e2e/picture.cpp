// Pictures of the screen and the known test picture. Kept apart from the
// Xlib code: Xlib's macros (Status, CursorShape) break Qt's headers.
#include <QImage>
#include <algorithm>
#include <tuple>
#include <vector>

#include "res/res.h"
#include "tests/e2e/harness.h"

namespace e2e {

Picture Picture::Crop(const Rect& r) const {
  Picture out;
  const int x0 = std::max(0, r.x), y0 = std::max(0, r.y);
  const int x1 = std::min(width, r.right()), y1 = std::min(height, r.bottom());
  if (x1 <= x0 || y1 <= y0) return out;
  out.width = x1 - x0;
  out.height = y1 - y0;
  out.px.reserve(static_cast<size_t>(out.width) * out.height);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) out.px.push_back(At(x, y));
  return out;
}

bool Picture::SavePng(const std::string& path) const {
  QImage img(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) img.setPixel(x, y, 0xFF000000u | At(x, y));
  return img.save(QString::fromStdString(path), "PNG");
}

uint32_t PatternPixel(int variant, int x, int y, int width, int height) {
  static const uint32_t kBands[8] = {0xE03030, 0x30C040, 0x3040E0, 0xE0E040,
                                     0x40E0E0, 0xD040D0, 0xF0F0F0, 0x202020};
  const uint32_t base = kBands[(x * 8 / width + variant * 3) % 8];
  const int r = static_cast<int>((base >> 16) & 0xFF) * 3 / 4 + y * 63 / height + (x % 7) * 2;
  const int g = static_cast<int>((base >> 8) & 0xFF) * 3 / 4 + x * 63 / width + (y % 5) * 2;
  const int b = static_cast<int>(base & 0xFF) * 3 / 4 + ((x + y) % 11) * 3;
  uint32_t rgb = static_cast<uint32_t>(r << 16 | g << 8 | b);
  // Variant 1 is the complement, so it differs from variant 0 everywhere.
  if (variant % 2 == 1) rgb ^= 0xFFFFFF;
  return rgb;
}

std::map<int, std::pair<int, int>> FindToolBarImages(const Picture& bar, int count) {
  std::map<int, std::pair<int, int>> found;
  for (int i = 0; i < count; ++i) {
    const QImage img = QImage(res::ToolBarImageXpm(i)).convertToFormat(QImage::Format_ARGB32);
    std::vector<std::tuple<int, int, uint32_t>> opaque;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        if (qAlpha(img.pixel(x, y)) == 255) opaque.emplace_back(x, y, img.pixel(x, y) & 0xFFFFFF);
    for (int oy = 0; oy + img.height() <= bar.height && !found.count(i); ++oy) {
      for (int ox = 0; ox + img.width() <= bar.width; ++ox) {
        const bool match = std::all_of(opaque.begin(), opaque.end(), [&](const auto& p) {
          return bar.At(ox + std::get<0>(p), oy + std::get<1>(p)) == std::get<2>(p);
        });
        if (match) {
          found[i] = {ox, oy};
          break;
        }
      }
    }
  }
  return found;
}

Picture MakePattern(int variant, int width, int height) {
  Picture p;
  p.width = width;
  p.height = height;
  p.px.resize(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      p.px[static_cast<size_t>(y) * width + x] = PatternPixel(variant, x, y, width, height);
  return p;
}

long CountDifferences(const Picture& a, const Picture& b, const Rect& r,
                      const std::vector<Rect>& excluded) {
  if (a.width != b.width || a.height != b.height) return -1;
  long n = 0;
  const int x0 = std::max(0, r.x), y0 = std::max(0, r.y);
  const int x1 = std::min(a.width, r.right()), y1 = std::min(a.height, r.bottom());
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      if (a.At(x, y) == b.At(x, y)) continue;
      if (std::any_of(excluded.begin(), excluded.end(),
                      [&](const Rect& e) { return e.Contains(x, y); }))
        continue;
      ++n;
    }
  }
  return n;
}

}  // namespace e2e
