// The replay engine: turns records [from, to) back into pixels, at once or
// as an animation the audience can follow with the mouse pointer.
#include <algorithm>

#include "platform/wnd.h"
#include "records/board_core.h"
#include "records/draw_routines.h"

namespace {

unsigned Delay(int ms) { return ms > 0 ? static_cast<unsigned>(ms) : 0u; }

// The tool an animated replay shows for a two-point shape.
UINT ShapeTool(char opcode) {
  switch (opcode) {
    case op::kLine:
      return ID_TOOL_LINE;
    case op::kPolyline:
      return ID_TOOL_POLYLINE;
    case op::kArrow:
      return ID_TOOL_ARROW;
    case op::kRect:
      return ID_TOOL_RECT;
    case op::kRoundRect:
      return ID_TOOL_ROUNDRECT;
    default:
      return ID_TOOL_ELLIPSE;
  }
}

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
      case op::kPenSegment:
      case op::kBrushDab:
        // Strokes are quick: the pointer follows them without pauses.
        if (animate) {
          m_nTool = r.op == op::kPenSegment ? ID_TOOL_PEN : ID_TOOL_BRUSH;
          SetCursorPos(r.f1, r.f2);
        }
        DrawRecordOn(*dc, *this, r);
        break;
      case op::kText:
      case op::kFloodFill:
        if (animate) {
          m_nTool = r.op == op::kText ? ID_TOOL_TEXT : ID_TOOL_FILL;
          SetToolCursor();
          SetCursorPos(r.f1, r.f2);
          Sleep(pause);
        }
        if (r.op == op::kFloodFill) {
          DrawRecordOn(*dc, *this, r);
        } else if (m_posText != m_texts.end()) {
          const std::string text = *m_posText++;
          DrawRecordOn(*dc, *this, r, text);
        }
        break;
      case op::kLine:
      case op::kPolyline:
      case op::kArrow:
      case op::kRect:
      case op::kRoundRect:
      case op::kEllipse:
        enterShape(ShapeTool(r.op), r);
        DrawRecordOn(*dc, *this, r);
        leaveShape(r);
        break;
      case op::kTransparentOn:
        m_bTransparent = true;
        break;
      case op::kTransparentOff:
        m_bTransparent = false;
        break;
      case op::kPen:
      case op::kBrush:
      case op::kFill:
        ApplyStyleRecord(r, nullptr);
        break;
      case op::kFont:
        // A font record without its face name left draws with the font as is.
        if (m_posText == m_texts.end()) break;
        ApplyStyleRecord(r, &*m_posText++);
        break;
      default:  // "N" and unknown bytes
        break;
    }
  }
}
