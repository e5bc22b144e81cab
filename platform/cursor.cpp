// Cursors: the ones the program registered (XPM pictures with hot spots) and
// the cursor of the window under the pointer.
#include <QApplication>
#include <QPixmap>
#include <map>
#include <memory>

#include "platform/dpi_qt.h"
#include "platform/resources.h"
#include "platform/wnd_widget_qt.h"

namespace {
HCURSOR g_current = nullptr;
}

HCURSOR LoadCursorResource(UINT id) {
  static std::map<UINT, std::unique_ptr<CursorData>> cache;
  auto it = cache.find(id);
  if (it != cache.end()) return it->second.get();
  const plat::CursorResource* found = plat::FindCursorResource(id);
  if (!found || !found->xpm) return nullptr;
  QPixmap pix(found->xpm);
  if (pix.isNull()) return nullptr;
  // X cursors are device pixels: a scaled desktop gets the picture doubled.
  const int times = plat::PictureScale();
  if (times > 1)
    pix = pix.scaled(pix.size() * times, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  auto data = std::make_unique<CursorData>(
      CursorData{QCursor(pix, found->hotX * times, found->hotY * times)});
  HCURSOR h = data.get();
  cache.emplace(id, std::move(data));
  return h;
}

HCURSOR SetCursor(HCURSOR cursor) {
  HCURSOR prev = g_current;
  g_current = cursor;
  // The window receiving the mouse message, else the capture, else the
  // window under the pointer.
  CWnd* target = plat::MouseDispatchWnd();
  if (!target) target = CWnd::GetCapture();
  if (!target) target = plat::WndFromWidget(QApplication::widgetAt(QCursor::pos()));
  if (target && target->GetWidget()) {
    if (cursor)
      target->GetWidget()->setCursor(cursor->cursor);
    else
      target->GetWidget()->setCursor(Qt::BlankCursor);
  }
  return prev;
}
