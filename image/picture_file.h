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
