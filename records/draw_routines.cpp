// The record drawing routines shared by the replay engine and the live
// tools. Each takes a fresh board context and puts back what it selects.
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

void CBoardCore::DrawTextRecord(int i, const std::string& text) {
  if (i < 0 || i >= kRecordSlots) return;
  const DrawRecord r = g_records[i];
  std::unique_ptr<CDC> dc = GetBoardDC();
  if (!dc) return;
  if (!m_bTransparent) {
    // The box with the context's own 1-pixel black pen.
    CBrush* oldBrush = dc->SelectObject(&m_brush);
    dc->Rectangle(ClampCoord(std::int64_t(r.f1) - 2), ClampCoord(std::int64_t(r.f2) - 2),
                  ClampCoord(std::int64_t(r.f3) - 2), ClampCoord(std::int64_t(r.f4) - 2));
    dc->SelectObject(oldBrush);
  }
  CFont* oldFont = dc->SelectObject(&m_font);
  dc->SetTextColor(g_style.penColor);
  dc->SetBkMode(TRANSPARENT);
  // A zero size (only from a file) asks the platform for its default size:
  // the text is laid out in the cell of the font that draws it.
  LONG cellWidth = m_logFont.lfWidth, cellHeight = m_logFont.lfHeight;
  if (cellWidth == 0 || cellHeight == 0) {
    TEXTMETRIC tm;
    if (dc->GetTextMetrics(&tm)) {
      if (cellWidth == 0) cellWidth = tm.tmAveCharWidth;
      if (cellHeight == 0) cellHeight = tm.tmHeight;
    }
  }
  for (const TextLine& line :
       LayoutTextLines(text, r.f1, r.f2, r.f3, r.f4, cellWidth, cellHeight)) {
    dc->TextOut(LONG(r.f1), line.y, text.data() + line.offset,
                int(std::min<std::size_t>(line.length, INT_MAX)));
  }
  dc->SelectObject(oldFont);
}

void CBoardCore::DrawArrowLine(int x0, int y0, int x1, int y1, int style, int width, int k,
                               COLORREF color) {
  const ArrowGeometry g = ComputeArrowHead(x0, y0, x1, y1, width, k);
  if (!g.drawn) return;
  std::unique_ptr<CDC> dc = GetBoardDC();
  if (!dc) return;
  CPen pen;
  CreateStylePen(pen, style, width, color);
  CPen* oldPen = dc->SelectObject(&pen);
  if (!m_bRedrawing) {
    // Inverting the whole line again takes away the drag's rubber band.
    dc->SetROP2(R2_NOT);
    DrawClippedSegment(*dc, x0, y0, x1, y1);
  }
  dc->SetROP2(R2_COPYPEN);
  DrawClippedSegment(*dc, x0, y0, g.shaftEnd.x, g.shaftEnd.y);
  CBrush brush(color);
  CBrush* oldBrush = dc->SelectObject(&brush);
  const std::vector<POINT> head = ClipPolygon({{x1, y1}, g.corner1, g.corner2});
  if (head.size() >= 3) dc->Polygon(head.data(), int(head.size()));
  dc->SelectObject(oldBrush);
  dc->SelectObject(oldPen);
  dc.reset();
  pen.DeleteObject();
  brush.DeleteObject();
}

namespace {

enum class Shape { kRect, kRoundRect, kEllipse };

// Press corner (f3, f4), release corner (f1, f2); insets in 64 bits so that
// coordinates at the ends of the 32-bit range cannot overflow.
void DrawShapeRecord(CBoardCore& board, CDC& dc, const DrawRecord& r, Shape shape) {
  const bool fill = g_style.fill == 1, outline = g_style.outline == 1;
  // Transparent display inverts a filled shape's area instead of painting it.
  const bool inverted = board.m_bTransparent && fill;
  // Without an outline the shape grows by the pixel the outline would take.
  std::int64_t grow = outline ? 0 : 1;
  if (inverted && outline) grow = shape == Shape::kEllipse ? 0 : -3;
  CPen* oldPen = nullptr;
  CBrush* oldBrush = nullptr;
  if (inverted) {
    oldPen = dc.SelectObject(&board.m_nullPen);
    dc.SetROP2(R2_NOT);
  } else {
    oldPen = dc.SelectObject(outline ? &board.m_pen : &board.m_nullPen);
    oldBrush = dc.SelectObject(fill ? &board.m_brush : &board.m_nullBrush);
  }
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
  if (oldBrush) dc.SelectObject(oldBrush);
  dc.SelectObject(oldPen);
  if (inverted) dc.SetROP2(R2_COPYPEN);
}

}  // namespace

void CBoardCore::DrawRectRecord(int i, bool rounded) {
  if (i < 0 || i >= kRecordSlots) return;
  std::unique_ptr<CDC> dc = GetBoardDC();
  if (dc) DrawShapeRecord(*this, *dc, g_records[i], rounded ? Shape::kRoundRect : Shape::kRect);
}

void CBoardCore::DrawEllipseRecord(int i) {
  if (i < 0 || i >= kRecordSlots) return;
  std::unique_ptr<CDC> dc = GetBoardDC();
  if (dc) DrawShapeRecord(*this, *dc, g_records[i], Shape::kEllipse);
}
