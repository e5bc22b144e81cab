#include "records/draw_routines.h"

#include <algorithm>
#include <climits>

#include "records/board_core.h"
#include "records/draw_geometry.h"
#include "records/style_objects.h"

void DrawClippedSegment(CDC& dc, std::int64_t x0, std::int64_t y0, std::int64_t x1,
                        std::int64_t y1) {
  if (!ClipSegment(x0, y0, x1, y1)) return;
  dc.MoveTo(LONG(x0), LONG(y0));
  dc.LineTo(LONG(x1), LONG(y1));
}

void DrawTextRecord(CDC& dc, CBoardCore& board, const DrawRecord& r, const std::string& text) {
  if (!board.m_bTransparent) {
    // The box with the context's own 1-pixel black pen.
    CSelectScope<CBrush> brush(dc, &board.m_brush);
    dc.Rectangle(ClampCoord(std::int64_t(r.f1) - 2), ClampCoord(std::int64_t(r.f2) - 2),
                 ClampCoord(std::int64_t(r.f3) - 2), ClampCoord(std::int64_t(r.f4) - 2));
  }
  CSelectScope<CFont> font(dc, &board.m_font);
  const COLORREF oldColor = dc.SetTextColor(g_style.penColor);
  const int oldMode = dc.SetBkMode(TRANSPARENT);
  // A zero size (only from a file) asks the platform for its default size:
  // the text is laid out in the cell of the font that draws it.
  LONG cellWidth = board.m_logFont.lfWidth, cellHeight = board.m_logFont.lfHeight;
  TEXTMETRIC tm{};
  dc.GetTextMetrics(&tm);
  if (cellWidth == 0) cellWidth = tm.tmAveCharWidth;
  if (cellHeight == 0) cellHeight = tm.tmHeight;
  // Lines that cannot reach the target are not laid out: a crafted text of
  // millions of short lines costs only its visible rows. The margin is the
  // glyph cell and its overhang, the reach the platform allows a line.
  RECT clip{};
  const bool drawn = dc.GetClipBox(&clip) != NULLREGION;
  const std::int64_t reach = 2 * std::int64_t(tm.tmHeight) + 8;
  for (const TextLine& line :
       drawn ? LayoutTextLines(text, r.f1, r.f2, r.f3, r.f4, cellWidth, cellHeight,
                               clip.top - reach, clip.bottom + reach)
             : std::vector<TextLine>{}) {
    dc.TextOut(LONG(r.f1), line.y, text.data() + line.offset,
               int(std::min<std::size_t>(line.length, INT_MAX)));
  }
  dc.SetBkMode(oldMode);
  dc.SetTextColor(oldColor);
}

// The drag's band is gone by the time the arrow is drawn (the gesture
// erases it), so the arrow only paints: inverting its line once more would
// leave the pixels that shaft and head miss inverted.
void DrawArrowLine(CDC& dc, int x0, int y0, int x1, int y1, int style, int width, int k,
                   COLORREF color) {
  const ArrowGeometry g = ComputeArrowHead(x0, y0, x1, y1, width, k);
  if (!g.drawn) return;
  CPen pen;
  CreateStylePen(pen, style, width, color);
  CBrush brush(color);
  {
    CSelectScope<CPen> selectPen(dc, &pen);
    CSelectScope<CBrush> selectBrush(dc, &brush);
    DrawClippedSegment(dc, x0, y0, g.shaftEnd.x, g.shaftEnd.y);
    const std::vector<POINT> head = ClipPolygon({{x1, y1}, g.corner1, g.corner2});
    if (head.size() >= 3) dc.Polygon(head.data(), int(head.size()));
  }
  pen.DeleteObject();
  brush.DeleteObject();
}

