#pragma once
// Pens, brushes, fonts and bitmaps: what a device context draws with, and
// the persistent images it draws into.
#include <memory>

#include "platform/types.h"

namespace plat {
class Surface;
}
class CDC;

constexpr int NULL_BRUSH = 5, NULL_PEN = 8, WHITE_BRUSH = 0, BLACK_BRUSH = 4, BLACK_PEN = 7,
              WHITE_PEN = 6;

class CGdiObject {
 public:
  virtual ~CGdiObject() = default;
  bool IsValid() const { return m_valid; }
  // Deleting a stock object has no effect, as on the platform.
  bool DeleteObject();
  bool m_stock = false;

 protected:
  // Frees what the object holds when DeleteObject deletes it.
  virtual void OnDeleteObject() {}
  bool m_valid = false;
};

class CPen : public CGdiObject {
 public:
  CPen() = default;
  CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
  bool CreatePen(int style, int width, COLORREF color);
  bool CreateStockObject(int stock);  // NULL_PEN, BLACK_PEN, WHITE_PEN
  int m_style = PS_SOLID;
  int m_width = 1;
  COLORREF m_color = 0;
};

class CBrush : public CGdiObject {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
  bool CreateSolidBrush(COLORREF color);
  bool CreateStockObject(int stock);  // NULL_BRUSH, WHITE_BRUSH, BLACK_BRUSH
  bool m_hollow = false;
  COLORREF m_color = 0xFFFFFF;
};

class CFont : public CGdiObject {
 public:
  bool CreateFontIndirect(const LOGFONT* lf);
  LOGFONT m_logFont;
};

// A screen-compatible bitmap: 32-bit RGB pixels in a persistent image.
class CBitmap : public CGdiObject {
 public:
  CBitmap();
  ~CBitmap() override;
  bool CreateCompatibleBitmap(CDC* pDC, int width, int height);
  bool CreateBitmap(int width, int height);
  int Width() const;
  int Height() const;
  COLORREF GetPixel(int x, int y) const;  // CLR_INVALID outside
  // Scan lines counted from the bottom row, as a 24-bit packed bitmap's
  // rows (blue, green, red; rows padded with zeros to four bytes). Returns
  // the lines copied, 0 when there are none.
  int GetDIBits(int startScan, int scanLines, void* bits) const;
  plat::Surface* GetSurface() const { return m_surface.get(); }

 protected:
  void OnDeleteObject() override;

 private:
  std::unique_ptr<plat::Surface> m_surface;
};
