#include "image/jpeg_file.h"

#include <exception>
#include <vector>

#include "platform/jpeg.h"

namespace {

// A JPEG larger than this is no picture a screen produced; reading it whole
// is refused before any allocation.
constexpr std::int64_t kMaxJpegFileBytes = std::int64_t(512) << 20;

}  // namespace

HDIB ReadJpegFile(CImageFile& file) {
  const std::int64_t length = file.GetLength(), position = file.GetPosition();
  if (length < 0 || position < 0 || position >= length || length - position > kMaxJpegFileBytes)
    return nullptr;
  std::vector<std::uint8_t> data;
  try {
    data.resize(std::size_t(length - position));
  } catch (const std::exception&) {
    return nullptr;
  }
  if (file.Read(data.data(), data.size()) != data.size()) return nullptr;
  plat::JpegDecoder decoder(data.data(), data.size());
  const int width = decoder.Width(), height = decoder.Height();
  if (!dib::SizeAllowed(width, height)) return nullptr;
  // Rows of 3W bytes plus W mod 4 zero bytes; the codec decodes straight
  // into the block, bottom row first, and leaves the padding as allocated.
  const std::size_t stride = std::size_t(dib::RowBytes(24, width));
  HDIB block = AllocDib(dib::kInfoHeaderBytes + stride * std::size_t(height));
  if (!block || !decoder.Decode(block->bytes.data() + dib::kInfoHeaderBytes, stride))
    return nullptr;
  BITMAPINFOHEADER h;
  h.biWidth = width;
  h.biHeight = height;
  h.biBitCount = 24;
  dib::WriteInfoHeader(block->bytes.data(), h);
  return block;
}

bool WriteJpegFile(PackedDib* block, CImageFile& file, int quality) {
  dib::Layout l;
  if (!block || !dib::ParseDib(block->bytes.data(), block->bytes.size(), &l) || l.IsCore() ||
      l.bitCount != 24 || l.compression != BI_RGB) {
    return false;
  }
  std::uint8_t* p = block->bytes.data();
  plat::PutLe32(p + 20, std::uint32_t(l.imageBytes));
  return plat::EncodeJpeg(p + l.bitsOffset, l.width, l.height, std::size_t(l.rowBytes), !l.topDown,
                          quality, [&file](const std::uint8_t* jpeg, std::size_t size) {
                            return file.Write(jpeg, size) && file.Flush();
                          });
}
