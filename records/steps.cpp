#include "records/steps.h"

#include <algorithm>

namespace {

bool Draws(char opcode) {
  switch (opcode) {
    case op::kPenSegment:
    case op::kBrushDab:
    case op::kPolyline:
    case op::kLine:
    case op::kArrow:
    case op::kRect:
    case op::kRoundRect:
    case op::kEllipse:
    case op::kText:
    case op::kFloodFill:
      return true;
    default:
      return false;
  }
}

// Whether `next` goes on the stroke or polyline that `last` belongs to. A
// pen stroke's segments join end to start; so do a polyline's, whose first
// segment is a point. A brush stroke leaves no joins: its dabs run on until
// anything else comes between.
bool Continues(const DrawRecord& last, const DrawRecord& next) {
  if (next.op != last.op) return false;
  const bool joins = next.f3 == last.f1 && next.f4 == last.f2;
  switch (next.op) {
    case op::kBrushDab:
      return true;
    case op::kPenSegment:
      return joins;
    case op::kPolyline:
      return joins && !(next.f1 == next.f3 && next.f2 == next.f4);
    default:
      return false;
  }
}

}  // namespace

std::vector<int> StepEnds(const DrawRecord* records, int count) {
  std::vector<int> ends;
  count = std::clamp(count, 0, kRecordSlots);
  if (!records) return ends;
  for (int i = 0; i < count; ++i) {
    if (!Draws(records[i].op)) continue;
    if (!ends.empty() && ends.back() == i && Continues(records[i - 1], records[i]))
      ends.back() = i + 1;
    else
      ends.push_back(i + 1);
  }
  if (ends.empty()) {
    if (count > 0) ends.push_back(count);
  } else {
    ends.back() = count;
  }
  return ends;
}

int NextStepEnd(const DrawRecord* records, int count, int position) {
  const std::vector<int> ends = StepEnds(records, count);
  auto it = std::upper_bound(ends.begin(), ends.end(), position);
  return it == ends.end() ? std::clamp(count, 0, kRecordSlots) : *it;
}

int PreviousStepEnd(const DrawRecord* records, int count, int position) {
  const std::vector<int> ends = StepEnds(records, count);
  auto it = std::lower_bound(ends.begin(), ends.end(), position);
  return it == ends.begin() ? 0 : *std::prev(it);
}
