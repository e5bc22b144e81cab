// Device contexts: selection, drawing state, shapes, blits and text.
#include "platform/dc.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <algorithm>
#include <array>
#include <utility>

#include "platform/dc_qt.h"
#include "platform/dpi_qt.h"
#include "platform/fonts_qt.h"
#include "platform/raster_qt.h"
#include "platform/surface_qt.h"
#include "platform/wnd.h"
#include "platform/x11_qt.h"

// Coordinates arrive as 32-bit values and are widened to 64 bits before any
// arithmetic; every shape is rasterised only over the rows and columns of
// the target (see raster_qt.h), so no coordinate or pen width needs clamping
// and nothing outside the target is ever computed or allocated.

namespace raster = plat::raster;
using i64 = std::int64_t;

namespace {

constexpr DWORD kPatCopy = 0x00F00021, kPatInvert = 0x005A0049;
constexpr int kXorPen = 7;  // R2_XORPEN

CPen MakeStockPen(int stock) {
  CPen pen;
  pen.CreateStockObject(stock);
  return pen;
}

CPen* StockPen(int stock) {
  static CPen white = MakeStockPen(WHITE_PEN), black = MakeStockPen(BLACK_PEN),
              none = MakeStockPen(NULL_PEN);
  switch (stock) {
    case WHITE_PEN:
      return &white;
    case BLACK_PEN:
      return &black;
    case NULL_PEN:
      return &none;
    default:
      return nullptr;
  }
}

CBrush* StockBrush(int stock) {
  static std::array<CBrush, 6> brushes = [] {
    std::array<CBrush, 6> all;
    for (int i = 0; i < 6; ++i) all[std::size_t(i)].CreateStockObject(i);
    return all;
  }();
  return stock >= 0 && stock < 6 ? &brushes[std::size_t(stock)] : nullptr;
}

struct PenInfo {
  bool none = true;
  i64 width = 1;
  raster::Dash dash;
};

PenInfo PenOf(const CPen* pen) {
  PenInfo info;
  if (pen == nullptr || pen->m_style == PS_NULL) return info;
  info.none = false;
  info.width = std::max(pen->m_width, 1);
  // Styles apply to 1-pixel pens only; wider pens draw solid.
  if (info.width == 1) info.dash = raster::DashForStyle(pen->m_style);
  return info;
}

bool HasBrush(const CBrush* brush) { return brush != nullptr && !brush->m_hollow; }

raster::Colours ColoursOf(const CDC::State& s) {
  const COLORREF brush = s.sel.brush ? s.sel.brush->m_color : RGB(255, 255, 255);
  const COLORREF pen = s.sel.pen ? s.sel.pen->m_color : RGB(0, 0, 0);
  return {{raster::RgbFromColorref(brush), raster::RgbFromColorref(s.sel.bkColor),
           raster::RgbFromColorref(pen)}};
}

const LOGFONT& LogFontOf(const CDC::State& s) {
  return s.sel.font ? s.sel.font->m_logFont : s.defFont.m_logFont;
}

bool IsPatternRop(DWORD rop) {
  return rop == WHITENESS || rop == BLACKNESS || rop == DSTINVERT || rop == kPatCopy ||
         rop == kPatInvert;
}

enum class Shape { kRect, kRoundRect, kEllipse };

raster::Box ShapeBox(Shape shape, i64 l, i64 t, i64 r, i64 b, i64 cw, i64 ch) {
  raster::Box box{l, t, r, b};
  const double w = double(r - l), h = double(b - t);
  if (shape == Shape::kEllipse) {
    box.rx = w / 2;
    box.ry = h / 2;
  } else if (shape == Shape::kRoundRect) {
    box.rx = std::min(double(cw < 0 ? -cw : cw), w) / 2;
    box.ry = std::min(double(ch < 0 ? -ch : ch), h) / 2;
  }
  return box;
}

// Rectangle, rounded rectangle and ellipse share one rule: the outline and a
// fill under a pen cover [l, r - 1] x [t, b - 1]; without a pen the fill is
// a pixel smaller on the right and bottom.
bool DrawShape(CDC::State& s, plat::Surface* surface, Shape shape, i64 l, i64 t, i64 r, i64 b,
               i64 cw = 0, i64 ch = 0) {
  if (surface == nullptr) return false;
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  const PenInfo pen = PenOf(s.sel.pen);
  const bool brush = HasBrush(s.sel.brush);
  if (pen.none && !brush) return true;
  QImage& image = surface->Pixels();
  raster::Spans spans(image.width(), image.height());
  if (brush) {
    const raster::Box fill = pen.none ? ShapeBox(shape, l, t, r - 1, b - 1, cw, ch)
                                      : ShapeBox(shape, l, t, r, b, cw, ch);
    raster::AddFilledBox(spans, fill, raster::kBrush);
  }
  if (!pen.none) {
    raster::AddBoxOutline(spans, ShapeBox(shape, l, t, r, b, cw, ch), pen.width, pen.dash,
                          s.sel.bkMode == OPAQUE);
  }
  spans.Resolve();
  plat::dc::Touch(s, surface, raster::Paint(image, spans.List(), ColoursOf(s), s.sel.rop));
  return true;
}

void AddPolyOutline(raster::Spans& spans, const POINT* pts, int n, bool closed, const PenInfo& pen,
                    bool opaque) {
  i64 step = 0;
  const int segments = closed ? n : n - 1;
  for (int i = 0; i < segments; ++i) {
    const POINT& a = pts[i];
    const POINT& b = pts[(i + 1) % n];
    if (pen.width == 1) {
      step += raster::AddThinLine(spans, a.x, a.y, b.x, b.y, pen.dash, opaque, step);
    } else {
      raster::AddWideLine(spans, a.x, a.y, b.x, b.y, pen.width, raster::kPen);
    }
  }
}

std::unique_ptr<plat::Surface> GrabScreen() {
  auto shot = std::make_unique<plat::Surface>();
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return shot;
  const double r = screen->devicePixelRatio();
  const QRect g = screen->geometry();
  QImage image = plat::x11::GrabScreen(
      QRect(plat::ToDevice(QPointF(g.topLeft()), r), plat::ToDevice(g.size(), r)));
  shot->SetImage(image.isNull() ? screen->grabWindow(0).toImage() : image);
  return shot;
}

}  // namespace

