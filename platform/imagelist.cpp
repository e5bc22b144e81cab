#include "platform/imagelist.h"

#include <QImage>
#include <algorithm>

#include "platform/dc.h"
#include "platform/resources.h"

CImageList::CImageList() = default;
CImageList::~CImageList() = default;

bool CImageList::Create(UINT bitmapId, int cx, int, COLORREF mask) {
  m_images.clear();
  const std::vector<const char* const*>* strip = plat::FindToolBarImages(bitmapId);
  if (!strip || cx <= 0) return false;
  for (const char* const* xpm : *strip) {
    const QImage image = QImage(xpm).convertToFormat(QImage::Format_ARGB32);
    if (image.isNull()) return false;
    std::vector<Pixel> pixels;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < std::min(cx, image.width()); ++x) {
        const QRgb p = image.pixel(x, y);
        const COLORREF c = RGB(qRed(p), qGreen(p), qBlue(p));
        pixels.push_back(Pixel{x, y, c, qAlpha(p) < 128 || c == mask});
      }
    }
    m_images.push_back(std::move(pixels));
  }
  return true;
}

// The pictures are a few hundred pixels: drawn pixel by pixel through the
// context, they follow its target wherever it draws.
bool CImageList::Draw(CDC* dc, int index, POINT pt, UINT style) {
  if (!dc || index < 0 || index >= GetImageCount()) return false;
  const bool transparent = style & ILD_TRANSPARENT;
  const COLORREF back = dc->GetBkColor();
  for (const Pixel& p : m_images[size_t(index)]) {
    if (p.masked && transparent) continue;
    dc->SetPixel(pt.x + p.x, pt.y + p.y, p.masked ? back : p.color);
  }
  return true;
}
