#include "image/picture_file.h"

#include <cerrno>

#include "image/bmp_file.h"
#include "image/dib.h"
#include "image/jpeg_file.h"
#include "platform/codepage.h"
#include "platform/files.h"

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

namespace {

PictureError FromErrno(int error, PictureError otherwise) {
  return PictureError(plat::FileErrorFromErrno(error, plat::FileError(otherwise)));
}

bool Fail(PictureError* why, PictureError error) {
  if (why) *why = error;
  return false;
}

}  // namespace

std::string PictureErrorText(PictureError error) {
  switch (error) {
    case PictureError::kUnsupportedType:
      return GBK("只能使用 BMP 或 JPEG 图片文件（扩展名 .bmp、.dib、.jpg 或 .jpeg）。");
    case PictureError::kUnreadable:
      return GBK("文件已损坏，或不是可以读取的图片，或图片太大。");
    case PictureError::kCannotPaint:
      return GBK("图片太大，无法显示。");
    default:
      return plat::FileErrorText(plat::FileError(error));
  }
}

bool CDib::Save(const std::string& gbkPath, PictureError* why) {
  if (!m_block) return Fail(why, PictureError::kWriteFailed);
  const PictureFormat format = PictureFormatOf(gbkPath);
  if (format == PictureFormat::kNone) return Fail(why, PictureError::kUnsupportedType);
  plat::FileReplacement replacement;
  if (!replacement.Begin(gbkPath)) return Fail(why, FromErrno(errno, PictureError::kCannotCreate));
  bool written = false;
  {
    CImageFile file;
    if (!file.Open(replacement.TempPath(),
                   CImageFile::modeCreate | CImageFile::modeWrite | CImageFile::shareDenyWrite))
      return Fail(why, FromErrno(errno, PictureError::kCannotCreate));
    errno = 0;
    written = format == PictureFormat::kJpeg ? WriteJpegFile(m_block.get(), file, kJpegSaveQuality)
                                             : WriteBmpToFile(m_block.get(), file);
    written = file.Close() && written;
  }
  if (!written || !replacement.Commit())
    return Fail(why, FromErrno(errno, PictureError::kWriteFailed));
  return true;
}

bool CDib::Load(const std::string& gbkPath, PictureError* why) {
  const PictureFormat format = PictureFormatOf(gbkPath);
  if (format == PictureFormat::kNone) return Fail(why, PictureError::kUnsupportedType);
  CImageFile file;
  if (!file.Open(gbkPath, CImageFile::modeRead | CImageFile::shareDenyWrite))
    return Fail(why, FromErrno(errno, PictureError::kCannotOpen));
  HDIB block = format == PictureFormat::kBmp ? ReadBmpFromFile(file) : ReadJpegFile(file);
  if (!Attach(std::move(block))) return Fail(why, PictureError::kUnreadable);
  return true;
}