namespace plat::dc {

Surface* Target(const CDC* dc) {
  Surface* s = dc->GetSurface();
  return s != nullptr && s->Width() > 0 && s->Height() > 0 ? s : nullptr;
}

void Touch(CDC::State& state, Surface* surface, const QRect& rect) {
  if (rect.isEmpty()) return;
  state.dirty |= rect;
  surface->Damage(rect);
}

void StretchImage(CDC::State& state, Surface* surface, const QImage& src, std::int64_t x,
                  std::int64_t y, std::int64_t w, std::int64_t h, std::int64_t xs, std::int64_t ys,
                  std::int64_t ws, std::int64_t hs) {
  Touch(state, surface, raster::StretchCopy(surface->Pixels(), x, y, w, h, src, xs, ys, ws, hs));
}

}  // namespace plat::dc

using plat::dc::Target;
using plat::dc::Touch;

CDC::State::State() {
  defPen.CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
  defBrush.CreateSolidBrush(RGB(255, 255, 255));
  const LOGFONT systemFont;  // the 16-pixel default CJK face
  defFont.CreateFontIndirect(&systemFont);
  sel.pen = &defPen;
  sel.brush = &defBrush;
  sel.font = &defFont;
  sel.bitmap = &defBitmap;
}

CDC::CDC() : m_state(std::make_unique<State>()) {}
CDC::~CDC() = default;

bool CDC::CreateCompatibleDC(CDC*) {
  m_state->memory = true;
  m_state->screen = false;
  m_state->surface = nullptr;
  m_state->screenShot.reset();
  m_state->sel.bitmap = &m_state->defBitmap;
  return true;
}

