#include "platform/dib_format.h"

namespace dib {
namespace {

bool KnownHeaderSize(std::uint32_t size) {
  return size == kCoreHeaderBytes || size == kInfoHeaderBytes || size == 108 || size == 124;
}

// Colour masks must be present, fit the pixel and not share bits, or a
// reader would shift by nothing or mix channels.
bool ValidMasks(const std::uint8_t* masks, int bitCount, bool withAlpha) {
  const std::uint64_t limit = bitCount == 16 ? 0xFFFFu : 0xFFFFFFFFu;
  std::uint32_t seen = 0;
  for (int i = 0; i < (withAlpha ? 4 : 3); ++i) {
    const std::uint32_t m = plat::GetLe32(masks + 4 * i);
    if ((m == 0 && i < 3) || m > limit || (m & seen)) return false;
    seen |= m;
  }
  return true;
}

}  // namespace

BITMAPINFOHEADER ReadInfoHeader(const std::uint8_t* p) {
  BITMAPINFOHEADER h;
  h.biSize = plat::GetLe32(p);
  h.biWidth = LONG(plat::GetLe32(p + 4));
  h.biHeight = LONG(plat::GetLe32(p + 8));
  h.biPlanes = plat::GetLe16(p + 12);
  h.biBitCount = plat::GetLe16(p + 14);
  h.biCompression = plat::GetLe32(p + 16);
  h.biSizeImage = plat::GetLe32(p + 20);
  h.biXPelsPerMeter = LONG(plat::GetLe32(p + 24));
  h.biYPelsPerMeter = LONG(plat::GetLe32(p + 28));
  h.biClrUsed = plat::GetLe32(p + 32);
  h.biClrImportant = plat::GetLe32(p + 36);
  return h;
}

void WriteInfoHeader(std::uint8_t* p, const BITMAPINFOHEADER& h) {
  plat::PutLe32(p, h.biSize);
  plat::PutLe32(p + 4, std::uint32_t(h.biWidth));
  plat::PutLe32(p + 8, std::uint32_t(h.biHeight));
  plat::PutLe16(p + 12, h.biPlanes);
  plat::PutLe16(p + 14, h.biBitCount);
  plat::PutLe32(p + 16, h.biCompression);
  plat::PutLe32(p + 20, h.biSizeImage);
  plat::PutLe32(p + 24, std::uint32_t(h.biXPelsPerMeter));
  plat::PutLe32(p + 28, std::uint32_t(h.biYPelsPerMeter));
  plat::PutLe32(p + 32, h.biClrUsed);
  plat::PutLe32(p + 36, h.biClrImportant);
}

bool ParseDib(const std::uint8_t* block, std::size_t size, Layout* out) {
  if (!block || size < 4) return false;
  Layout l;
  l.headerSize = plat::GetLe32(block);
  if (!KnownHeaderSize(l.headerSize) || l.headerSize > size) return false;

  std::int64_t width, height;
  int planes;
  if (l.IsCore()) {
    width = plat::GetLe16(block + 4);
    height = plat::GetLe16(block + 6);
    planes = plat::GetLe16(block + 8);
    l.bitCount = plat::GetLe16(block + 10);
    if (l.bitCount != 1 && l.bitCount != 4 && l.bitCount != 8 && l.bitCount != 24) return false;
    l.colors = ColorsForBitCount(l.bitCount);
    l.entryBytes = 3;
  } else {
    const BITMAPINFOHEADER h = ReadInfoHeader(block);
    width = h.biWidth;
    height = h.biHeight;
    planes = h.biPlanes;
    l.bitCount = h.biBitCount;
    l.compression = h.biCompression;
    switch (l.bitCount) {
      case 1:
      case 4:
      case 8:
      case 16:
      case 24:
      case 32:
        break;
      default:
        return false;
    }
    const bool compressionFits =
        l.compression == BI_RGB || (l.compression == BI_RLE8 && l.bitCount == 8) ||
        (l.compression == BI_RLE4 && l.bitCount == 4) ||
        (l.compression == BI_BITFIELDS && (l.bitCount == 16 || l.bitCount == 32));
    if (!compressionFits) return false;
    // A true-colour picture may carry a table as a display hint, never more
    // than a palette device could use.
    const std::uint32_t maxColors = l.bitCount <= 8 ? (1u << l.bitCount) : 256u;
    if (h.biClrUsed > maxColors) return false;
    l.colors = h.biClrUsed ? int(h.biClrUsed) : ColorsForBitCount(l.bitCount);
    if (l.compression == BI_RLE8 || l.compression == BI_RLE4) {
      if (h.biSizeImage == 0 || height < 0) return false;
      l.imageBytes = h.biSizeImage;
    }
    if (l.compression == BI_BITFIELDS) {
      if (l.headerSize == kInfoHeaderBytes) {
        l.masksBytes = 12;
        if (size < kInfoHeaderBytes + 12) return false;
        if (!ValidMasks(block + kInfoHeaderBytes, l.bitCount, false)) return false;
      } else if (!ValidMasks(block + kInfoHeaderBytes, l.bitCount, true)) {
        return false;
      }
    }
  }
  if (planes != 1) return false;
  l.topDown = height < 0;
  if (l.topDown) height = -height;
  if (!SizeAllowed(width, height)) return false;
  l.width = int(width);
  l.height = int(height);
  l.rowBytes = RowBytes(l.bitCount, width);
  if (l.imageBytes == 0) l.imageBytes = std::size_t(l.rowBytes * height);

  l.tableOffset = l.headerSize + l.masksBytes;
  l.bitsOffset = l.tableOffset + std::size_t(l.colors) * l.entryBytes;
  if (l.bitsOffset > size || l.imageBytes > size - l.bitsOffset) return false;
  if (out) *out = l;
  return true;
}

}  // namespace dib
