#pragma once
// The packed device-independent bitmap layout: information header, colour
// table, pixel rows. Fields are read and written little-endian byte by byte,
// so blocks are never cast to structs and the host's byte order is irrelevant.
#include <cstddef>
#include <cstdint>

#include "platform/byte_order.h"
#include "platform/types.h"

constexpr DWORD BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3;
constexpr WORD kBmpSignature = 0x4D42;  // "BM"

// The 40-byte information header as values (also the first 40 bytes of the
// 108- and 124-byte headers that extend it).
struct BITMAPINFOHEADER {
  DWORD biSize = 40;
  LONG biWidth = 0;
  LONG biHeight = 0;
  WORD biPlanes = 1;
  WORD biBitCount = 0;
  DWORD biCompression = BI_RGB;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};

struct RGBQUAD {
  BYTE rgbBlue = 0, rgbGreen = 0, rgbRed = 0, rgbReserved = 0;
};

namespace dib {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kInfoHeaderBytes = 40;
constexpr std::size_t kCoreHeaderBytes = 12;
// Largest picture accepted anywhere: 2^26 pixels (an 8K screen is half of it)
// keeps a 24-bit buffer at 192 MiB, and the two or three copies a conversion
// holds well inside an ordinary machine's memory. No side may exceed 32768.
constexpr std::int64_t kMaxPixels = std::int64_t(1) << 26;
constexpr int kMaxSide = 32768;
constexpr bool SizeAllowed(std::int64_t width, std::int64_t height) {
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
         width * height <= kMaxPixels;
}

// Bytes of one pixel row, padded to a multiple of 4.
constexpr std::int64_t RowBytes(int bitCount, std::int64_t width) {
  return ((std::int64_t(bitCount) * width + 31) / 32) * 4;
}
// Colour-table entries implied by a bit count alone.
constexpr int ColorsForBitCount(int bitCount) {
  return bitCount == 1 ? 2 : bitCount == 4 ? 16 : bitCount == 8 ? 256 : 0;
}

// Where everything lies in a packed bitmap that passed validation.
struct Layout {
  std::uint32_t headerSize = 0;  // 12, 40, 108 or 124
  int width = 0;
  int height = 0;        // always positive
  bool topDown = false;  // negative height in the header
  int bitCount = 0;
  std::uint32_t compression = BI_RGB;
  int colors = 0;               // colour-table entries
  std::size_t entryBytes = 4;   // 3 after a 12-byte header
  std::size_t masksBytes = 0;   // the three masks after a 40-byte BI_BITFIELDS header
  std::size_t tableOffset = 0;  // header + masks
  std::size_t bitsOffset = 0;   // header + masks + colour table
  std::int64_t rowBytes = 0;
  std::size_t imageBytes = 0;  // rows x stride, or biSizeImage for RLE
  bool IsCore() const { return headerSize == kCoreHeaderBytes; }
};

// Validates a packed bitmap of `size` bytes: header size, dimensions, planes,
// bit count, compression, colour count, and that the header, masks, colour
// table and pixel data all lie inside the block. False on any fault.
bool ParseDib(const std::uint8_t* block, std::size_t size, Layout* out);

// The 40-byte header's fields (of a header at least 40 bytes long).
BITMAPINFOHEADER ReadInfoHeader(const std::uint8_t* p);
void WriteInfoHeader(std::uint8_t* p, const BITMAPINFOHEADER& h);

}  // namespace dib
