#pragma once
// The picture targets share one body: the input as a picture file of a given
// extension, loaded as the load-picture command loads it, then painted into
// a small bitmap both as it is and stretched, then saved as a BMP file that
// must load again.
#include <cstddef>
#include <cstdint>

namespace fuzz {
void LoadAndPaint(const char* fileName, const std::uint8_t* bytes, std::size_t size);
}
