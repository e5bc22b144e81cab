#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/surface_qt.h"

namespace plat {
namespace {
// A gigabyte of pixels: anything larger is a corrupt size, not a screen.
constexpr qint64 kMaxPixels = qint64(1) << 28;
// Below this an image comes from the ordinary heap.
constexpr std::size_t kMappedBytes = std::size_t(2) << 20;
constexpr std::size_t kHugePage = std::size_t(2) << 20;

struct Mapping {
  void* base;
  std::size_t length;
};

void Unmap(void* info) {
  auto* m = static_cast<Mapping*>(info);
  munmap(m->base, m->length);
  delete m;
}

void FillPixels(uchar* bits, qsizetype bytes, QRgb value) {
  auto* p = reinterpret_cast<QRgb*>(bits);
  std::fill(p, p + bytes / qsizetype(sizeof(QRgb)), value);
}

}  // namespace

QImage NewImage(int width, int height) {
  if (width <= 0 || height <= 0 || qint64(width) * height > kMaxPixels) return QImage();
  const std::size_t bytes = std::size_t(width) * std::size_t(height) * sizeof(QRgb);
  if (bytes < kMappedBytes) return QImage(width, height, QImage::Format_RGB32);
  // Faulting in a screen image 4 KB at a time is slow on virtual machines;
  // a huge-page-aligned mapping lets the kernel use 2 MB pages.
  const std::size_t length = bytes + kHugePage;
  void* base = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (base == MAP_FAILED) return QImage();
  auto* aligned = reinterpret_cast<uchar*>(
      (reinterpret_cast<std::uintptr_t>(base) + kHugePage - 1) & ~(kHugePage - 1));
  madvise(aligned, bytes, MADV_HUGEPAGE);
  auto* mapping = new Mapping{base, length};
  QImage image(aligned, width, height, qsizetype(width) * sizeof(QRgb), QImage::Format_RGB32, Unmap,
               mapping);
  if (image.isNull()) Unmap(mapping);
  return image;
}

Surface::Surface(int width, int height, QRgb fill) { Resize(width, height, fill); }

Surface::~Surface() { EndPaint(); }

void Surface::Materialize() {
  if (!m_image.isNull() || m_width == 0 || m_height == 0) return;
  m_image = NewImage(m_width, m_height);
  if (m_image.isNull()) {  // out of memory: an empty surface draws nowhere
    m_width = m_height = 0;
    return;
  }
  FillPixels(m_image.bits(), m_image.sizeInBytes(), m_fill);
}

void Surface::Unshare() {
  if (m_image.isNull() || m_image.isDetached()) return;
  EndPaint();
  QImage own = NewImage(m_width, m_height);
  if (own.isNull()) return;  // out of memory: Qt's own detach is the last resort
  std::memcpy(own.bits(), m_image.constBits(), std::size_t(own.sizeInBytes()));
  m_image = std::move(own);
}

bool Surface::Resize(int width, int height, QRgb fill) {
  if (width < 0 || height < 0 || qint64(width) * height > kMaxPixels) return false;
  if (width == m_width && height == m_height) return true;
  EndPaint();
  fill |= 0xFF000000u;
  if (m_image.isNull() || width == 0 || height == 0) {
    // Nothing drawn yet: the new pixels are made when first used.
    m_image = QImage();
    m_width = width, m_height = height, m_fill = fill;
    return true;
  }
  QImage next = NewImage(width, height);
  if (next.isNull()) return false;
  FillPixels(next.bits(), next.sizeInBytes(), fill);
  const int rows = std::min(height, m_height), cols = std::min(width, m_width);
  for (int y = 0; y < rows; ++y) {
    std::memcpy(next.scanLine(y), m_image.constScanLine(y), std::size_t(cols) * sizeof(QRgb));
  }
  m_image = std::move(next);
  m_width = width, m_height = height, m_fill = fill;
  return true;
}

void Surface::SetImage(const QImage& image) {
  EndPaint();
  m_image =
      image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
  m_width = m_image.width();
  m_height = m_image.height();
}

QImage& Surface::Image() {
  EndPaint();
  Materialize();
  Unshare();
  return m_image;
}

const QImage& Surface::Peek() {
  Materialize();
  return m_image;
}

QImage& Surface::Overwrite() {
  if (m_image.isNull() || !m_image.isDetached()) {
    EndPaint();
    QImage fresh = NewImage(m_width, m_height);
    if (!fresh.isNull()) m_image = std::move(fresh);
  }
  return Pixels();
}

QImage& Surface::Pixels() {
  Materialize();
  Unshare();
  // Someone holds a copy: writing would detach the image from under the
  // painter, so end it first.
  if (m_painter.isActive() && !m_image.isDetached()) EndPaint();
  return m_image;
}

QPainter& Surface::Painter() {
  Materialize();
  Unshare();
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
  const QRect clipped = rect & QRect(0, 0, m_width, m_height);
  if (!clipped.isEmpty()) m_listener(clipped);
}

}  // namespace plat