void CDC::Attach(plat::Surface* surface, CWnd* wnd) {
  m_state->surface = surface;
  m_state->wnd = wnd;
}

plat::Surface* CDC::GetSurface() const {
  State& s = *m_state;
  if (s.memory) return s.sel.bitmap ? s.sel.bitmap->GetSurface() : nullptr;
  if (s.screen) {
    // One grab per context: every copy from it shows the same moment.
    if (!s.screenShot) s.screenShot = GrabScreen();
    return s.screenShot.get();
  }
  return s.surface;
}

RECT CDC::TakeDirtyRect() {
  const QRect r = m_state->dirty;
  m_state->dirty = QRect();
  if (r.isEmpty()) return {};
  return RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
}

CPen* CDC::SelectObject(CPen* pen) {
  if (pen == nullptr) return nullptr;
  return std::exchange(m_state->sel.pen, pen);
}

CBrush* CDC::SelectObject(CBrush* brush) {
  if (brush == nullptr) return nullptr;
  return std::exchange(m_state->sel.brush, brush);
}

CFont* CDC::SelectObject(CFont* font) {
  if (font == nullptr) return nullptr;
  return std::exchange(m_state->sel.font, font);
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
  if (bitmap == nullptr || !m_state->memory) return nullptr;
  return std::exchange(m_state->sel.bitmap, bitmap);
}

CGdiObject* CDC::SelectStockObject(int stock) {
  if (CPen* pen = StockPen(stock)) return SelectObject(pen);
  if (CBrush* brush = StockBrush(stock)) return SelectObject(brush);
  return nullptr;
}

int CDC::SetROP2(int rop) {
  if (rop < 1 || rop > 16) return 0;
  return std::exchange(m_state->sel.rop, rop);
}

int CDC::GetROP2() const { return m_state->sel.rop; }

COLORREF CDC::SetTextColor(COLORREF color) {
  return std::exchange(m_state->sel.textColor, color & 0xFFFFFF);
}

COLORREF CDC::SetBkColor(COLORREF color) {
  return std::exchange(m_state->sel.bkColor, color & 0xFFFFFF);
}

COLORREF CDC::GetBkColor() const { return m_state->sel.bkColor; }

int CDC::SetBkMode(int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return std::exchange(m_state->sel.bkMode, mode);
}

int CDC::SetStretchBltMode(int mode) {
  // Every mode copies without smoothing, as COLORONCOLOR does.
  if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
  return std::exchange(m_state->sel.stretchMode, mode);
}

int CDC::SaveDC() {
  m_state->saved.push_back(m_state->sel);
  return int(m_state->saved.size());
}

bool CDC::RestoreDC(int saved) {
  auto& stack = m_state->saved;
  const i64 level = saved < 0 ? i64(stack.size()) + 1 + saved : saved;
  if (level < 1 || level > i64(stack.size())) return false;
  m_state->sel = stack[std::size_t(level - 1)];
  stack.resize(std::size_t(level - 1));
  return true;
}

CPoint CDC::MoveTo(int x, int y) { return std::exchange(m_state->sel.pos, CPoint(x, y)); }

bool CDC::LineTo(int x, int y) {
  State& s = *m_state;
  const CPoint from = std::exchange(s.sel.pos, CPoint(x, y));
  plat::Surface* surface = Target(this);
  if (surface == nullptr) return false;
  const PenInfo pen = PenOf(s.sel.pen);
  if (pen.none) return true;
  QImage& image = surface->Pixels();
  const raster::Colours colours = ColoursOf(s);
  if (pen.width == 1) {
    // The pattern of a styled pen starts afresh with every line.
    Touch(s, surface,
          raster::ThinLine(image, from.x, from.y, x, y, pen.dash, s.sel.bkMode == OPAQUE, colours,
                           s.sel.rop));
  } else {
    raster::Spans spans(image.width(), image.height());
    raster::AddWideLine(spans, from.x, from.y, x, y, pen.width, raster::kPen);
    Touch(s, surface, raster::Paint(image, spans.List(), colours, s.sel.rop));
  }
  return true;
}

