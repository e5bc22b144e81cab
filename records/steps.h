#pragma once
// The drawing cut into the steps a teacher walks a class through: one
// gesture each, a whole pen stroke, brush stroke, polyline, shape, text or
// fill. Style records carry no picture of their own; they go with the
// gesture they precede, and those after the last gesture with the last.
#include <vector>

#include "records/draw_record.h"

// The record counts at which each step is complete, ascending; the last is
// count itself (none for an empty drawing).
std::vector<int> StepEnds(const DrawRecord* records, int count);

// The first step end past `position` (from inside a step: the end of that
// step); count when there is none.
int NextStepEnd(const DrawRecord* records, int count, int position);
// The last step end before `position`; 0, the bare background, when none.
int PreviousStepEnd(const DrawRecord* records, int count, int position);
