#pragma once
// The inside of a device context, shared by the files that implement CDC.
#include <QImage>
#include <QRect>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi.h"
#include "platform/surface_qt.h"

struct CDC::State {
  // Everything SaveDC keeps and RestoreDC puts back.
  struct Selection {
    CPen* pen = nullptr;
    CBrush* brush = nullptr;
    CFont* font = nullptr;
    CBitmap* bitmap = nullptr;
    int rop = R2_COPYPEN;
    int bkMode = OPAQUE;
    int stretchMode = BLACKONWHITE;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    CPoint pos;
  };

  State();

  // The objects a fresh context has selected: the platform's defaults.
  CPen defPen;
  CBrush defBrush;
  CFont defFont;
  CBitmap defBitmap;  // a memory context's bitmap until one is selected: draws nowhere

  Selection sel;
  std::vector<Selection> saved;

  plat::Surface* surface = nullptr;  // a window's client area
  CWnd* wnd = nullptr;
  bool memory = false;  // draws into the selected bitmap
  bool screen = false;  // the whole screen, grabbed when first used
  std::unique_ptr<plat::Surface> screenShot;
  QRect dirty;
};

namespace plat::dc {

// The surface dc draws into, or nullptr when it has none or it is empty.
Surface* Target(const CDC* dc);
// Records a drawn rectangle: the context's dirty rectangle and the surface's damage.
void Touch(CDC::State& state, Surface* surface, const QRect& rect);
// Nearest-neighbour copy of (xs, ys, ws, hs) of src onto (x, y, w, h) of surface.
void StretchImage(CDC::State& state, Surface* surface, const QImage& src, std::int64_t x,
                  std::int64_t y, std::int64_t w, std::int64_t h, std::int64_t xs, std::int64_t ys,
                  std::int64_t ws, std::int64_t hs);

}  // namespace plat::dc
