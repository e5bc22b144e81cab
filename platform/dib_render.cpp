#include <QByteArray>
#include <QImage>
#include <cstring>

#include "platform/dc_qt.h"
#include "platform/gdi.h"
#include "platform/raster_qt.h"

namespace plat::raster {
namespace {

using u64 = std::uint64_t;

constexpr quint32 kCoreHeader = 12, kInfoHeader = 40, kV4Header = 108, kV5Header = 124;
constexpr quint32 kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;
constexpr u64 kMaxPixels = u64(1) << 28;

quint16 U16(const uchar* p) { return quint16(p[0] | (p[1] << 8)); }
quint32 U32(const uchar* p) {
  return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}
void Put16(char* p, quint32 v) {
  p[0] = char(v & 0xFF);
  p[1] = char((v >> 8) & 0xFF);
}
void Put32(char* p, quint32 v) {
  Put16(p, v & 0xFFFF);
  Put16(p + 2, v >> 16);
}

}  // namespace

bool DecodePackedDib(const void* packed, std::size_t bytes, QImage* out, bool* bottomUp) {
  if (packed == nullptr || bytes < kCoreHeader || out == nullptr || bottomUp == nullptr) {
    return false;
  }
  const auto* p = static_cast<const uchar*>(packed);
  const quint32 headerSize = U32(p);
  std::int64_t width, height;
  unsigned planes, bits;
  quint32 compression = kRgb, used = 0, sizeImage = 0;
  u64 entryBytes = 4, masks = 0;
  if (headerSize == kCoreHeader) {
    width = U16(p + 4);
    height = U16(p + 6);
    planes = U16(p + 8);
    bits = U16(p + 10);
    entryBytes = 3;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return false;
  } else if (headerSize == kInfoHeader || headerSize == kV4Header || headerSize == kV5Header) {
    if (bytes < headerSize) return false;
    width = std::int32_t(U32(p + 4));
    height = std::int32_t(U32(p + 8));
    planes = U16(p + 12);
    bits = U16(p + 14);
    compression = U32(p + 16);
    sizeImage = U32(p + 20);
    used = U32(p + 32);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
      return false;
    }
    // The three colour masks follow a 40-byte header; larger headers hold them.
    if (compression == kBitFields && headerSize == kInfoHeader) masks = 12;
  } else {
    return false;
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (planes != 1 || width <= 0 || height <= 0 || u64(width) * u64(height) > kMaxPixels) {
    return false;
  }
  const bool rle = compression == kRle8 || compression == kRle4;
  if (!(compression == kRgb || (compression == kRle8 && bits == 8) ||
        (compression == kRle4 && bits == 4) ||
        (compression == kBitFields && (bits == 16 || bits == 32)))) {
    return false;
  }
  if (rle && topDown) return false;
  const u64 colours = used != 0 ? used : (bits <= 8 ? u64(1) << bits : 0);
  if (bits <= 8 && colours > (u64(1) << bits)) return false;
  const u64 pixelsAt = headerSize + masks + colours * entryBytes;
  if (pixelsAt > bytes) return false;
  u64 dataBytes;
  if (rle) {
    dataBytes = bytes - pixelsAt;
    if (sizeImage != 0 && sizeImage < dataBytes) dataBytes = sizeImage;
    if (dataBytes == 0) return false;
  } else {
    dataBytes = ((u64(bits) * u64(width) + 31) / 32) * 4 * u64(height);
    if (dataBytes > bytes - pixelsAt) return false;
  }

  // Qt's reader takes whole files: a 14-byte file header goes in front.
  const u64 fileSize = 14 + pixelsAt + dataBytes;
  QByteArray file(qsizetype(fileSize), '\0');
  char* f = file.data();
  f[0] = 'B', f[1] = 'M';
  Put32(f + 2, quint32(fileSize));
  Put32(f + 10, quint32(14 + pixelsAt));
  std::memcpy(f + 14, p, std::size_t(pixelsAt + dataBytes));
  const QImage image = QImage::fromData(file, "BMP");
  if (image.isNull() || image.width() != width || image.height() != height) return false;
  *out = image.convertToFormat(QImage::Format_RGB32);
  *bottomUp = !topDown;
  return !out->isNull();
}

}  // namespace plat::raster

// A bottom-up picture's source rows count from its bottom row, as the
// platform's origin for such pictures is the lower-left corner.
int CDC::StretchDIBits(int x, int y, int w, int h, int xs, int ys, int ws, int hs,
                       const void* packed, std::size_t packedBytes, DWORD rop) {
  plat::Surface* surface = plat::dc::Target(this);
  QImage image;
  bool bottomUp = false;
  if (surface == nullptr || rop != SRCCOPY ||
      !plat::raster::DecodePackedDib(packed, packedBytes, &image, &bottomUp)) {
    return 0;
  }
  const std::int64_t top = bottomUp ? std::int64_t(image.height()) - ys - hs : ys;
  plat::dc::StretchImage(*m_state, surface, image, x, y, w, h, xs, top, ws, hs);
  return image.height();
}

int CDC::SetDIBitsToDevice(int x, int y, int w, int h, int xs, int ys, const void* packed,
                           std::size_t packedBytes) {
  plat::Surface* surface = plat::dc::Target(this);
  QImage image;
  bool bottomUp = false;
  if (surface == nullptr ||
      !plat::raster::DecodePackedDib(packed, packedBytes, &image, &bottomUp)) {
    return 0;
  }
  const std::int64_t top = bottomUp ? std::int64_t(image.height()) - ys - h : ys;
  plat::dc::StretchImage(*m_state, surface, image, x, y, w, h, xs, top, w, h);
  return image.height();
}
