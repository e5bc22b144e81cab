#pragma once
// JPEG files through the codec binding, which works by file name: the open
// file supplies the path.
#include "image/dib.h"
#include "image/image_file.h"

// Decodes the file into a new 24-bit packed bitmap (rows padded to 4 bytes,
// bottom row first). None when the path is too long for the codec, the file
// is corrupt or the picture is beyond the size bound.
HDIB ReadJpegFile(CImageFile& file);
// Closes the file, then encodes a 24-bit uncompressed picture into it by
// name at the given quality. Other pictures are refused before the codec is
// called, leaving the file empty.
bool WriteJpegFile(PackedDib* block, CImageFile& file, int quality);
// Whether a path fits the codec's fixed path buffer with its terminator.
bool JpegPathFits(const std::string& gbkPath);
