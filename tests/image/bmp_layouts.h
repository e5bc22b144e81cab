#pragma once
// BMP files laid out by hand, one in each layout the reader takes (the ones
// the program never writes among them): for the hostile-file test and the
// fuzz targets' seeds.
#include <cstdint>
#include <vector>

#include "platform/byte_order.h"
#include "platform/dib_format.h"

namespace bmplayout {

using Bytes = std::vector<std::uint8_t>;

// A BMP file: file header, information header, masks or table, pixel bytes.
inline Bytes BmpFile(std::uint32_t headerSize, int w, int h, int bits, DWORD compression,
                     const std::vector<std::uint32_t>& tableOrMasks, const Bytes& pixels) {
  Bytes f(14 + headerSize);
  plat::PutLe16(f.data(), kBmpSignature);
  if (headerSize == 12) {
    plat::PutLe32(&f[14], 12), plat::PutLe16(&f[18], std::uint16_t(w));
    plat::PutLe16(&f[20], std::uint16_t(h)), plat::PutLe16(&f[22], 1);
    plat::PutLe16(&f[24], std::uint16_t(bits));
    for (std::uint32_t c : tableOrMasks)
      f.insert(f.end(), {std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16)});
  } else {
    BITMAPINFOHEADER hdr;
    hdr.biSize = headerSize, hdr.biWidth = w, hdr.biHeight = h, hdr.biBitCount = WORD(bits);
    hdr.biCompression = compression;
    hdr.biSizeImage = compression == BI_RLE8 || compression == BI_RLE4 ? DWORD(pixels.size()) : 0;
    const bool masks = compression == BI_BITFIELDS;
    hdr.biClrUsed = masks ? 0 : DWORD(tableOrMasks.size());
    dib::WriteInfoHeader(&f[14], hdr);
    for (std::size_t i = 0; i < tableOrMasks.size(); ++i)
      if (masks && headerSize > 40)
        plat::PutLe32(&f[54 + 4 * i], tableOrMasks[i]);
      else
        f.resize(f.size() + 4), plat::PutLe32(&f[f.size() - 4], tableOrMasks[i]);
  }
  plat::PutLe32(&f[10], std::uint32_t(f.size()));
  f.insert(f.end(), pixels.begin(), pixels.end());
  plat::PutLe32(&f[2], std::uint32_t(f.size()));
  return f;
}

// Pixel bytes each unlike its neighbours.
inline Bytes PixelBytes(std::size_t n) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = std::uint8_t(i * 37 + 11);
  return b;
}

inline std::vector<Bytes> BmpLayouts() {
  const std::vector<std::uint32_t> table = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  std::vector<std::uint32_t> table16(16, 0x336699);
  // RLE8: a run, end of line, a delta, an absolute run (padded), end of bitmap.
  const Bytes rle8 = {4, 1, 0, 0, 0, 2, 1, 0, 0, 3, 2, 3, 4, 0, 0, 0, 2, 2, 0, 1};
  const Bytes rle4 = {4, 0x12, 0, 0, 0, 4, 0x34, 0x12, 0, 0, 0, 1};
  return {
      BmpFile(40, 9, 5, 24, BI_RGB, {}, PixelBytes(28 * 5)),
      BmpFile(40, 9, -5, 24, BI_RGB, {}, PixelBytes(28 * 5)),
      BmpFile(40, 9, 5, 8, BI_RGB, table, PixelBytes(12 * 5)),
      BmpFile(40, 9, 5, 4, BI_RGB, table16, PixelBytes(8 * 5)),
      BmpFile(40, 33, 3, 1, BI_RGB, {0, 0xFFFFFF}, PixelBytes(8 * 3)),
      BmpFile(12, 9, 5, 8, BI_RGB, std::vector<std::uint32_t>(256, 0x808080), PixelBytes(12 * 5)),
      BmpFile(40, 4, 3, 8, BI_RLE8, table, rle8),
      BmpFile(40, 4, 3, 4, BI_RLE4, table16, rle4),
      BmpFile(40, 9, 5, 16, BI_BITFIELDS, {0xF800, 0x7E0, 0x1F}, PixelBytes(20 * 5)),
      BmpFile(40, 9, 5, 32, BI_BITFIELDS, {0xFF0000, 0xFF00, 0xFF}, PixelBytes(36 * 5)),
      BmpFile(124, 9, 5, 32, BI_BITFIELDS, {0xFF0000, 0xFF00, 0xFF, 0xFF000000},
              PixelBytes(36 * 5)),
      BmpFile(108, 9, 5, 32, BI_RGB, {}, PixelBytes(36 * 5)),
  };
}

}  // namespace bmplayout
