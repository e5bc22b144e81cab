#pragma once
// Value types and constants in the Windows platform's own names.
#include <cstdint>
#include <string>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using BOOL = int;
using UINT_PTR = std::uintptr_t;
using COLORREF = std::uint32_t;  // 0x00BBGGRR

constexpr COLORREF RGB(int r, int g, int b) {
  return COLORREF(r & 0xFF) | (COLORREF(g & 0xFF) << 8) | (COLORREF(b & 0xFF) << 16);
}
constexpr int GetRValue(COLORREF c) { return int(c & 0xFF); }
constexpr int GetGValue(COLORREF c) { return int((c >> 8) & 0xFF); }
constexpr int GetBValue(COLORREF c) { return int((c >> 16) & 0xFF); }

struct POINT {
  LONG x = 0, y = 0;
};
struct SIZE {
  LONG cx = 0, cy = 0;
};
struct RECT {
  LONG left = 0, top = 0, right = 0, bottom = 0;
};
inline bool operator==(const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }
inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class CPoint : public POINT {
 public:
  CPoint() = default;
  CPoint(LONG x_, LONG y_) { x = x_, y = y_; }
  CPoint(const POINT& p) : POINT(p) {}
  CPoint operator+(const CPoint& o) const { return {x + o.x, y + o.y}; }
  CPoint operator-(const CPoint& o) const { return {x - o.x, y - o.y}; }
};

class CRect : public RECT {
 public:
  CRect() = default;
  CRect(LONG l, LONG t, LONG r, LONG b) { left = l, top = t, right = r, bottom = b; }
  CRect(const RECT& r) : RECT(r) {}
  CRect(const POINT& a, const POINT& b) { left = a.x, top = a.y, right = b.x, bottom = b.y; }
  LONG Width() const { return right - left; }
  LONG Height() const { return bottom - top; }
  bool IsRectEmpty() const { return right <= left || bottom <= top; }
  // Right and bottom are exclusive, as on the platform.
  bool PtInRect(const POINT& p) const {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }
  CPoint TopLeft() const { return {left, top}; }
  CPoint BottomRight() const { return {right, bottom}; }
};

// Face names are stored whole whatever their length, so a long name is never
// cut into the name of another face nor written past a fixed buffer.
constexpr int LF_FACESIZE = 32;
struct LOGFONT {
  LONG lfHeight = 0;
  LONG lfWidth = 0;
  LONG lfEscapement = 0;
  LONG lfOrientation = 0;
  LONG lfWeight = 0;
  BYTE lfItalic = 0;
  BYTE lfUnderline = 0;
  BYTE lfStrikeOut = 0;
  BYTE lfCharSet = 0;
  BYTE lfOutPrecision = 0;
  BYTE lfClipPrecision = 0;
  BYTE lfQuality = 0;
  BYTE lfPitchAndFamily = 0;
  std::string lfFaceName;  // GBK bytes
};

constexpr int FW_DONTCARE = 0, FW_NORMAL = 400, FW_BOLD = 700;
constexpr BYTE ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, GB2312_CHARSET = 134;
constexpr BYTE FF_SWISS = 0x20;

// Pen styles.
constexpr int PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5;
// Binary raster operations.
constexpr int R2_NOT = 6, R2_COPYPEN = 13;
// Ternary raster operations for BitBlt, StretchBlt and PatBlt.
constexpr DWORD SRCCOPY = 0x00CC0020, BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062,
                DSTINVERT = 0x00550009;
// Background modes.
constexpr int TRANSPARENT = 1, OPAQUE = 2;
constexpr int NULLREGION = 1, SIMPLEREGION = 2;  // GetClipBox
// Flood fill types.
constexpr UINT FLOODFILLBORDER = 0, FLOODFILLSURFACE = 1;
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
// Stretch modes.
constexpr int BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4;

// Key-state flags of mouse messages.
constexpr UINT MK_LBUTTON = 0x01, MK_RBUTTON = 0x02, MK_SHIFT = 0x04, MK_CONTROL = 0x08,
               MK_MBUTTON = 0x10;
// Virtual keys.
constexpr int VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12, VK_ESCAPE = 0x1B,
              VK_RETURN = 0x0D, VK_F12 = 0x7B, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22,
              VK_LEFT = 0x25, VK_RIGHT = 0x27, VK_OEM_PERIOD = 0xBE;

// Message boxes.
constexpr UINT MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_YESNOCANCEL = 0x3, MB_YESNO = 0x4,
               MB_ICONQUESTION = 0x20, MB_ICONEXCLAMATION = 0x30, MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7;

// System metrics.
constexpr int SM_CXSCREEN = 0, SM_CYSCREEN = 1;
int GetSystemMetrics(int index);
// Dots per inch of the desktop's scale (96 at 1:1, 192 at 2:1). Coordinates
// stay device pixels; bars and dialogs grow their own layout by it.
UINT GetDpiForSystem();
// a * b / c, rounded, without overflow.
int MulDiv(int a, int b, int c);
// A length of the 1:1 layout at the desktop's scale.
inline int ScaleToDpi(int pixels) { return MulDiv(pixels, int(GetDpiForSystem()), 96); }

// ShowWindow commands.
constexpr int SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOWMINIMIZED = 2, SW_MAXIMIZE = 3,
              SW_SHOWNOACTIVATE = 4, SW_SHOW = 5, SW_MINIMIZE = 6, SW_RESTORE = 9;
