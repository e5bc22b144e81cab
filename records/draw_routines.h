#pragma once
// The one place a drawing record becomes pixels. The live release of every
// gesture and every replay call DrawRecordOn for the same record, so a live
// picture and its replay cannot drift apart.
#include <cstdint>
#include <string>

#include "platform/gdi.h"
#include "records/draw_record.h"

class CBoardCore;

// Draws record r (line, polyline segment, pen segment, brush dab, arrow,
// rectangle, rounded rectangle, ellipse, flood fill, text) into dc with the
// board's style objects, the style and the transparent-display state. A
// text record draws `text`, its text-list entry. Style, transparent and
// empty records draw nothing. The context is left as it was given.
void DrawRecordOn(CDC& dc, CBoardCore& board, const DrawRecord& r, const std::string& text = {});

// The pieces DrawRecordOn dispatches to.
void DrawTextRecord(CDC& dc, CBoardCore& board, const DrawRecord& r, const std::string& text);
// Tail (x0, y0), tip (x1, y1); the head is k per cent of the line.
void DrawArrowLine(CDC& dc, int x0, int y0, int x1, int y1, int style, int width, int k,
                   COLORREF color);
void DrawRectRecord(CDC& dc, CBoardCore& board, const DrawRecord& r, bool rounded);
void DrawEllipseRecord(CDC& dc, CBoardCore& board, const DrawRecord& r);
// Paints with `brush` the area of exactly the colour at (x, y) that holds
// the point. False, painting nothing, when the point is off the picture.
bool FloodFillSurface(CDC& dc, int x, int y, CBrush& brush);

// A line with the selected pen, clipped to the coordinate range first so
// that far-off ends from a damaged file draw the same visible pixels quickly.
void DrawClippedSegment(CDC& dc, std::int64_t x0, std::int64_t y0, std::int64_t x1,
                        std::int64_t y1);
