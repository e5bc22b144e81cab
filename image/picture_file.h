#pragma once
// Picture files chosen by the file name's extension, compared without
// regard to case: ".bmp" and ".dib" are BMP files, ".jpg" and ".jpeg" JPEG.
#include <string>

enum class PictureFormat { kNone, kBmp, kJpeg };

// The file name's extension from its last dot on (".JPEG"); empty when the
// name has no dot (a dot in a folder name does not count).
std::string PictureExtension(const std::string& gbkPath);
PictureFormat PictureFormatOf(const std::string& gbkPath);

// JPEG files are written at this quality.
constexpr int kJpegSaveQuality = 100;

// Why a picture file was not saved or loaded: the message names it.
enum class PictureError {
  kNone,
  kUnsupportedType,  // not .bmp, .dib, .jpg or .jpeg
  kNotFound,
  kNotRegular,     // a folder, FIFO, device or socket
  kCannotOpen,     // no permission, or held by another writer
  kCannotCreate,   // the folder is missing or takes no new file
  kWriteFailed,    // a full disk
  kPathTooLong,
  kUnreadable,     // not a picture of its type, or larger than pictures may be
  kCannotPaint,    // read, but too large to draw
};
// The reason in the program's language (GBK), for a message box.
std::string PictureErrorText(PictureError error);
