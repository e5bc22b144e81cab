#pragma once
// PNG encoding of a bitmap through the platform's image writer.
#include <string>

class CBitmap;

namespace plat {
// The bitmap's pixels as a PNG file's bytes (opaque 24-bit colour); false
// for an empty bitmap or when the writer fails.
bool EncodePng(const CBitmap& bitmap, std::string* bytes);
}  // namespace plat
