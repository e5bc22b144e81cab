#pragma once
// Pure geometry of the record drawing routines: the arrow head, the text
// layout of a text record, and the bounds that keep records read from a
// damaged file drawable. No device context here, so tests call them directly.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

// Coordinates handed to a device context stay within this range. Any screen
// is far smaller, so a shape that reaches beyond it is off screen there
// anyway, even with the widest pen allowed below.
constexpr std::int64_t kCoordLimit = 1 << 16;
// Four times the diagonal of a 4K screen: any wider pen covers the same
// screen pixels, only slower.
constexpr int kMaxPenWidth = 1 << 14;
// Arrow heads open by 0.0785 rad per pixel of pen width; past 19 pixels the
// half-angle reaches a right angle (cos <= 0), and the head would flip or
// grow without bound, so wider pens draw the head of width 19.
constexpr int kMaxArrowHeadWidth = 19;
// Font sizes beyond this many pixels are larger than any screen.
constexpr LONG kMaxFontPixels = 1 << 13;
// Character cell used to lay out text when the font's own size is zero
// (the default size of the platform).
constexpr LONG kDefaultCharWidth = 9, kDefaultCharHeight = 21;

LONG ClampCoord(std::int64_t v);
// A pen width the platform can draw quickly; negative widths draw as 0 (one pixel).
int ClampPenWidth(std::int64_t width);
// Unknown pen styles (damaged files) draw solid.
int SanitizePenStyle(std::int64_t style);

// Clips the segment to the square +-kCoordLimit, keeping its direction.
// False when nothing of it lies inside.
bool ClipSegment(std::int64_t& x0, std::int64_t& y0, std::int64_t& x1, std::int64_t& y1);

struct Point64 {
  std::int64_t x = 0, y = 0;
  bool operator==(const Point64&) const = default;
};

// Clips a polygon to the same square; its vertices unchanged when inside.
std::vector<POINT> ClipPolygon(const std::vector<Point64>& pts);

// Corners are kept in 64 bits: a head of a line between far-off points
// from a damaged file may lie beyond 32-bit coordinates.
struct ArrowGeometry {
  bool drawn = false;        // false: zero length (or head percentage 0), nothing drawn
  Point64 shaftEnd;          // the shaft stops short of the tip by the head percentage
  Point64 corner1, corner2;  // base corners of the head; the tip is (x1, y1)
};
ArrowGeometry ComputeArrowHead(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                               int width, int k);

struct TextLine {
  std::size_t offset = 0, length = 0;  // bytes of the text
  LONG y = 0;
};
// Lines of a text record whose box is f1..f4 drawn with a font of lfWidth ×
// lfHeight: bytes per line and line count from the box, a line break ends a
// line. Empty lines are left out (their y is skipped), and so are lines
// whose y lies outside [minY, maxY]: the layout stops at the first below.
std::vector<TextLine> LayoutTextLines(const std::string& text, std::int64_t f1, std::int64_t f2,
                                      std::int64_t f3, std::int64_t f4, LONG lfWidth, LONG lfHeight,
                                      std::int64_t minY = INT_MIN, std::int64_t maxY = INT_MAX);
// The character cell used for the layout. A negative size counts by its
// magnitude, as the platform draws a negative font height as a character
// height; zero (the platform's default size, resolved by the caller from
// the font's metrics where it can) falls back to the default cell. Either
// way the counting is a division and ends at once.
std::int64_t LayoutCell(LONG size, LONG fallback);
