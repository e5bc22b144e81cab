#pragma once
// A bitmap with a memory context drawing into it, and pixel helpers for the
// device-context tests.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
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
  CDC dc;
  int width, height;

  Canvas(int w, int h, COLORREF background = kWhite) : width(w), height(h) {
    EXPECT_TRUE(bitmap.CreateBitmap(w, h));
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&bitmap);
    Fill(background);
  }
  void Fill(COLORREF c) {
    CBrush brush(c);
    const RECT all{0, 0, width, height};
    dc.FillRect(&all, &brush);
  }
  // A background where every pixel differs from its neighbours and from its
  // inverse, so that inverting mistakes show.
  void FillPattern() {
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) dc.SetPixel(x, y, RGB(x * 7 + y, y * 5 + 3 * x, x ^ y));
    }
  }
  std::vector<COLORREF> Snapshot() const {
    std::vector<COLORREF> out;
    out.reserve(std::size_t(width) * height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) out.push_back(bitmap.GetPixel(x, y));
    }
    return out;
  }
  COLORREF At(int x, int y) const { return bitmap.GetPixel(x, y); }
  int Count(COLORREF c) const {
    int n = 0;
    for (COLORREF p : Snapshot()) n += p == c;
    return n;
  }
  // The smallest rectangle holding every pixel that is not background
  // (right and bottom exclusive); empty when there is none.
  RECT Extent(COLORREF background) const {
    RECT r{width, height, 0, 0};
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        if (At(x, y) == background) continue;
        r.left = std::min<LONG>(r.left, x), r.top = std::min<LONG>(r.top, y);
        r.right = std::max<LONG>(r.right, x + 1), r.bottom = std::max<LONG>(r.bottom, y + 1);
      }
    }
    return r.left < r.right ? r : RECT{};
  }
  // Rows of the picture as text: '#' for colour c, '.' for anything else.
  std::vector<std::string> Art(COLORREF c) const {
    std::vector<std::string> rows;
    for (int y = 0; y < height; ++y) {
      std::string row;
      for (int x = 0; x < width; ++x) row += At(x, y) == c ? '#' : '.';
      rows.push_back(row);
    }
    return rows;
  }
};

struct Px {
  int x, y;
  COLORREF colour;
};
inline void ExpectPixels(const Canvas& c, std::initializer_list<Px> want) {
  for (const Px& p : want) EXPECT_EQ(c.At(p.x, p.y), p.colour) << "pixel " << p.x << "," << p.y;
}

}  // namespace gdi_test
