#pragma once
// Picture files chosen by the file name's extension, compared without
// regard to case: ".bmp" and ".dib" are BMP files, ".jpg" and ".jpeg" JPEG.
#include <string>

#include "platform/files.h"

enum class PictureFormat { kNone, kBmp, kJpeg };

// The file name's extension from its last dot on (".JPEG"); empty when the
// name has no dot (a dot in a folder name does not count).
std::string PictureExtension(const std::string& gbkPath);
PictureFormat PictureFormatOf(const std::string& gbkPath);

// JPEG files are written at this quality.
constexpr int kJpegSaveQuality = 100;

// Why a picture file was not saved or loaded: the message names it. The
// reasons of any file are the platform's.
enum class PictureError {
  kNone = int(plat::FileError::kNone),
  kNotFound = int(plat::FileError::kNotFound),
  kNotRegular = int(plat::FileError::kNotRegular),
  kCannotOpen = int(plat::FileError::kCannotOpen),
  kCannotCreate = int(plat::FileError::kCannotCreate),
  kWriteFailed = int(plat::FileError::kWriteFailed),
  kUnsupportedType = 100,  // not .bmp, .dib, .jpg or .jpeg
  kUnreadable,             // not a picture of its type, or larger than pictures may be
  kCannotPaint,            // read, but too large to draw
};
// The reason in the program's language (GBK), for a message box.
std::string PictureErrorText(PictureError error);
