#pragma once
// PNG files of a bitmap, written whole beside the target and then put in
// its place, as the other picture files are.
#include <string>

#include "image/picture_file.h"
#include "platform/gdi.h"

// Whether the path's extension is ".png", in any case.
bool IsPngPath(const std::string& gbkPath);
// False with the reason in why when the file cannot be written.
bool SavePngFile(const CBitmap& bitmap, const std::string& gbkPath, PictureError* why = nullptr);
