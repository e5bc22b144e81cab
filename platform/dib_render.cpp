#include <QByteArray>
#include <QImage>
#include <cstring>

#include "platform/byte_order.h"
#include "platform/dc_qt.h"
#include "platform/dib_format.h"
#include "platform/gdi.h"
#include "platform/raster_qt.h"

namespace {

// The rows of a packed bitmap dib::ParseDib accepted, top row first: the
// block's own rows when they can be read as they are (24 and 32 bits
// uncompressed), else rows decoded into *decoded.
bool PackedDibRows(const std::uint8_t* block, const dib::Layout& l, QImage* decoded,
                   plat::raster::PixelRows* rows) {
  using plat::raster::PixelRows;
  if (l.compression == BI_RGB && (l.bitCount == 24 || l.bitCount == 32)) {
    // Read in place: a screen-sized picture needs no copy before the blit.
    const qsizetype stride = qsizetype(l.rowBytes);
    rows->top = block + l.bitsOffset + (l.topDown ? 0 : stride * (l.height - 1));
    rows->stride = l.topDown ? stride : -stride;
    rows->width = l.width;
    rows->height = l.height;
    rows->format = l.bitCount == 24 ? PixelRows::kBgr24 : PixelRows::kBgrx32;
    return true;
  }
  // Qt's reader takes whole files: a file header goes in front.
  const std::size_t part = l.bitsOffset + l.imageBytes;
  QByteArray file(qsizetype(dib::kFileHeaderBytes + part), Qt::Uninitialized);
  auto* f = reinterpret_cast<std::uint8_t*>(file.data());
  std::memset(f, 0, dib::kFileHeaderBytes);
  plat::PutLe16(f, kBmpSignature);
  plat::PutLe32(f + 2, std::uint32_t(file.size()));
  plat::PutLe32(f + 10, std::uint32_t(dib::kFileHeaderBytes + l.bitsOffset));
  std::memcpy(f + dib::kFileHeaderBytes, block, part);
  const QImage image = QImage::fromData(file, "BMP");
  if (image.isNull() || image.width() != l.width || image.height() != l.height) return false;
  *decoded = image.convertToFormat(QImage::Format_RGB32);
  if (decoded->isNull()) return false;
  *rows = plat::raster::RowsOf(*decoded);
  return true;
}

// Draws source rows [ys, ys + hs) counted from the picture's origin: the
// lower-left corner of a bottom-up picture, the upper-left of a top-down one.
int DrawPackedDib(CDC::State& state, plat::Surface* surface, std::int64_t x, std::int64_t y,
                  std::int64_t w, std::int64_t h, std::int64_t xs, std::int64_t ys, std::int64_t ws,
                  std::int64_t hs, const void* packed, const dib::Layout& layout) {
  QImage decoded;
  plat::raster::PixelRows rows;
  if (surface == nullptr || packed == nullptr ||
      !PackedDibRows(static_cast<const std::uint8_t*>(packed), layout, &decoded, &rows)) {
    return 0;
  }
  const std::int64_t top = layout.topDown ? ys : std::int64_t(rows.height) - ys - hs;
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
                       const void* packed, const dib::Layout& layout, DWORD rop) {
  if (rop != SRCCOPY) return 0;
  return DrawPackedDib(*m_state, plat::dc::Target(this), x, y, w, h, xs, ys, ws, hs, packed,
                       layout);
}

int CDC::SetDIBitsToDevice(int x, int y, int w, int h, int xs, int ys, const void* packed,
                           const dib::Layout& layout) {
  return DrawPackedDib(*m_state, plat::dc::Target(this), x, y, w, h, xs, ys, w, h, packed, layout);
}
