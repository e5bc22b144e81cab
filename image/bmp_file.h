#pragma once
// BMP files: a 14-byte file header followed directly by the packed bitmap.
#include "image/dib.h"
#include "image/image_file.h"

// Writes the block (validated first) as a BMP file and stores the image size
// in its header. False on an invalid block or any write error.
bool WriteBmpToFile(PackedDib* block, CImageFile& file);
// Reads a BMP file from the current position into a new validated block;
// top-down files come back bottom-up. None for anything that is not a
// whole, consistent BMP file.
HDIB ReadBmpFromFile(CImageFile& file);
