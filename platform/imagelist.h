#pragma once
// Image lists: small pictures drawn with their masked pixels left out.
#include <vector>

#include "platform/types.h"

class CDC;

constexpr UINT ILD_NORMAL = 0x0, ILD_TRANSPARENT = 0x1;

class CImageList {
 public:
  CImageList();
  ~CImageList();
  // The images of the strip registered as bitmapId, each cut to cx pixels
  // wide; pixels of the mask colour, or transparent in the picture, are
  // masked. grow is accepted for the platform's signature.
  bool Create(UINT bitmapId, int cx, int grow, COLORREF mask);
  int GetImageCount() const { return int(m_images.size()); }
  // Draws image index with its top-left corner at pt; masked pixels stay as
  // they are with ILD_TRANSPARENT and take the background colour otherwise.
  bool Draw(CDC* dc, int index, POINT pt, UINT style);

 private:
  struct Pixel {
    int x, y;
    COLORREF color;
    bool masked;
  };
  std::vector<std::vector<Pixel>> m_images;
};
