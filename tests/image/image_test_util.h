#pragma once
// Helpers shared by the picture tests: scratch folders, raw files, simple
// pictures, PPM files for the external tools, and reading pixels back.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "image/dib.h"
#include "platform/gdi.h"

namespace imgtest {

using Bytes = std::vector<std::uint8_t>;

struct Rgb {
  int r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};
inline Rgb FromColorref(COLORREF c) { return {GetRValue(c), GetGValue(c), GetBValue(c)}; }

// A picture as plain pixels, top row first.
struct Picture {
  int width = 0, height = 0;
  std::vector<Rgb> px;
  Rgb& at(int x, int y) { return px[std::size_t(y) * width + x]; }
  const Rgb& at(int x, int y) const { return px[std::size_t(y) * width + x]; }
};
Picture MakePicture(int width, int height, const std::function<Rgb(int, int)>& fn);

// A fresh folder under the system's temporary folder, removed at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  std::string Path(const std::string& name) const { return (m_dir / name).string(); }

 private:
  std::filesystem::path m_dir;
};

Bytes ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const Bytes& data);

// A 24-bit bottom-up packed bitmap holding the picture.
HDIB MakeDib24(const Picture& pic);
// Pixel (x, y) of a 24-bit bottom-up block, y from the top.
Rgb Dib24Pixel(const PackedDib& block, int x, int y);

// Draws the picture onto a bitmap of its own size (or the given size) the
// way the board does, and reads the pixels back.
Picture PaintToPicture(CDib& dib, int width = 0, int height = 0);

// PPM (P6) and PGM (P5) files, for the external tools.
void WritePpm(const std::string& path, const Picture& pic);
bool ReadPnm(const std::string& path, Picture* pic);

// The named program when it is installed (an empty string when not).
std::string FindTool(const std::string& name);
// Runs a shell command; true on exit status 0.
bool RunCommand(const std::string& command);

// Largest difference of any channel of any pixel; INT_MAX for other sizes.
int MaxDifference(const Picture& a, const Picture& b);

}  // namespace imgtest
