#include "image/jpeg_file.h"

#include <cstring>

#include "platform/ijl.h"

namespace {

// Owns an initialised properties record; ijlFree runs on every way out.
class CodecSession {
 public:
  CodecSession() : m_props{} { m_ok = ijlInit(&m_props) == IJL_OK; }
  ~CodecSession() {
    if (m_ok) ijlFree(&m_props);
  }
  CodecSession(const CodecSession&) = delete;
  CodecSession& operator=(const CodecSession&) = delete;
  bool Ok() const { return m_ok; }
  JPEG_CORE_PROPERTIES* operator->() { return &m_props; }
  JPEG_CORE_PROPERTIES* get() { return &m_props; }

 private:
  JPEG_CORE_PROPERTIES m_props;
  bool m_ok = false;
};

void SetPath(JPEG_CORE_PROPERTIES* props, const std::string& path) {
  std::memcpy(props->JPGFile, path.c_str(), path.size() + 1);
}

}  // namespace

bool JpegPathFits(const std::string& gbkPath) {
  return !gbkPath.empty() && gbkPath.size() < std::size_t(IJL_MAX_PATH) &&
         gbkPath.find('\0') == std::string::npos;
}

HDIB ReadJpegFile(CImageFile& file) {
  const std::string path = file.GetFilePath();
  if (!file.IsOpen() || !JpegPathFits(path)) return nullptr;
  CodecSession props;
  if (!props.Ok()) return nullptr;
  SetPath(props.get(), path);
  if (ijlRead(props.get(), IJL_JFILE_READPARAMS) != IJL_OK) return nullptr;
  const int width = props->JPGWidth, height = props->JPGHeight;
  if (width <= 0 || height <= 0 || width > dib::kMaxSide || height > dib::kMaxSide ||
      std::int64_t(width) * height > dib::kMaxPixels) {
    return nullptr;
  }
  // Rows of 3W bytes plus W mod 4 zero bytes; the codec decodes straight
  // into the block, bottom row first, and leaves the padding as allocated.
  const std::size_t stride = std::size_t(dib::RowBytes(24, width));
  HDIB block = AllocDib(dib::kInfoHeaderBytes + stride * std::size_t(height));
  if (!block) return nullptr;
  props->DIBWidth = width;
  props->DIBHeight = -height;
  props->DIBChannels = 3;
  props->DIBPadBytes = int(stride) - 3 * width;
  props->DIBBytes = block->bytes.data() + dib::kInfoHeaderBytes;
  if (ijlRead(props.get(), IJL_JFILE_READWHOLEIMAGE) != IJL_OK) return nullptr;
  BITMAPINFOHEADER h;
  h.biWidth = width;
  h.biHeight = height;
  h.biBitCount = 24;
  dib::WriteInfoHeader(block->bytes.data(), h);
  return block;
}

bool WriteJpegFile(PackedDib* block, CImageFile& file, int quality) {
  if (!block) return false;
  const std::string path = file.GetFilePath();
  file.Close();
  dib::Layout l;
  if (!JpegPathFits(path) || !dib::ParseDib(block->bytes.data(), block->bytes.size(), &l) ||
      l.IsCore() || l.bitCount != 24 || l.compression != BI_RGB) {
    return false;
  }
  std::uint8_t* p = block->bytes.data();
  dib::Put32(p + 20, std::uint32_t(l.imageBytes));
  CodecSession props;
  if (!props.Ok()) return false;
  props->jquality = quality;
  props->DIBWidth = props->JPGWidth = l.width;
  props->JPGHeight = l.height;
  // A bottom-up block is handed over as it is stored: the codec reads it
  // last row first, so the top of the picture is encoded first.
  props->DIBHeight = l.topDown ? l.height : -l.height;
  props->DIBPadBytes = int(l.rowBytes) - 3 * l.width;
  props->DIBBytes = p + l.bitsOffset;
  SetPath(props.get(), path);
  return ijlWrite(props.get(), IJL_JFILE_WRITEWHOLEIMAGE) == IJL_OK;
}