bool CDC::Rectangle(int l, int t, int r, int b) {
  return DrawShape(*m_state, Target(this), Shape::kRect, l, t, r, b);
}

bool CDC::RoundRect(int l, int t, int r, int b, int cornerW, int cornerH) {
  return DrawShape(*m_state, Target(this), Shape::kRoundRect, l, t, r, b, cornerW, cornerH);
}

bool CDC::Ellipse(int l, int t, int r, int b) {
  return DrawShape(*m_state, Target(this), Shape::kEllipse, l, t, r, b);
}

bool CDC::Polygon(const POINT* pts, int n) {
  plat::Surface* surface = Target(this);
  if (surface == nullptr || pts == nullptr || n < 2) return false;
  State& s = *m_state;
  const PenInfo pen = PenOf(s.sel.pen);
  const bool brush = HasBrush(s.sel.brush);
  QImage& image = surface->Pixels();
  raster::Spans spans(image.width(), image.height());
  if (brush) raster::AddPolygon(spans, pts, n, raster::kBrush);
  if (!pen.none) AddPolyOutline(spans, pts, n, true, pen, s.sel.bkMode == OPAQUE);
  spans.Resolve();
  Touch(s, surface, raster::Paint(image, spans.List(), ColoursOf(s), s.sel.rop));
  return true;
}

bool CDC::Polyline(const POINT* pts, int n) {
  plat::Surface* surface = Target(this);
  if (surface == nullptr || pts == nullptr || n < 2) return false;
  State& s = *m_state;
  const PenInfo pen = PenOf(s.sel.pen);
  if (pen.none) return true;
  QImage& image = surface->Pixels();
  raster::Spans spans(image.width(), image.height());
  AddPolyOutline(spans, pts, n, false, pen, s.sel.bkMode == OPAQUE);
  spans.Resolve();
  Touch(s, surface, raster::Paint(image, spans.List(), ColoursOf(s), s.sel.rop));
  return true;
}

void CDC::FillRect(const RECT* rc, CBrush* brush) {
  plat::Surface* surface = Target(this);
  if (surface == nullptr || rc == nullptr || !HasBrush(brush)) return;
  // A pattern copy: the binary raster operation does not apply.
  Touch(*m_state, surface,
        raster::FillRect(surface->Pixels(), rc->left, rc->top, rc->right, rc->bottom,
                         raster::RgbFromColorref(brush->m_color), R2_COPYPEN));
}

void CDC::FillSolidRect(const RECT* rc, COLORREF color) {
  // Filled as an opaque empty text: the background colour stays at color.
  SetBkColor(color);
  plat::Surface* surface = Target(this);
  if (surface == nullptr || rc == nullptr) return;
  Touch(*m_state, surface,
        raster::FillRect(surface->Pixels(), rc->left, rc->top, rc->right, rc->bottom,
                         raster::RgbFromColorref(color), R2_COPYPEN));
}

bool CDC::PatBlt(int x, int y, int w, int h, DWORD rop) {
  plat::Surface* surface = Target(this);
  if (surface == nullptr || !IsPatternRop(rop)) return false;
  i64 l = x, t = y, r = i64(x) + w, b = i64(y) + h;
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  QRgb colour = 0xFF000000u;
  int op = R2_COPYPEN;
  if (rop == WHITENESS) {
    colour = 0xFFFFFFFFu;
  } else if (rop == DSTINVERT) {
    op = R2_NOT;
  } else if (rop == kPatCopy || rop == kPatInvert) {
    if (!HasBrush(m_state->sel.brush)) return true;
    colour = raster::RgbFromColorref(m_state->sel.brush->m_color);
    if (rop == kPatInvert) op = kXorPen;
  }
  Touch(*m_state, surface, raster::FillRect(surface->Pixels(), l, t, r, b, colour, op));
  return true;
}

