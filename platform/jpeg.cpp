#include "platform/jpeg.h"

#include <turbojpeg.h>

#include <climits>

namespace plat {
namespace {

// Rows further apart than an int can say are no layout a picture has.
bool PitchFits(int width, std::size_t stride) {
  return width > 0 && stride >= std::size_t(width) * 3 && stride <= std::size_t(INT_MAX);
}

}  // namespace

JpegDecoder::JpegDecoder(const std::uint8_t* data, std::size_t size)
    : m_handle(tjInitDecompress()), m_data(data), m_size(size) {
  int subsamp = 0, colorspace = 0;
  if (!m_handle || !data || size == 0 || size > ULONG_MAX ||
      tjDecompressHeader3(m_handle, data, static_cast<unsigned long>(size), &m_width, &m_height,
                          &subsamp, &colorspace) != 0 ||
      m_width <= 0 || m_height <= 0) {
    m_width = m_height = 0;
  }
}

JpegDecoder::~JpegDecoder() {
  if (m_handle) tjDestroy(m_handle);
}

bool JpegDecoder::Decode(std::uint8_t* rows, std::size_t stride) {
  if (m_width == 0 || !rows || !PitchFits(m_width, stride)) return false;
  // The scan limit stops files built to make progressive decoding take
  // forever.
  const int flags = TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS | TJFLAG_BOTTOMUP;
  return tjDecompress2(m_handle, m_data, static_cast<unsigned long>(m_size), rows, m_width,
                       int(stride), m_height, TJPF_BGR, flags) == 0;
}

bool EncodeJpeg(const std::uint8_t* rows, int width, int height, std::size_t stride, bool bottomUp,
                int quality, const std::function<bool(const std::uint8_t*, std::size_t)>& write) {
  if (!rows || height <= 0 || !PitchFits(width, stride)) return false;
  tjhandle encoder = tjInitCompress();
  if (!encoder) return false;
  unsigned char* jpeg = nullptr;
  unsigned long jpegSize = 0;
  const bool encoded =
      tjCompress2(encoder, rows, width, int(stride), height, TJPF_BGR, &jpeg, &jpegSize, TJSAMP_420,
                  quality < 1     ? 1
                  : quality > 100 ? 100
                                  : quality,
                  bottomUp ? TJFLAG_BOTTOMUP : 0) == 0;
  tjDestroy(encoder);
  const bool written = encoded && write(jpeg, jpegSize);
  tjFree(jpeg);
  return written;
}

}  // namespace plat
