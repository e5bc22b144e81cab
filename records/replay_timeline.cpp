#include "records/replay_timeline.h"

#include <algorithm>

#include "res/resource.h"

namespace {

// The tool an animated replay shows for a record; 0 for none.
UINT AnimatedTool(char opcode) {
  switch (opcode) {
    case op::kPenSegment:
      return ID_TOOL_PEN;
    case op::kBrushDab:
      return ID_TOOL_BRUSH;
    case op::kText:
      return ID_TOOL_TEXT;
    case op::kFloodFill:
      return ID_TOOL_FILL;
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
    case op::kEllipse:
      return ID_TOOL_ELLIPSE;
    default:
      return 0;
  }
}

}  // namespace

std::vector<ReplayStep> AnimateRecord(const DrawRecord& r, int index, unsigned delayMs) {
  std::vector<ReplayStep> steps;
  std::uint64_t now = 0;
  auto add = [&](ReplayStep::Kind kind, POINT pt = {}, UINT tool = 0, bool cursor = false) {
    steps.push_back({kind, index, now, pt, tool, cursor});
  };
  const UINT tool = AnimatedTool(r.op);
  if (tool == 0) {
    add(ReplayStep::kDraw);
    add(ReplayStep::kEnd);
    return steps;
  }
  // Strokes are quick: the pointer follows them without pauses or cursor.
  const bool stroke = r.op == op::kPenSegment || r.op == op::kBrushDab;
  // Texts and fills are shown at their point; two-point shapes at the
  // press point, then the pointer goes on to the release point.
  const bool onePoint = stroke || r.op == op::kText || r.op == op::kFloodFill;
  add(ReplayStep::kTool, {}, tool, !stroke);
  add(ReplayStep::kMove, onePoint ? POINT{r.f1, r.f2} : POINT{r.f3, r.f4});
  if (!stroke) now += delayMs;
  add(ReplayStep::kDraw);
  if (!onePoint) {
    add(ReplayStep::kMove, POINT{r.f1, r.f2});
    now += delayMs / 2;
  }
  add(ReplayStep::kEnd);
  return steps;
}

std::vector<ReplayStep> PlayTimeline(const DrawRecord* records, int count, unsigned delayMs) {
  std::vector<ReplayStep> timeline;
  count = std::clamp(count, 0, kRecordSlots);
  std::uint64_t start = 0;
  for (int i = 0; i < count; ++i) {
    start += ReplayTickMs(delayMs);
    for (ReplayStep s : AnimateRecord(records[i], i, delayMs)) {
      s.atMs += start;
      timeline.push_back(s);
    }
    start = timeline.back().atMs;
  }
  return timeline;
}