namespace {

enum class Shape { kRect, kRoundRect, kEllipse };

// Press corner (f3, f4), release corner (f1, f2); insets in 64 bits so that
// coordinates at the ends of the 32-bit range cannot overflow.
void DrawShape(CDC& dc, CBoardCore& board, const DrawRecord& r, Shape shape) {
  const bool fill = g_style.fill == 1, outline = g_style.outline == 1;
  // Transparent display inverts a filled shape's area instead of painting it.
  const bool inverted = board.m_bTransparent && fill;
  // Without an outline the shape grows by the pixel the outline would take.
  std::int64_t grow = outline ? 0 : 1;
  if (inverted && outline) grow = shape == Shape::kEllipse ? 0 : -3;
  CPen* pen = inverted || !outline ? &board.m_nullPen : &board.m_pen;
  // An inverted shape keeps the context's brush: the raster operation
  // ignores its colour, and only its interior counts.
  CBrush* brush = inverted ? nullptr : fill ? &board.m_brush : &board.m_nullBrush;
  CSelectScope<CPen> selectPen(dc, pen);
  CSelectScope<CBrush> selectBrush(dc, brush);
  const int oldRop = dc.SetROP2(inverted ? R2_NOT : dc.GetROP2());
  // Clamping leaves a rectangle's visible pixels as they are; an ellipse
  // larger than the range (only from a damaged file) becomes the ellipse of
  // the clamped box, drawn quickly instead of exactly.
  const LONG l = ClampCoord(std::int64_t(r.f3) - grow), t = ClampCoord(std::int64_t(r.f4) - grow);
  const LONG rt = ClampCoord(std::int64_t(r.f1) + grow), b = ClampCoord(std::int64_t(r.f2) + grow);
  switch (shape) {
    case Shape::kRect:
      dc.Rectangle(l, t, rt, b);
      break;
    case Shape::kRoundRect:
      dc.RoundRect(l, t, rt, b, board.m_nCorner, board.m_nCorner);
      break;
    case Shape::kEllipse:
      dc.Ellipse(l, t, rt, b);
      break;
  }
  dc.SetROP2(oldRop);
}

}  // namespace

void DrawRectRecord(CDC& dc, CBoardCore& board, const DrawRecord& r, bool rounded) {
  DrawShape(dc, board, r, rounded ? Shape::kRoundRect : Shape::kRect);
}

void DrawEllipseRecord(CDC& dc, CBoardCore& board, const DrawRecord& r) {
  DrawShape(dc, board, r, Shape::kEllipse);
}

bool FloodFillSurface(CDC& dc, int x, int y, CBrush& brush) {
  const COLORREF surface = dc.GetPixel(x, y);
  if (surface == CLR_INVALID) return false;
  CSelectScope<CBrush> select(dc, &brush);
  return dc.ExtFloodFill(x, y, surface, FLOODFILLSURFACE);
}

void DrawRecordOn(CDC& dc, CBoardCore& board, const DrawRecord& r, const std::string& text) {
  switch (r.op) {
    case op::kPenSegment:
    case op::kLine:
    case op::kPolyline: {
      CSelectScope<CPen> pen(dc, &board.m_pen);
      DrawClippedSegment(dc, r.f3, r.f4, r.f1, r.f2);
      break;
    }
    case op::kBrushDab: {
      const std::int64_t x = r.f1, y = r.f2;
      const RECT rc{ClampCoord(x), ClampCoord(y), ClampCoord(x + 15), ClampCoord(y + 10)};
      dc.FillRect(&rc, &board.m_brush);
      break;
    }
    case op::kArrow: {
      // The pen in force, as for lines: the style's width and line style
      // outlive a reset and change without a record when the store is
      // full, so an arrow drawn from them would redraw otherwise later.
      const CPen& pen = board.m_pen;
      DrawArrowLine(dc, r.f3, r.f4, r.f1, r.f2, pen.m_style, pen.m_width, 10, pen.m_color);
      break;
    }
    case op::kRect:
    case op::kRoundRect:
      DrawRectRecord(dc, board, r, r.op == op::kRoundRect);
      break;
    case op::kEllipse:
      DrawEllipseRecord(dc, board, r);
      break;
    case op::kText:
      DrawTextRecord(dc, board, r, text);
      break;
    case op::kFloodFill:
      // Replayed with the brush colour in force, whatever colour the live
      // click painted with.
      FloodFillSurface(dc, r.f1, r.f2, board.m_brush);
      break;
    default:  // style, transparent-display, "N" and unknown bytes
      break;
  }
}
