#pragma once
// GDI objects and device contexts. Every context draws into a persistent
// surface image (a window's surface or a bitmap); nothing draws on screen
// directly. Shapes follow the platform's pixel conventions: right and bottom
// exclusive, line end points excluded.
#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"

namespace plat {
class Surface;
}
class CWnd;
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
  int GetLogFont(LOGFONT* lf) const;
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
  plat::Surface* GetSurface() const { return m_surface.get(); }
  void Release();

 protected:
  void OnDeleteObject() override;

 private:
  std::unique_ptr<plat::Surface> m_surface;
};

struct TEXTMETRIC {
  LONG tmHeight = 0, tmAscent = 0, tmDescent = 0, tmAveCharWidth = 0, tmMaxCharWidth = 0;
};

struct BITMAPINFOHEADER;  // from image/, a packed device-independent bitmap header

class CDC {
 public:
  CDC();
  virtual ~CDC();
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  // A memory context compatible with pDC; it draws into the bitmap selected into it.
  bool CreateCompatibleDC(CDC* pDC);
  bool DeleteDC();

  // Selection returns what was selected before (the context's own default
  // object when nothing else was); the caller puts it back.
  CPen* SelectObject(CPen* pen);
  CBrush* SelectObject(CBrush* brush);
  CFont* SelectObject(CFont* font);
  CBitmap* SelectObject(CBitmap* bitmap);
  CGdiObject* SelectStockObject(int stock);

  int SetROP2(int rop);
  int GetROP2() const;
  COLORREF SetTextColor(COLORREF color);
  COLORREF GetTextColor() const;
  COLORREF SetBkColor(COLORREF color);
  int SetBkMode(int mode);
  int GetBkMode() const;
  int SetStretchBltMode(int mode);
  int SaveDC();
  bool RestoreDC(int saved);  // -1 restores the last saved state
  int SetMapMode(int mode);
  SIZE SetWindowExt(int cx, int cy);
  SIZE SetViewportExt(int cx, int cy);

  CPoint MoveTo(int x, int y);
  bool LineTo(int x, int y);  // end pixel excluded
  bool Rectangle(int l, int t, int r, int b);
  bool Rectangle(const RECT* rc) { return Rectangle(rc->left, rc->top, rc->right, rc->bottom); }
  bool RoundRect(int l, int t, int r, int b, int cornerW, int cornerH);
  bool Ellipse(int l, int t, int r, int b);
  bool Polygon(const POINT* pts, int n);  // alternate fill
  bool Polyline(const POINT* pts, int n);
  void FillRect(const RECT* rc, CBrush* brush);
  void FillSolidRect(const RECT* rc, COLORREF color);  // leaves the background colour at color
  bool PatBlt(int x, int y, int w, int h, DWORD rop);
  bool BitBlt(int x, int y, int w, int h, CDC* src, int xs, int ys, DWORD rop);
  bool StretchBlt(int x, int y, int w, int h, CDC* src, int xs, int ys, int ws, int hs,
                  DWORD rop);  // no smoothing, as COLORONCOLOR
  COLORREF GetPixel(int x, int y) const;
  COLORREF SetPixel(int x, int y, COLORREF color);
  bool ExtFloodFill(int x, int y, COLORREF color, UINT type);
  bool TextOut(int x, int y, const std::string& gbk);
  bool TextOut(int x, int y, const char* gbk, int bytes);
  SIZE GetTextExtent(const std::string& gbk) const;
  bool GetTextMetrics(TEXTMETRIC* tm) const;
  // Draws a packed device-independent bitmap (header, colour table, pixels);
  // returns the scan lines drawn, 0 when the block is not a bitmap.
  int StretchDIBits(int x, int y, int w, int h, int xs, int ys, int ws, int hs, const void* packed,
                    std::size_t packedBytes, DWORD rop);
  int SetDIBitsToDevice(int x, int y, int w, int h, int xs, int ys, const void* packed,
                        std::size_t packedBytes);

  // The rectangle this context has drawn into since the last call (target pixels).
  RECT TakeDirtyRect();
  plat::Surface* GetSurface() const;
  struct State;

 protected:
  // Binds the context to a surface; window contexts also report to the window.
  void Attach(plat::Surface* surface, CWnd* wnd);
  std::unique_ptr<State> m_state;
};

// Draws into a window's surface; what it draws is presented when the event
// loop next runs (or at once by a blocking pause or UpdateWindow).
class CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* wnd);
  ~CClientDC() override;
};
using CPaintDC = CClientDC;

// With no window: the whole screen, as a source for BitBlt (a screen capture).
class CWindowDC : public CDC {
 public:
  explicit CWindowDC(CWnd* wnd);
  ~CWindowDC() override;
};
