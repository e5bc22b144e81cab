#pragma once
// A bitmap with a memory context drawing into it, and pixel helpers for the
// device-context tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <deque>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "platform/gdi.h"

// Rectangles in failure messages as (left, top, right, bottom).
inline void PrintTo(const RECT& r, std::ostream* os) {
  *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace gdi_test {

constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0), kRed = RGB(255, 0, 0),
                   kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);

inline COLORREF Inverse(COLORREF c) { return ~c & 0xFFFFFF; }

struct Canvas {
  CBitmap bitmap;
  std::deque<CPen> pens;  // made by Pen() and Brush(), outliving the context
  std::deque<CBrush> brushes;
  CDC dc;
  int width, height;

  // CLR_INVALID leaves the new bitmap as it is made: black, its pixels not
  // yet allocated.
  Canvas(int w, int h, COLORREF background = kWhite) : width(w), height(h) {
    EXPECT_TRUE(bitmap.CreateBitmap(w, h));
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&bitmap);
    if (background != CLR_INVALID) Fill(background);
  }
  void Fill(COLORREF c) {
    CBrush brush(c);
    const RECT all{0, 0, width, height};
    dc.FillRect(&all, &brush);
  }
  // Selects a new pen or brush.
  void Pen(int style, int w, COLORREF c) { dc.SelectObject(&pens.emplace_back(style, w, c)); }
  void Brush(COLORREF c) { dc.SelectObject(&brushes.emplace_back(c)); }
  bool Line(int x0, int y0, int x1, int y1) { return dc.MoveTo(x0, y0), dc.LineTo(x1, y1); }
  // A background where every pixel differs from its neighbours and from its
  // inverse, so that inverting mistakes show.
  void FillPattern() {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) dc.SetPixel(x, y, RGB(x * 7 + y, y * 5 + 3 * x, x ^ y));
  }
  std::vector<COLORREF> Snapshot() const {
    std::vector<COLORREF> out;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) out.push_back(bitmap.GetPixel(x, y));
    return out;
  }
  COLORREF At(int x, int y) const { return bitmap.GetPixel(x, y); }
  // Pixels of colour c, in the rectangle r (right and bottom exclusive) or
  // in the whole picture.
  int Count(COLORREF c, RECT r = {0, 0, INT_MAX, INT_MAX}) const {
    int n = 0;
    for (int y = std::max<int>(r.top, 0); y < std::min<int>(r.bottom, height); ++y)
      for (int x = std::max<int>(r.left, 0); x < std::min<int>(r.right, width); ++x)
        n += At(x, y) == c;
    return n;
  }
  // The smallest rectangle holding every pixel that is not background
  // (right and bottom exclusive); empty when there is none.
  RECT Extent(COLORREF background) const {
    RECT r{width, height, 0, 0};
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (At(x, y) != background)
          r = {std::min<LONG>(r.left, x), std::min<LONG>(r.top, y), std::max<LONG>(r.right, x + 1),
               std::max<LONG>(r.bottom, y + 1)};
    return r.left < r.right ? r : RECT{};
  }
  // Rows of the picture as text: the character key gives the pixel's
  // colour, `other` for any other colour.
  std::vector<std::string> Art(std::initializer_list<std::pair<char, COLORREF>> key,
                               char other = '.') const {
    std::vector<std::string> rows(std::size_t(height), std::string(std::size_t(width), other));
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        for (const auto& [ch, colour] : key)
          if (At(x, y) == colour) rows[std::size_t(y)][std::size_t(x)] = ch;
    return rows;
  }
};

struct Px {
  int x, y;
  COLORREF colour;
};
inline void ExpectPixels(const Canvas& c, const std::vector<Px>& want) {
  for (const Px& p : want) EXPECT_EQ(c.At(p.x, p.y), p.colour) << "pixel " << p.x << "," << p.y;
}

}  // namespace gdi_test
