#pragma once
// The pixels behind a window's client area or a bitmap: one persistent
// 32-bit image (QImage::Format_RGB32) that device contexts draw into.
//
// Device contexts write most pixels directly (lines, shapes, fills, blits)
// and draw text with one QPainter that stays open across calls, so a run of
// drawing calls costs no painter begin/end and no image copy. The painter is
// ended whenever the image is needed whole (Image(), Resize(), SetImage()).
//
// A window owns one surface for its client area:
//   - Resize() when the client area changes size;
//   - SetDamageListener() to hear the rectangle of every drawing, clipped to
//     the image, and present only what changed;
//   - Image() in the paint event: ends the painter and gives the image to
//     draw on screen.
// Raster painting is synchronous, so reading pixels while the painter is open
// is safe; Pixels() keeps the image unshared so the painter and direct
// writes always hit one buffer.
//
// Pixels are made on first use: a screen-sized bitmap that is never drawn
// (the magnifier's, until the magnifier is used) costs no memory. Surfaces
// may share one image (SetImage); the first write gives the writer its own
// copy, made in memory of ours rather than Qt's heap.
#include <QImage>
#include <QPainter>
#include <QRect>
#include <cstdint>
#include <functional>

namespace plat {

class Surface {
 public:
  Surface() = default;
  // A width x height image filled with fill (0xRRGGBB; alpha is forced opaque).
  Surface(int width, int height, QRgb fill = 0xFFFFFFFF);
  ~Surface();
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  // False until the pixels are made; until then every pixel is Fill().
  bool IsMade() const { return !m_image.isNull(); }
  QRgb Fill() const { return m_fill; }

  // Resizes, keeping the old pixels at the top left and filling new ones.
  // False, and nothing changes, for a negative size or more than 2^28 pixels.
  bool Resize(int width, int height, QRgb fill = 0xFFFFFFFF);
  // Replaces the whole image (converted to Format_RGB32), e.g. a screen
  // grab; an image already in that format is shared, not copied.
  void SetImage(const QImage& image);
  // The pixels for reading only (a copy source, presenting): never unshares.
  const QImage& Peek();
  // The pixels for a caller about to write every one of them: shared or
  // unmade pixels are replaced by new ones without copying or filling.
  QImage& Overwrite();

  // The whole image, the painter ended first: for presenting, copying,
  // saving, or painting on it with a QPainter of one's own (ended before
  // any device context draws again).
  QImage& Image();

  // For device contexts: the image to read and write while the painter may
  // stay open, and one pixel (the caller checks the bounds).
  QImage& Pixels();
  QRgb PixelAt(int x, int y) const {
    if (m_image.isNull()) return m_fill;
    return reinterpret_cast<const QRgb*>(m_image.constScanLine(y))[x];
  }
  // The painter, begun (aliased, no smoothing) on first use and kept open.
  QPainter& Painter();
  // After Painter(): true when the painter is not configured as stamp says
  // (a fresh painter never is); the caller then configures it and the stamp
  // is remembered, so a context that keeps drawing sets nothing again.
  bool Claim(std::uint64_t stamp);
  // Ends the painter; drawing begins it again.
  void EndPaint();

  // Called with the rectangle, clipped to the image, of every drawing.
  void SetDamageListener(std::function<void(const QRect&)> listener);
  void Damage(const QRect& rect);

 private:
  void Materialize();
  void Unshare();

  int m_width = 0, m_height = 0;
  QRgb m_fill = 0xFFFFFFFF;
  QImage m_image;  // null until the pixels are made
  QPainter m_painter;
  std::uint64_t m_stamp = 0;
  bool m_stampValid = false;
  std::function<void(const QRect&)> m_listener;
};

// An uninitialised width x height Format_RGB32 image; a large one gets its
// own mapping backed by huge pages where the system offers them.
QImage NewImage(int width, int height);

}  // namespace plat