bool CDC::BitBlt(int x, int y, int w, int h, CDC* src, int xs, int ys, DWORD rop) {
  if (IsPatternRop(rop)) return PatBlt(x, y, w, h, rop);
  return StretchBlt(x, y, w, h, src, xs, ys, w, h, rop);
}

bool CDC::StretchBlt(int x, int y, int w, int h, CDC* src, int xs, int ys, int ws, int hs,
                     DWORD rop) {
  if (IsPatternRop(rop)) return PatBlt(x, y, w, h, rop);
  if (rop != SRCCOPY || src == nullptr) return false;
  plat::Surface* to = Target(this);
  plat::Surface* from = Target(src);
  if (to == nullptr || from == nullptr) return false;
  if (from != to) {
    const bool whole = x == 0 && y == 0 && xs == 0 && ys == 0 && w == ws && h == hs &&
                       w == to->Width() && h == to->Height() && w == from->Width() &&
                       h == from->Height();
    if (whole && m_state->memory && !to->IsMade()) {
      // A bitmap never drawn on takes the source's pixels as they are; the
      // first write to either copies (a screen capture costs one image, not three).
      to->SetImage(from->Peek());
      Touch(*m_state, to, QRect(0, 0, w, h));
      return true;
    }
    if (whole) to->Overwrite();
    plat::dc::StretchImage(*m_state, to, from->Peek(), x, y, w, h, xs, ys, ws, hs);
    return true;
  }
  // Within one surface: copy the source part first so that overlapping
  // rectangles read the pixels as they were.
  i64 sl = xs, st = ys, sr = i64(xs) + ws, sb = i64(ys) + hs;
  if (sl > sr) std::swap(sl, sr);
  if (st > sb) std::swap(st, sb);
  sl = std::max<i64>(sl, 0), st = std::max<i64>(st, 0);
  sr = std::min<i64>(sr, to->Width()), sb = std::min<i64>(sb, to->Height());
  if (sl >= sr || st >= sb) return true;
  const QImage part = to->Pixels().copy(int(sl), int(st), int(sr - sl), int(sb - st));
  plat::dc::StretchImage(*m_state, to, part, x, y, w, h, xs - sl, ys - st, ws, hs);
  return true;
}

COLORREF CDC::GetPixel(int x, int y) const {
  plat::Surface* surface = Target(this);
  if (surface == nullptr || x < 0 || y < 0 || x >= surface->Width() || y >= surface->Height()) {
    return CLR_INVALID;
  }
  return raster::ColorrefFromRgb(surface->PixelAt(x, y));
}

int CDC::GetClipBox(RECT* rc) const {
  const plat::Surface* surface = Target(this);
  const bool drawn = surface != nullptr && surface->Width() > 0 && surface->Height() > 0;
  if (rc != nullptr) *rc = drawn ? RECT{0, 0, surface->Width(), surface->Height()} : RECT{};
  return drawn ? SIMPLEREGION : NULLREGION;
}

COLORREF CDC::SetPixel(int x, int y, COLORREF color) {
  plat::Surface* surface = Target(this);
  if (surface == nullptr || x < 0 || y < 0 || x >= surface->Width() || y >= surface->Height()) {
    return CLR_INVALID;
  }
  Touch(*m_state, surface,
        raster::FillRect(surface->Pixels(), x, y, i64(x) + 1, i64(y) + 1,
                         raster::RgbFromColorref(color), R2_COPYPEN));
  return color & 0xFFFFFF;
}

bool CDC::ExtFloodFill(int x, int y, COLORREF color, UINT type) {
  plat::Surface* surface = Target(this);
  if (surface == nullptr || (type != FLOODFILLSURFACE && type != FLOODFILLBORDER)) return false;
  const QRgb brush = ColoursOf(*m_state).c[raster::kBrush];
  QRect touched;
  if (!raster::FloodFill(surface->Pixels(), x, y, raster::RgbFromColorref(color),
                         type == FLOODFILLSURFACE, HasBrush(m_state->sel.brush) ? &brush : nullptr,
                         &touched))
    return false;
  Touch(*m_state, surface, touched);
  return true;
}

