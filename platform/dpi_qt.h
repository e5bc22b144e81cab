#pragma once
// Platform-internal: the program speaks device pixels everywhere, because the
// board must be pixel-exact; Qt speaks logical pixels (device pixels divided
// by the screen's ratio) once the desktop asks for scaling. Conversions
// happen only where a widget meets the program.
#include <QPointF>
#include <QRect>
#include <QRegion>
#include <algorithm>
#include <cmath>

class QWidget;

namespace plat {

// Device pixels per logical pixel where w is shown (its screen's ratio).
double Ratio(const QWidget* w);
// The primary screen's ratio.
double ScreenRatio();
// The whole multiple that pictures (tool bar buttons, cursors) are drawn at:
// pixels doubled stay crisp where a fractional scale would blur them.
inline int PictureScale() { return std::max(1, int(std::lround(ScreenRatio()))); }

inline int ToDevice(double logical, double r) { return int(std::lround(logical * r)); }
inline QPoint ToDevice(const QPointF& p, double r) {
  return QPoint(ToDevice(p.x(), r), ToDevice(p.y(), r));
}
inline QSize ToDevice(const QSize& s, double r) {
  return QSize(ToDevice(s.width(), r), ToDevice(s.height(), r));
}
inline int ToLogical(int device, double r) { return int(std::lround(device / r)); }
inline QPoint ToLogical(const QPoint& p, double r) {
  return QPoint(ToLogical(p.x(), r), ToLogical(p.y(), r));
}
inline QSize ToLogical(const QSize& s, double r) {
  return QSize(ToLogical(s.width(), r), ToLogical(s.height(), r));
}
// The device pixels a logical rectangle touches.
inline QRect CoverDevice(const QRect& l, double r) {
  const int x0 = int(std::floor(l.x() * r)), y0 = int(std::floor(l.y() * r));
  const int x1 = int(std::ceil((l.x() + l.width()) * r));
  const int y1 = int(std::ceil((l.y() + l.height()) * r));
  return QRect(x0, y0, x1 - x0, y1 - y0);
}
// The logical pixels that show a device rectangle.
inline QRect CoverLogical(const QRect& d, double r) {
  const int x0 = int(std::floor(d.x() / r)), y0 = int(std::floor(d.y() / r));
  const int x1 = int(std::ceil((d.x() + d.width()) / r));
  const int y1 = int(std::ceil((d.y() + d.height()) / r));
  return QRect(x0, y0, x1 - x0, y1 - y0);
}
inline QRegion CoverLogical(const QRegion& d, double r) {
  if (r == 1) return d;
  QRegion out;
  for (const QRect& rect : d) out += CoverLogical(rect, r);
  return out;
}
inline QRegion CoverDevice(const QRegion& l, double r) {
  if (r == 1) return l;
  QRegion out;
  for (const QRect& rect : l) out += CoverDevice(rect, r);
  return out;
}

}  // namespace plat
