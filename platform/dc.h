#pragma once
// Device contexts. Every context draws into a persistent surface image (a
// window's surface or a bitmap); nothing draws on screen directly. Shapes
// follow the platform's pixel conventions: right and bottom exclusive, line
// end points excluded.
#include <cstddef>
#include <memory>
#include <string>

#include "platform/gdi_objects.h"
#include "platform/types.h"

namespace plat {
class Surface;
}
class CWnd;

struct TEXTMETRIC {
  LONG tmHeight = 0, tmAscent = 0, tmDescent = 0, tmAveCharWidth = 0, tmMaxCharWidth = 0;
};

namespace dib {
struct Layout;
}

class CDC {
 public:
  CDC();
  virtual ~CDC();
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  // A memory context compatible with pDC; it draws into the bitmap selected into it.
  bool CreateCompatibleDC(CDC* pDC);

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
  COLORREF SetBkColor(COLORREF color);
  COLORREF GetBkColor() const;
  int SetBkMode(int mode);
  int SetStretchBltMode(int mode);
  int SaveDC();
  bool RestoreDC(int saved);  // -1 restores the last saved state

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
  // The target's bounds; NULLREGION (and an empty rectangle) without a target.
  int GetClipBox(RECT* rc) const;
  COLORREF SetPixel(int x, int y, COLORREF color);
  bool ExtFloodFill(int x, int y, COLORREF color, UINT type);
  bool TextOut(int x, int y, const std::string& gbk);
  bool TextOut(int x, int y, const char* gbk, int bytes);
  SIZE GetTextExtent(const std::string& gbk) const;
  bool GetTextMetrics(TEXTMETRIC* tm) const;
  // Draws a packed device-independent bitmap (header, colour table, pixels)
  // that dib::ParseDib accepted as `layout`; returns the scan lines drawn.
  int StretchDIBits(int x, int y, int w, int h, int xs, int ys, int ws, int hs, const void* packed,
                    const dib::Layout& layout, DWORD rop);
  int SetDIBitsToDevice(int x, int y, int w, int h, int xs, int ys, const void* packed,
                        const dib::Layout& layout);

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

// Selects a pen, brush, font or bitmap into a context for one scope and puts
// back what was selected before, so no exit path leaves a deleted object
// selected.
template <class T>
class CSelectScope {
 public:
  CSelectScope(CDC& dc, T* object) : m_dc(dc), m_old(dc.SelectObject(object)) {}
  ~CSelectScope() {
    if (m_old) m_dc.SelectObject(m_old);
  }
  CSelectScope(const CSelectScope&) = delete;
  CSelectScope& operator=(const CSelectScope&) = delete;

 private:
  CDC& m_dc;
  T* m_old;
};

// With no window: the whole screen, as a source for BitBlt (a screen capture).
class CWindowDC : public CDC {
 public:
  explicit CWindowDC(CWnd* wnd);
  ~CWindowDC() override;
};
