#include "image/picture_file.h"

#include "image/bmp_file.h"
#include "image/dib.h"
#include "image/jpeg_file.h"

namespace {

bool EqualsNoCase(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i]; ++i) {
    const char c = a[i] >= 'A' && a[i] <= 'Z' ? char(a[i] - 'A' + 'a') : a[i];
    if (c != b[i]) return false;
  }
  return i == a.size() && b[i] == 0;
}

}  // namespace

std::string PictureExtension(const std::string& gbkPath) {
  // '/' and '.' never occur inside a double-byte GBK character, so a
  // byte search is safe.
  const std::size_t slash = gbkPath.find_last_of('/');
  const std::size_t dot = gbkPath.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return gbkPath.substr(dot);
}

PictureFormat PictureFormatOf(const std::string& gbkPath) {
  const std::string ext = PictureExtension(gbkPath);
  if (EqualsNoCase(ext, ".bmp") || EqualsNoCase(ext, ".dib")) return PictureFormat::kBmp;
  if (EqualsNoCase(ext, ".jpg") || EqualsNoCase(ext, ".jpeg")) return PictureFormat::kJpeg;
  return PictureFormat::kNone;
}

bool CDib::Save(const std::string& gbkPath) {
  if (!m_block) return false;
  const PictureFormat format = PictureFormatOf(gbkPath);
  if (format == PictureFormat::kNone) return false;
  // A path the codec cannot take is refused before a file is created.
  if (format == PictureFormat::kJpeg && !JpegPathFits(gbkPath)) return false;
  CImageFile file;
  if (!file.Open(gbkPath,
                 CImageFile::modeCreate | CImageFile::modeWrite | CImageFile::shareDenyWrite)) {
    return false;
  }
  if (format == PictureFormat::kJpeg) return WriteJpegFile(m_block.get(), file, kJpegSaveQuality);
  const bool written = WriteBmpToFile(m_block.get(), file);
  return file.Close() && written;
}

bool CDib::Load(const std::string& gbkPath) {
  const PictureFormat format = PictureFormatOf(gbkPath);
  if (format == PictureFormat::kNone) return false;
  CImageFile file;
  if (!file.Open(gbkPath, CImageFile::modeRead | CImageFile::shareDenyWrite)) return false;
  HDIB block = format == PictureFormat::kBmp ? ReadBmpFromFile(file) : ReadJpegFile(file);
  return Attach(std::move(block));
}
