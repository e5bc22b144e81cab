#pragma once
// JPEG in memory through libjpeg-turbo. Pixels are 3 bytes each, blue, green,
// red; rows lie `stride` bytes apart, as in a 24-bit packed bitmap.
#include <cstddef>
#include <cstdint>
#include <functional>

namespace plat {

// One JPEG held by the caller: its header is read at once, its pixels on
// demand, by one decoder.
class JpegDecoder {
 public:
  JpegDecoder(const std::uint8_t* data, std::size_t size);
  ~JpegDecoder();
  JpegDecoder(const JpegDecoder&) = delete;
  JpegDecoder& operator=(const JpegDecoder&) = delete;

  // The picture's size; 0 when the bytes are no JPEG.
  int Width() const { return m_width; }
  int Height() const { return m_height; }
  // Decodes into rows stored bottom row first. Damage the decoder notices,
  // a cut file included, is a failure rather than a picture with grey or
  // garbled parts.
  bool Decode(std::uint8_t* rows, std::size_t stride);

 private:
  void* m_handle = nullptr;
  const std::uint8_t* m_data;
  std::size_t m_size;
  int m_width = 0, m_height = 0;
};

// Encodes rows stored bottom row first (or top row first) at quality 1..100
// with chroma at half resolution both ways, and hands the whole file to
// write. False when encoding or write fails.
bool EncodeJpeg(const std::uint8_t* rows, int width, int height, std::size_t stride, bool bottomUp,
                int quality, const std::function<bool(const std::uint8_t*, std::size_t)>& write);

}  // namespace plat
