// The replay engine: turns records [from, to) back into pixels, at once or
// as an animation the audience can follow with the mouse pointer.
#include <algorithm>

#include "platform/wnd.h"
#include "records/board_core.h"
#include "records/draw_geometry.h"
#include "records/draw_routines.h"
#include "records/style_objects.h"

namespace {

unsigned Delay(int ms) { return ms > 0 ? static_cast<unsigned>(ms) : 0u; }

}  // namespace

void CBoardCore::Replay(int from, int to, bool animate) {
  // Callers pass counts that may come from a file: the range never leaves
  // the store, and an empty or reversed range draws nothing.
  from = std::clamp(from, 0, kRecordSlots);
  to = std::clamp(to, from, kRecordSlots);
  if (from == 0) ResetStyle(false);
  if (from == to) return;

  const unsigned pause = Delay(m_nReplayDelay);
  // The shapes drawn at their press point, then the pointer goes on to the
  // release point and waits again.
  auto enterShape = [&](UINT tool, const DrawRecord& r) {
    if (!animate) return;
    m_nTool = tool;
    SetToolCursor();
    SetCursorPos(r.f3, r.f4);
    Sleep(pause);
  };
  auto leaveShape = [&](const DrawRecord& r) {
    if (!animate) return;
    SetCursorPos(r.f1, r.f2);
    Sleep(pause / 2);
  };

  std::unique_ptr<CDC> dc = GetBoardDC();
  if (!dc) return;
  for (int i = from; i < to; ++i) {
    const DrawRecord r = g_records[i];
    switch (r.op) {
      case op::kPenSegment: {
        if (animate) {
          m_nTool = ID_TOOL_PEN;
          SetCursorPos(r.f1, r.f2);
        }
        CPen* old = dc->SelectObject(&m_pen);
        DrawClippedSegment(*dc, r.f3, r.f4, r.f1, r.f2);
        dc->SelectObject(old);
        break;
      }
      case op::kBrushDab: {
        if (animate) {
          m_nTool = ID_TOOL_BRUSH;
          SetCursorPos(r.f1, r.f2);
        }
        const std::int64_t x = r.f1, y = r.f2;
        const RECT rc{ClampCoord(x), ClampCoord(y), ClampCoord(x + 15), ClampCoord(y + 10)};
        dc->FillRect(&rc, &m_brush);
        break;
      }
      case op::kText:
        if (animate) {
          m_nTool = ID_TOOL_TEXT;
          SetToolCursor();
          SetCursorPos(r.f1, r.f2);
          Sleep(pause);
        }
        if (m_posText != m_texts.end()) {
          const std::string text = *m_posText++;
          DrawTextRecord(i, text);
        }
        break;
      case op::kFloodFill: {
        if (animate) {
          m_nTool = ID_TOOL_FILL;
          SetToolCursor();
          SetCursorPos(r.f1, r.f2);
          Sleep(pause);
        }
        const COLORREF surface = dc->GetPixel(r.f1, r.f2);
        if (surface == CLR_INVALID) break;  // the point is off the board
        CBrush* old = dc->SelectObject(&m_brush);
        dc->ExtFloodFill(r.f1, r.f2, surface, FLOODFILLSURFACE);
        dc->SelectObject(old);
        break;
      }
      case op::kLine:
      case op::kPolyline: {
        enterShape(r.op == op::kLine ? ID_TOOL_LINE : ID_TOOL_POLYLINE, r);
        CPen* old = dc->SelectObject(&m_pen);
        DrawClippedSegment(*dc, r.f3, r.f4, r.f1, r.f2);
        dc->SelectObject(old);
        leaveShape(r);
        break;
      }
      case op::kArrow: {
        enterShape(ID_TOOL_ARROW, r);
        // A replayed arrow has no rubber band under it: inverting its line
        // to take one away would leave the pixels the shaft and head miss
        // inverted on the picture.
        const bool redrawing = m_bRedrawing;
        m_bRedrawing = true;
        DrawArrowLine(r.f3, r.f4, r.f1, r.f2, g_style.penStyle, g_style.penWidth, 10,
                      g_style.penColor);
        m_bRedrawing = redrawing;
        leaveShape(r);
      } break;
      case op::kRect:
      case op::kRoundRect:
        enterShape(r.op == op::kRect ? ID_TOOL_RECT : ID_TOOL_ROUNDRECT, r);
        DrawRectRecord(i, r.op == op::kRoundRect);
        leaveShape(r);
        break;
      case op::kEllipse:
        enterShape(ID_TOOL_ELLIPSE, r);
        DrawEllipseRecord(i);
        leaveShape(r);
        break;
      case op::kTransparentOn:
        m_bTransparent = true;
        break;
      case op::kTransparentOff:
        m_bTransparent = false;
        break;
      case op::kPen:
        g_style.penStyle = r.f3;
        g_style.penWidth = r.f4;
        g_style.penColor = static_cast<COLORREF>(r.f5);
        CreateStylePen(m_pen, r.f3, r.f4, g_style.penColor);
        break;
      case op::kBrush:
        g_style.brushColor = static_cast<COLORREF>(r.f5);
        m_brush.DeleteObject();
        m_brush.CreateSolidBrush(g_style.brushColor);
        break;
      case op::kFill:
        g_style.outline = r.f3;
        g_style.fill = r.f4;
        break;
      case op::kFont:
        if (m_posText == m_texts.end()) break;
        m_logFont.lfFaceName = *m_posText++;
        m_logFont.lfHeight = r.f3;
        m_logFont.lfWeight = r.f4;
        m_logFont.lfUnderline = static_cast<BYTE>(r.f1 & 0xFF);
        m_logFont.lfItalic = static_cast<BYTE>(r.f2 & 0xFF);
        CreateStyleFont(m_font, m_logFont);
        break;
      default:  // "N" and unknown bytes
        break;
    }
  }
}
