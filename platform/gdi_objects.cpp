// Pens, brushes, fonts and bitmaps.
#include "platform/gdi_objects.h"

#include <cstdint>
#include <memory>

#include "platform/raster_qt.h"
#include "platform/surface_qt.h"

namespace raster = plat::raster;

namespace {
using i64 = std::int64_t;
constexpr i64 kMaxBitmapPixels = i64(1) << 28;
}  // namespace

bool CGdiObject::DeleteObject() {
  if (!m_valid) return false;
  if (m_stock) return true;
  m_valid = false;
  OnDeleteObject();
  return true;
}

bool CPen::CreatePen(int style, int width, COLORREF color) {
  if (style < PS_SOLID || style > 6) return false;  // 6: inside-frame, drawn as solid
  m_style = style;
  m_width = width;
  m_color = color & 0xFFFFFF;
  m_stock = false;
  m_valid = true;
  return true;
}

bool CPen::CreateStockObject(int stock) {
  switch (stock) {
    case NULL_PEN:
      m_style = PS_NULL, m_width = 1, m_color = 0;
      break;
    case BLACK_PEN:
      m_style = PS_SOLID, m_width = 1, m_color = RGB(0, 0, 0);
      break;
    case WHITE_PEN:
      m_style = PS_SOLID, m_width = 1, m_color = RGB(255, 255, 255);
      break;
    default:
      return false;
  }
  m_stock = true;
  m_valid = true;
  return true;
}

bool CBrush::CreateSolidBrush(COLORREF color) {
  m_hollow = false;
  m_color = color & 0xFFFFFF;
  m_stock = false;
  m_valid = true;
  return true;
}

bool CBrush::CreateStockObject(int stock) {
  // WHITE, LTGRAY, GRAY, DKGRAY, BLACK, NULL, in the platform's numbering.
  static constexpr COLORREF kGreys[] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128),
                                        RGB(64, 64, 64), RGB(0, 0, 0)};
  if (stock < WHITE_BRUSH || stock > NULL_BRUSH) return false;
  m_hollow = stock == NULL_BRUSH;
  m_color = m_hollow ? RGB(0, 0, 0) : kGreys[stock];
  m_stock = true;
  m_valid = true;
  return true;
}

bool CFont::CreateFontIndirect(const LOGFONT* lf) {
  if (lf == nullptr) return false;
  m_logFont = *lf;
  m_stock = false;
  m_valid = true;
  return true;
}

CBitmap::CBitmap() = default;
CBitmap::~CBitmap() = default;

bool CBitmap::CreateCompatibleBitmap(CDC*, int width, int height) {
  return CreateBitmap(width, height);
}

bool CBitmap::CreateBitmap(int width, int height) {
  if (width <= 0 || height <= 0 || i64(width) * height > kMaxBitmapPixels) return false;
  auto surface = std::make_unique<plat::Surface>();
  if (!surface->Resize(width, height, 0xFF000000u)) return false;  // new bitmaps are black
  m_surface = std::move(surface);
  m_stock = false;
  m_valid = true;
  return true;
}

int CBitmap::Width() const { return m_surface ? m_surface->Width() : 0; }
int CBitmap::Height() const { return m_surface ? m_surface->Height() : 0; }

COLORREF CBitmap::GetPixel(int x, int y) const {
  if (!m_surface || x < 0 || y < 0 || x >= m_surface->Width() || y >= m_surface->Height()) {
    return CLR_INVALID;
  }
  return raster::ColorrefFromRgb(m_surface->PixelAt(x, y));
}

int CBitmap::GetDIBits(int startScan, int scanLines, void* bits) const {
  if (!m_surface) return 0;
  return raster::ToBgr24Rows(m_surface->Peek(), startScan, scanLines, static_cast<uchar*>(bits));
}

void CBitmap::OnDeleteObject() { m_surface.reset(); }
