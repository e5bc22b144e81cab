#include "platform/pixel_block.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

#include "platform/surface_qt.h"
#include "platform/wnd.h"

namespace plat {

PixelBlock PixelBlock::CopyClient(const CWnd& wnd, const RECT& rc) {
  PixelBlock block;
  Surface* surface = wnd.GetSurface();
  if (!surface) return block;
  const QRect want = QRect(QPoint(rc.left, rc.top), QPoint(rc.right - 1, rc.bottom - 1)) &
                     QRect(0, 0, surface->Width(), surface->Height());
  if (want.isEmpty()) return block;
  QImage copy;
  if (surface->IsMade()) {
    // Raster drawing is synchronous: the pixels are whole even while the
    // surface's painter stays open, so the gesture's painter is not ended.
    copy = surface->Peek().copy(want);
  } else {
    copy = QImage(want.size(), QImage::Format_RGB32);
    copy.fill(surface->Fill());
  }
  copy.setColorSpace(QColorSpace());
  block.m_rect = RECT{want.left(), want.top(), want.right() + 1, want.bottom() + 1};
  block.m_image = std::make_shared<const QImage>(std::move(copy));
  return block;
}

std::string PixelBlock::EncodePng() const {
  if (!m_image) return {};
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "png");
  // Qt maps quality 80..89 to zlib level 1: board pictures are mostly
  // flat colour, where the fastest level already compresses well.
  writer.setQuality(85);
  if (!writer.write(*m_image)) return {};
  return bytes.toStdString();
}

bool DecodePng(const std::string& png, int* width, int* height, std::vector<COLORREF>* pixels) {
  QByteArray bytes = QByteArray::fromStdString(png);
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "png");
  QImage image;
  if (!reader.read(&image)) return false;
  image = image.convertToFormat(QImage::Format_RGB32);
  *width = image.width();
  *height = image.height();
  pixels->clear();
  pixels->reserve(size_t(image.width()) * image.height());
  for (int y = 0; y < image.height(); ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x)
      pixels->push_back(RGB(qRed(row[x]), qGreen(row[x]), qBlue(row[x])));
  }
  return true;
}

}  // namespace plat
