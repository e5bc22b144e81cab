#pragma once
// Pixel algorithms behind the device contexts. Shapes become horizontal spans
// computed in 64-bit integers and doubles and clipped to the target as they
// are made, so absurd coordinates and pen widths cost no more than the pixels
// that are visible, and every pixel of one drawing is painted exactly once
// (what inverting rubber bands rely on).
#include <QImage>
#include <QRect>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/types.h"

namespace plat::raster {

// Which colour of a drawing a span takes; higher roles win where they overlap.
enum Role : std::uint8_t { kBrush = 0, kBackground = 1, kPen = 2 };

struct Span {
  int y, x0, x1;  // pixels [x0, x1) of row y
  Role role;
};

// Spans of one drawing, clipped to a width x height target.
class Spans {
 public:
  Spans(int width, int height) : m_width(width), m_height(height) {}
  void Add(std::int64_t y, std::int64_t x0, std::int64_t x1, Role role);
  // Extends the last span when the pixel continues it (lines add pixel by pixel).
  void AddPixel(std::int64_t x, std::int64_t y, Role role);
  // Makes the spans disjoint, the higher role keeping the overlap.
  void Resolve();
  const std::vector<Span>& List() const { return m_list; }
  int Width() const { return m_width; }
  int Height() const { return m_height; }

 private:
  int m_width, m_height;
  std::vector<Span> m_list;
};

// The on/off pattern of a 1-pixel styled pen; the pattern runs along the
// pixels of a line (off pixels take the background colour when it is opaque).
struct Dash {
  const int* runs = nullptr;  // on, off, on, off ... pixel counts; nullptr: solid
  int count = 0;
  int period = 0;
  bool IsSolid() const { return runs == nullptr; }
  bool On(std::int64_t step) const;
};
Dash DashForStyle(int penStyle);

// Colours indexed by Role, as 0xFFRRGGBB.
struct Colours {
  QRgb c[3];
};
inline QRgb RgbFromColorref(COLORREF c) {
  return 0xFF000000u | (QRgb(GetRValue(c)) << 16) | (QRgb(GetGValue(c)) << 8) | QRgb(GetBValue(c));
}
inline COLORREF ColorrefFromRgb(QRgb p) { return RGB(qRed(p), qGreen(p), qBlue(p)); }
// A binary raster operation (R2_BLACK = 1 .. R2_WHITE = 16) of pen p on d.
QRgb Rop2(int rop, QRgb p, QRgb d);

// Paints spans with their role's colour through the raster operation;
// returns the rectangle touched.
QRect Paint(QImage& image, const std::vector<Span>& spans, const Colours& colours, int rop);
// Fills [l, r) x [t, b), clipped; returns the rectangle touched.
QRect FillRect(QImage& image, std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b,
               QRgb colour, int rop);

// A 1-pixel line from (x0, y0) towards (x1, y1), the end pixel excluded,
// painted at once; the pattern starts at its first pixel.
QRect ThinLine(QImage& image, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
               const Dash& dash, bool opaque, const Colours& colours, int rop);
// The same pixels added to spans; returns the number of pixel steps of the
// line so that a polyline's pattern continues across its vertices.
std::int64_t AddThinLine(Spans& spans, std::int64_t x0, std::int64_t y0, std::int64_t x1,
                         std::int64_t y1, const Dash& dash, bool opaque, std::int64_t firstStep);
// A wide pen's segment with round caps: the pixels within width / 2 of it.
void AddWideLine(Spans& spans, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                 std::int64_t width, Role role);

// Pixels [l, r) x [t, b) with elliptic corners of radii rx, ry (0: square;
// half the box: an ellipse).
struct Box {
  std::int64_t l, t, r, b;
  double rx = 0, ry = 0;
};
void AddFilledBox(Spans& spans, const Box& box, Role role);
// The outline drawn by a pen of the given width centred on the box's border
// pixels; 1-pixel outlines follow the dash.
void AddBoxOutline(Spans& spans, const Box& box, std::int64_t width, const Dash& dash, bool opaque);
// Alternate (even-odd) fill of a polygon with vertices at pixel positions.
void AddPolygon(Spans& spans, const POINT* pts, int n, Role role);

// Spans of the 4-connected area around (x, y) of exactly colour (surface) or
// of anything but colour (border). False when (x, y) is outside or not part of it.
bool FloodSpans(const QImage& image, int x, int y, QRgb colour, bool surface, Spans* out);
// The area FloodSpans finds, painted with brush (none: nothing painted);
// touched gets the painted bounds. A surface fill paints in place as it
// goes, without a mark per pixel.
bool FloodFill(QImage& image, int x, int y, QRgb colour, bool surface, const QRgb* brush,
               QRect* touched);

// Rows of pixels a copy reads: Qt's 32-bit pixels, or a packed bitmap's
// blue, green, red (and unused) bytes. Rows stored bottom-up are read from
// the top row through a negative stride.
struct PixelRows {
  enum Format : std::uint8_t { kRgb32, kBgrx32, kBgr24 };
  const uchar* top = nullptr;
  qsizetype stride = 0;
  int width = 0, height = 0;
  Format format = kRgb32;
};
// Scan lines [first, first + count) of a Format_RGB32 image, counted from its
// bottom row, as a packed bitmap's 24-bit rows: blue, green, red, each row
// padded with zeros to a multiple of four bytes. Returns the lines written.
int ToBgr24Rows(const QImage& image, int first, int count, uchar* bits);
// The rows of a Format_RGB32 image.
PixelRows RowsOf(const QImage& image);

// Nearest-neighbour copy of source rectangle (xs, ys, ws, hs) onto destination
// rectangle (x, y, w, h); negative extents mirror. Source pixels outside the
// source leave the destination unchanged. Returns the rectangle touched.
QRect StretchCopy(QImage& dst, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                  const PixelRows& src, std::int64_t xs, std::int64_t ys, std::int64_t ws,
                  std::int64_t hs);
inline QRect StretchCopy(QImage& dst, std::int64_t x, std::int64_t y, std::int64_t w,
                         std::int64_t h, const QImage& src, std::int64_t xs, std::int64_t ys,
                         std::int64_t ws, std::int64_t hs) {
  return StretchCopy(dst, x, y, w, h, RowsOf(src), xs, ys, ws, hs);
}

}  // namespace plat::raster
