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

bool PackedDibRows(const void* packed, std::size_t bytes, QImage* decoded, PixelRows* rows,
                   bool* bottomUp) {
  if (packed == nullptr || bytes < kCoreHeader || decoded == nullptr || rows == nullptr ||
      bottomUp == nullptr) {
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

  *bottomUp = !topDown;
  if (!rle && (bits == 24 || (bits == 32 && compression == kRgb))) {
    // Read in place: a screen-sized picture needs no copy before the blit.
    const qsizetype stride = qsizetype(((u64(bits) * u64(width) + 31) / 32) * 4);
    rows->top = p + pixelsAt + (topDown ? 0 : stride * (height - 1));
    rows->stride = topDown ? stride : -stride;
    rows->width = int(width);
    rows->height = int(height);
    rows->format = bits == 24 ? PixelRows::kBgr24 : PixelRows::kBgrx32;
    return true;
  }

  // Qt's reader takes whole files: a 14-byte file header goes in front.
  const u64 fileSize = 14 + pixelsAt + dataBytes;
  QByteArray file(qsizetype(fileSize), Qt::Uninitialized);
  char* f = file.data();
  std::memset(f, 0, 14);
  f[0] = 'B', f[1] = 'M';
  Put32(f + 2, quint32(fileSize));
  Put32(f + 10, quint32(14 + pixelsAt));
  std::memcpy(f + 14, p, std::size_t(pixelsAt + dataBytes));
  const QImage image = QImage::fromData(file, "BMP");
  if (image.isNull() || image.width() != width || image.height() != height) return false;
  *decoded = image.convertToFormat(QImage::Format_RGB32);
  if (decoded->isNull()) return false;
  *rows = RowsOf(*decoded);
  return true;
}

}  // namespace plat::raster

namespace {

// Draws source rows [ys, ys + hs) counted from the picture's origin: the
// lower-left corner of a bottom-up picture, the upper-left of a top-down one.
int DrawPackedDib(CDC::State& state, plat::Surface* surface, std::int64_t x, std::int64_t y,
                  std::int64_t w, std::int64_t h, std::int64_t xs, std::int64_t ys, std::int64_t ws,
                  std::int64_t hs, const void* packed, std::size_t bytes) {
  QImage decoded;
  plat::raster::PixelRows rows;
  bool bottomUp = false;
  if (surface == nullptr ||
      !plat::raster::PackedDibRows(packed, bytes, &decoded, &rows, &bottomUp)) {
    return 0;
  }
  const std::int64_t top = bottomUp ? std::int64_t(rows.height) - ys - hs : ys;
  // A picture covering the whole surface from inside its own pixels writes
  // every pixel, so pixels shared with another bitmap need no copy first.
  const bool whole = x == 0 && y == 0 && w == surface->Width() && h == surface->Height() &&
                     xs >= 0 && top >= 0 && ws > 0 && hs > 0 && xs + ws <= rows.width &&
                     top + hs <= rows.height;
  plat::dc::Touch(state, surface,
                  plat::raster::StretchCopy(whole ? surface->Overwrite() : surface->Pixels(), x, y,
                                            w, h, rows, xs, top, ws, hs));
  return rows.height;
}

}  // namespace

// A bottom-up picture's source rows count from its bottom row, as the
// platform's origin for such pictures is the lower-left corner.
int CDC::StretchDIBits(int x, int y, int w, int h, int xs, int ys, int ws, int hs,
                       const void* packed, std::size_t packedBytes, DWORD rop) {
  if (rop != SRCCOPY) return 0;
  return DrawPackedDib(*m_state, plat::dc::Target(this), x, y, w, h, xs, ys, ws, hs, packed,
                       packedBytes);
}

int CDC::SetDIBitsToDevice(int x, int y, int w, int h, int xs, int ys, const void* packed,
                           std::size_t packedBytes) {
  return DrawPackedDib(*m_state, plat::dc::Target(this), x, y, w, h, xs, ys, w, h, packed,
                       packedBytes);
}
