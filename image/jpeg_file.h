#pragma once
// JPEG files read and written whole through the open file.
#include "image/dib.h"
#include "image/image_file.h"

// Decodes the file from the current position into a new 24-bit packed bitmap
// (rows padded to 4 bytes, bottom row first). None when the file is corrupt
// or the picture is beyond the size bound.
HDIB ReadJpegFile(CImageFile& file);
// Encodes a 24-bit uncompressed picture into the file at the given quality.
// Other pictures are refused before the codec is called, leaving the file
// empty.
bool WriteJpegFile(PackedDib* block, CImageFile& file, int quality);
