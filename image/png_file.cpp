#include "image/png_file.h"

#include <strings.h>

#include <cerrno>

#include "image/image_file.h"
#include "platform/files.h"
#include "platform/png.h"

namespace {
bool Fail(PictureError* why, PictureError error) {
  if (why) *why = error;
  return false;
}
PictureError FromErrno(PictureError otherwise) {
  return PictureError(plat::FileErrorFromErrno(errno, plat::FileError(otherwise)));
}
}  // namespace

bool IsPngPath(const std::string& gbkPath) {
  return ::strcasecmp(PictureExtension(gbkPath).c_str(), ".png") == 0;
}

bool SavePngFile(const CBitmap& bitmap, const std::string& gbkPath, PictureError* why) {
  std::string bytes;
  if (!plat::EncodePng(bitmap, &bytes)) return Fail(why, PictureError::kWriteFailed);
  plat::FileReplacement replacement;
  if (!replacement.Begin(gbkPath)) return Fail(why, FromErrno(PictureError::kCannotCreate));
  CImageFile file;
  if (!file.Open(replacement.TempPath(), CImageFile::modeCreate | CImageFile::modeWrite))
    return Fail(why, FromErrno(PictureError::kCannotCreate));
  errno = 0;
  const bool written = file.Write(bytes.data(), bytes.size());
  if (!file.Close() || !written || !replacement.Commit())
    return Fail(why, FromErrno(PictureError::kWriteFailed));
  return true;
}
