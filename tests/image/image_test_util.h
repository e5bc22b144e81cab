#pragma once
// Helpers shared by the picture tests: raw files, 24-bit
// packed blocks, PPM files for the external tools.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "image/dib.h"
#include "platform/gdi.h"
#include "tests/records/data_file_util.h"
#include "tests/support/picture.h"

namespace imgtest {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ReadFileBytes(const std::string& path) {
  const std::string bytes = ReadBytes(path);
  return Bytes(bytes.begin(), bytes.end());
}
inline void WriteFileBytes(const std::string& path, const Bytes& data) {
  WriteBytes(path, std::string(data.begin(), data.end()));
}

// Colours changing evenly across the picture, so that JPEG files keep them.
Picture Smooth(int w, int h);
// A 24-bit bottom-up packed bitmap holding the picture.
HDIB MakeDib24(const Picture& pic);
// Pixel (x, y) of a 24-bit bottom-up block, y from the top.
COLORREF Dib24Pixel(const PackedDib& block, int x, int y);
// Every pixel of a 24-bit block.
Picture PixelsOf(const PackedDib& block);

// Draws the picture onto a bitmap of its own size the way the board does,
// and reads the pixels back.
Picture PaintToPicture(CDib& dib);

// PPM (P6) and PGM (P5) files, for the external tools.
void WritePpm(const std::string& path, const Picture& pic);
bool ReadPnm(const std::string& path, Picture* pic);

// The named program when it is installed (an empty string when not).
std::string FindTool(const std::string& name);
// Runs a shell command; true on exit status 0.
bool RunCommand(const std::string& command);

}  // namespace imgtest
