#include "platform/png.h"

#include <QBuffer>
#include <QImageWriter>

#include "platform/gdi_objects.h"
#include "platform/surface_qt.h"

namespace plat {

bool EncodePng(const CBitmap& bitmap, std::string* bytes) {
  Surface* surface = bitmap.GetSurface();
  if (!surface || surface->Width() <= 0 || surface->Height() <= 0) return false;
  // RGB888 keeps the file free of the alpha channel the board never uses.
  const QImage image = surface->Image().convertToFormat(QImage::Format_RGB888);
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "png");
  if (!writer.write(image)) return false;
  bytes->assign(buffer.data().constData(), std::size_t(buffer.data().size()));
  return true;
}

}  // namespace plat
