#include "image_test_util.h"

#include <unistd.h>

#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace imgtest {

Picture Smooth(int w, int h) {
  return MakePicture(w, h, [&](int x, int y) {
    return RGB(x * 255 / std::max(1, w - 1), y * 255 / std::max(1, h - 1), 128);
  });
}

HDIB MakeDib24(const Picture& pic) {
  const std::size_t stride = std::size_t(dib::RowBytes(24, pic.width));
  HDIB block = AllocDib(40 + stride * pic.height);
  BITMAPINFOHEADER h;
  h.biWidth = pic.width, h.biHeight = pic.height, h.biBitCount = 24;
  dib::WriteInfoHeader(block->bytes.data(), h);
  for (int y = 0; y < pic.height; ++y) {
    std::uint8_t* row = block->bytes.data() + 40 + stride * (pic.height - 1 - y);
    for (int x = 0; x < pic.width; ++x) {
      const COLORREF c = pic.At(x, y);
      row[3 * x] = std::uint8_t(GetBValue(c)), row[3 * x + 1] = std::uint8_t(GetGValue(c));
      row[3 * x + 2] = std::uint8_t(GetRValue(c));
    }
  }
  return block;
}

COLORREF Dib24Pixel(const PackedDib& block, int x, int y) {
  const std::int32_t width = std::int32_t(plat::GetLe32(block.bytes.data() + 4));
  const std::int32_t height = std::int32_t(plat::GetLe32(block.bytes.data() + 8));
  const std::size_t stride = std::size_t(dib::RowBytes(24, width));
  const std::uint8_t* p = block.bytes.data() + 40 + stride * (height - 1 - y) + 3 * x;
  return RGB(p[2], p[1], p[0]);
}

Picture PixelsOf(const PackedDib& block) {
  const int width = int(plat::GetLe32(block.bytes.data() + 4));
  const int height = int(plat::GetLe32(block.bytes.data() + 8));
  return MakePicture(width, height, [&](int x, int y) { return Dib24Pixel(block, x, y); });
}

Picture PaintToPicture(CDib& dib) {
  const int width = dib.Width(), height = dib.Height();
  CBitmap bitmap;
  bitmap.CreateBitmap(width, height);
  CDC mem;
  mem.CreateCompatibleDC(nullptr);
  CBitmap* old = mem.SelectObject(&bitmap);
  const RECT all{0, 0, width, height};
  mem.FillSolidRect(&all, RGB(1, 2, 3));
  dib.Paint(&mem, &all);
  mem.SelectObject(old);
  return MakePicture(width, height, [&](int x, int y) { return bitmap.GetPixel(x, y); });
}

void WritePpm(const std::string& path, const Picture& pic) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << "P6\n" << pic.width << ' ' << pic.height << "\n255\n";
  for (const COLORREF c : pic.pixels) {
    const char rgb[3] = {char(GetRValue(c)), char(GetGValue(c)), char(GetBValue(c))};
    out.write(rgb, 3);
  }
}

bool ReadPnm(const std::string& path, Picture* pic) {
  const QImage image(QString::fromStdString(path));
  if (image.isNull()) return false;
  *pic = MakePicture(image.width(), image.height(), [&](int x, int y) {
    const QRgb c = image.pixel(x, y);
    return RGB(qRed(c), qGreen(c), qBlue(c));
  });
  return true;
}

std::string FindTool(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::stringstream dirs("/usr/bin:" + std::string(path ? path : ""));
  for (std::string dir; std::getline(dirs, dir, ':');) {
    const std::string candidate = dir + "/" + name;
    if (!dir.empty() && access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

bool RunCommand(const std::string& command) {
  return std::system((command + " 2>/dev/null").c_str()) == 0;
}

}  // namespace imgtest
