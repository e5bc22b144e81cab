// The replay engine: turns records [from, to) back into pixels, at once or
// as an animation the audience can follow with the mouse pointer.
#include <algorithm>

#include "platform/wnd.h"
#include "records/board_core.h"
#include "records/draw_routines.h"
#include "records/replay_timeline.h"

namespace {
unsigned Delay(int ms) { return ms > 0 ? static_cast<unsigned>(ms) : 0u; }
}  // namespace

void CBoardCore::ReplayRecord(CDC& dc, const DrawRecord& r) {
  switch (r.op) {
    case op::kText:
      // A text record without its entry left draws nothing.
      if (m_posText != m_texts.end()) {
        const std::string text = *m_posText++;
        DrawRecordOn(dc, *this, r, text);
      }
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
    default:  // drawings; "N" and unknown bytes draw nothing
      DrawRecordOn(dc, *this, r);
      break;
  }
}

void CBoardCore::Replay(int from, int to, bool animate) {
  // Callers pass counts that may come from a file: the range never leaves
  // the store, and an empty or reversed range draws nothing.
  from = std::clamp(from, 0, kRecordSlots);
  to = std::clamp(to, from, kRecordSlots);
  if (from == 0) ResetStyle(false);
  if (from == to) return;

  std::unique_ptr<CDC> dc = GetBoardDC();
  if (!dc) return;
  for (int i = from; i < to; ++i) {
    const DrawRecord r = g_records[i];
    if (!animate) {
      ReplayRecord(*dc, r);
      continue;
    }
    std::uint64_t now = 0;
    for (const ReplayStep& s : AnimateRecord(r, i, Delay(m_nReplayDelay))) {
      if (s.atMs > now) Sleep(unsigned(s.atMs - now));
      now = s.atMs;
      switch (s.kind) {
        case ReplayStep::kTool:
          m_nTool = s.tool;
          if (s.cursor) SetToolCursor();
          break;
        case ReplayStep::kMove:
          SetCursorPos(s.pointer.x, s.pointer.y);
          break;
        case ReplayStep::kDraw:
          ReplayRecord(*dc, r);
          break;
        case ReplayStep::kEnd:
          break;
      }
    }
  }
}
