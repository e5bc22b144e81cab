#pragma once
// A plain picture, top row first, and the comparisons the picture tests
// share. Header only and free of windows: the end-to-end tests link none of
// the program's code.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/types.h"

struct Picture {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;
  COLORREF At(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

inline Picture MakePicture(int width, int height,
                           const std::function<COLORREF(int, int)>& colourAt) {
  Picture p{width, height, {}};
  p.pixels.reserve(std::size_t(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) p.pixels.push_back(colourAt(x, y));
  return p;
}

// Pixels that differ, with the first one described in `where`.
inline int CountDifferences(const Picture& a, const Picture& b, std::string* where = nullptr) {
  if (a.width != b.width || a.height != b.height) {
    if (where) *where = "pictures of different sizes";
    return a.width * a.height + b.width * b.height;
  }
  int n = 0;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x)
      if (a.At(x, y) != b.At(x, y) && n++ == 0 && where) {
        std::ostringstream s;
        s << "first at (" << x << ", " << y << "): " << std::hex << a.At(x, y) << " vs "
          << b.At(x, y);
        *where = s.str();
      }
  return n;
}

// The largest difference of one colour channel; INT_MAX for other sizes.
inline int MaxChannelDifference(const Picture& a, const Picture& b) {
  if (a.width != b.width || a.height != b.height) return INT_MAX;
  int worst = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i) {
    const COLORREF p = a.pixels[i], q = b.pixels[i];
    worst =
        std::max({worst, std::abs(GetRValue(p) - GetRValue(q)),
                  std::abs(GetGValue(p) - GetGValue(q)), std::abs(GetBValue(p) - GetBValue(q))});
  }
  return worst;
}
