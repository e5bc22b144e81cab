// Pictures of the screen and the known test picture. Kept apart from the
// Xlib code: Xlib's macros (Status, CursorShape) break Qt's headers.
#include <QImage>
#include <algorithm>
#include <tuple>
#include <vector>

#include "res/res.h"
#include "tests/e2e/harness.h"

namespace e2e {

Picture Crop(const Picture& p, const Rect& r) {
  const int x0 = std::max(0, r.x), y0 = std::max(0, r.y);
  const int x1 = std::min(p.width, r.right()), y1 = std::min(p.height, r.bottom());
  if (x1 <= x0 || y1 <= y0) return {};
  return MakePicture(x1 - x0, y1 - y0, [&](int x, int y) { return p.At(x0 + x, y0 + y); });
}

Picture Masked(Picture p, const std::vector<Rect>& excluded) {
  for (const Rect& e : excluded)
    for (int y = std::max(0, e.y); y < std::min(p.height, e.bottom()); ++y)
      for (int x = std::max(0, e.x); x < std::min(p.width, e.right()); ++x)
        p.pixels[std::size_t(y) * p.width + x] = 0;
  return p;
}

bool SaveImage(const Picture& p, const std::string& path) {
  QImage img(p.width, p.height, QImage::Format_RGB32);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const COLORREF c = p.At(x, y);
      img.setPixel(x, y, qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
    }
  return img.save(QString::fromStdString(path));
}

Picture LoadImage(const std::string& path) {
  const QImage img(QString::fromStdString(path));
  return MakePicture(img.width(), img.height(), [&](int x, int y) {
    const QRgb c = img.pixel(x, y);
    return RGB(qRed(c), qGreen(c), qBlue(c));
  });
}

COLORREF PatternPixel(int variant, int x, int y, int width, int height) {
  static const COLORREF kBands[8] = {
      RGB(0xE0, 0x30, 0x30), RGB(0x30, 0xC0, 0x40), RGB(0x30, 0x40, 0xE0), RGB(0xE0, 0xE0, 0x40),
      RGB(0x40, 0xE0, 0xE0), RGB(0xD0, 0x40, 0xD0), RGB(0xF0, 0xF0, 0xF0), RGB(0x20, 0x20, 0x20)};
  const COLORREF base = kBands[(x * 8 / width + variant * 3) % 8];
  const int r = GetRValue(base) * 3 / 4 + y * 63 / height + (x % 7) * 2;
  const int g = GetGValue(base) * 3 / 4 + x * 63 / width + (y % 5) * 2;
  const int b = GetBValue(base) * 3 / 4 + ((x + y) % 11) * 3;
  // Variant 1 is the complement, so it differs from variant 0 everywhere.
  return variant % 2 == 1 ? RGB(~r, ~g, ~b) : RGB(r, g, b);
}

Picture MakePattern(int variant, int width, int height) {
  return MakePicture(width, height,
                     [&](int x, int y) { return PatternPixel(variant, x, y, width, height); });
}

std::map<int, std::pair<int, int>> FindToolBarImages(const Picture& bar, int count, int times) {
  std::map<int, std::pair<int, int>> found;
  for (int i = 0; i < count; ++i) {
    QImage img = QImage(res::ToolBarImageXpm(i)).convertToFormat(QImage::Format_ARGB32);
    img = img.scaled(img.size() * times, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    std::vector<std::tuple<int, int, COLORREF>> opaque;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) {
        const QRgb c = img.pixel(x, y);
        if (qAlpha(c) == 255) opaque.emplace_back(x, y, RGB(qRed(c), qGreen(c), qBlue(c)));
      }
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

}  // namespace e2e