bool CDC::TextOut(int x, int y, const std::string& gbk) {
  return TextOut(x, y, gbk.data(), int(std::min<std::size_t>(gbk.size(), 0x7FFFFFFF)));
}

bool CDC::TextOut(int x, int y, const char* gbk, int bytes) {
  plat::Surface* surface = Target(this);
  if (surface == nullptr || bytes < 0 || (gbk == nullptr && bytes > 0)) return false;
  State& s = *m_state;
  const plat::ResolvedFont font = plat::ResolveFont(LogFontOf(s));
  const i64 cell = font.ascent + font.descent;
  const i64 slack = cell + 8;  // italic overhang and glyphs beyond the cell
  // No byte of a text that cannot reach the target is decoded or measured;
  // this also keeps absurd coordinates away from the painter. Leftwards a
  // byte advances the pen at most by a wide glyph at the font's stretch.
  const i64 byteBound = std::max<i64>(font.maxCharWidth, cell) * (1 + font.font.stretch() / 100);
  if (i64(y) + cell + slack < 0 || i64(x) - slack >= surface->Width() ||
      i64(y) - slack >= surface->Height() || i64(x) + bytes * byteBound + slack < 0) {
    return true;
  }
  const plat::VisibleRun run = plat::VisibleTextRun(font, std::string_view(gbk, std::size_t(bytes)),
                                                    x, surface->Width(), slack);
  const QString& text = run.text;
  const QFontMetrics metrics(font.font);
  const i64 advance = metrics.horizontalAdvance(text);
  const int left = int(run.x);  // left of the target by less than a piece
  QRect touched;
  if (s.sel.bkMode == OPAQUE) {
    touched = raster::FillRect(surface->Pixels(), left, y, left + advance, y + cell,
                               raster::RgbFromColorref(s.sel.bkColor), R2_COPYPEN);
  }
  if (!text.isEmpty()) {
    QPainter& painter = surface->Painter();
    if (surface->Claim((font.id << 24) | s.sel.textColor)) {
      painter.setFont(font.font);
      painter.setPen(QColor::fromRgb(raster::RgbFromColorref(s.sel.textColor)));
      painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    painter.drawText(QPoint(left, y + font.ascent), text);
    touched |= metrics.boundingRect(text).translated(left, y + font.ascent).adjusted(-1, -1, 1, 1);
    touched |= QRect(left, y, int(advance), int(cell));
  }
  Touch(s, surface, touched & QRect(0, 0, surface->Width(), surface->Height()));
  return true;
}

SIZE CDC::GetTextExtent(const std::string& gbk) const {
  const plat::ResolvedFont font = plat::ResolveFont(LogFontOf(*m_state));
  const QFontMetrics metrics(font.font);
  return SIZE{metrics.horizontalAdvance(plat::TextFromGbk(gbk)), font.ascent + font.descent};
}

bool CDC::GetTextMetrics(TEXTMETRIC* tm) const {
  if (tm == nullptr) return false;
  const plat::ResolvedFont font = plat::ResolveFont(LogFontOf(*m_state));
  tm->tmHeight = font.ascent + font.descent;
  tm->tmAscent = font.ascent;
  tm->tmDescent = font.descent;
  tm->tmAveCharWidth = font.aveCharWidth;
  tm->tmMaxCharWidth = font.maxCharWidth;
  return true;
}

CClientDC::CClientDC(CWnd* wnd) {
  if (wnd != nullptr) Attach(wnd->GetSurface(), wnd);
}

CClientDC::~CClientDC() = default;

CWindowDC::CWindowDC(CWnd* wnd) {
  if (wnd != nullptr) {
    Attach(wnd->GetSurface(), wnd);
  } else {
    m_state->screen = true;
  }
}

CWindowDC::~CWindowDC() = default;
