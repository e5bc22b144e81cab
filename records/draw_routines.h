#pragma once
// Drawing helpers shared by the replay engine and the record routines.
#include <cstdint>

#include "platform/gdi.h"

// A line with the selected pen, clipped to the coordinate range first so
// that far-off ends from a damaged file draw the same visible pixels quickly.
void DrawClippedSegment(CDC& dc, std::int64_t x0, std::int64_t y0, std::int64_t x1,
                        std::int64_t y1);
