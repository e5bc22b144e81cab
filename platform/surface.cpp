#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/surface_qt.h"

namespace plat {
namespace {
// A gigabyte of pixels: anything larger is a corrupt size, not a screen.
constexpr qint64 kMaxPixels = qint64(1) << 28;
}  // namespace

Surface::Surface(int width, int height, QRgb fill) { Resize(width, height, fill); }

Surface::~Surface() { EndPaint(); }

bool Surface::Resize(int width, int height, QRgb fill) {
  if (width < 0 || height < 0 || qint64(width) * height > kMaxPixels) return false;
  if (width == Width() && height == Height()) return true;
  EndPaint();
  if (width == 0 || height == 0) {
    m_image = QImage();
    return true;
  }
  QImage next(width, height, QImage::Format_RGB32);
  if (next.isNull()) return false;
  next.fill(fill | 0xFF000000u);
  const int rows = std::min(height, Height()), cols = std::min(width, Width());
  for (int y = 0; y < rows; ++y) {
    std::memcpy(next.scanLine(y), m_image.constScanLine(y), std::size_t(cols) * sizeof(QRgb));
  }
  m_image = std::move(next);
  return true;
}

void Surface::SetImage(const QImage& image) {
  EndPaint();
  m_image =
      image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
}

QImage& Surface::Image() {
  EndPaint();
  return m_image;
}

QImage& Surface::Pixels() {
  // Someone holds a copy: writing would detach the image from under the
  // painter, so end it first.
  if (m_painter.isActive() && !m_image.isDetached()) EndPaint();
  return m_image;
}

QPainter& Surface::Painter() {
  if (!m_painter.isActive() && !m_image.isNull()) {
    m_painter.begin(&m_image);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, false);
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    m_stampValid = false;
  }
  return m_painter;
}

bool Surface::Claim(std::uint64_t stamp) {
  if (m_stampValid && m_stamp == stamp) return false;
  m_stamp = stamp;
  m_stampValid = true;
  return true;
}

void Surface::EndPaint() {
  if (m_painter.isActive()) m_painter.end();
  m_stampValid = false;
}

void Surface::SetDamageListener(std::function<void(const QRect&)> listener) {
  m_listener = std::move(listener);
}

void Surface::Damage(const QRect& rect) {
  if (!m_listener) return;
  const QRect clipped = rect & m_image.rect();
  if (!clipped.isEmpty()) m_listener(clipped);
}

}  // namespace plat
