#include "platform/services.h"

#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>

#include "platform/dpi_qt.h"
#include "platform/wnd.h"
#include "platform/wnd_widget_qt.h"
#include "platform/x11_qt.h"

namespace plat {
namespace {
Services* g_services = nullptr;

Services& RealServices() {
  static Services real;
  return real;
}

// What the program drew goes on screen before the pause: every shown window
// presents its surface and pending repaints of other widgets are carried
// out. Input events stay queued, as the pause blocks the user-interface thread.
void PresentShownWindows() {
  if (!qApp) return;
  for (QWidget* w : QApplication::allWidgets()) {
    auto* wnd = dynamic_cast<WndWidget*>(w);
    if (wnd && wnd->isVisible() && wnd->Owner()) wnd->Owner()->PresentNow();
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
  // The X server gets the pictures now, not when the loop next flushes.
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 && x11->connection()) xcb_flush(x11->connection());
}
}  // namespace

Services& GetServices() { return g_services ? *g_services : RealServices(); }

void SetServices(Services* services) { g_services = services; }

void Services::Sleep(unsigned ms) {
  PresentShownWindows();
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// The pointer is moved and read in device pixels on X: through Qt's logical
// positions a scaled desktop could reach only every other pixel.
bool Services::SetCursorPos(int x, int y) {
  if (!qApp) return false;
  if (xcb_connection_t* c = x11::Connection()) {
    const auto coord = [](int v) { return std::int16_t(std::clamp(v, -32768, 32767)); };
    xcb_warp_pointer(c, XCB_NONE, x11::Screen(c)->root, 0, 0, 0, 0, coord(x), coord(y));
    xcb_flush(c);
  } else {
    QCursor::setPos(ToLogical(QPoint(x, y), ScreenRatio()));
  }
  return true;
}

bool Services::GetCursorPos(POINT* p) {
  if (!p || !qApp) return false;
  xcb_query_pointer_reply_t* r = nullptr;
  if (xcb_connection_t* c = x11::Connection())
    r = xcb_query_pointer_reply(c, xcb_query_pointer(c, x11::Screen(c)->root), nullptr);
  const QPoint pos =
      r ? QPoint(r->root_x, r->root_y) : ToDevice(QPointF(QCursor::pos()), ScreenRatio());
  free(r);
  p->x = pos.x();
  p->y = pos.y();
  return true;
}

int ScriptedServices::MessageBox(CWnd*, const std::string& text, const std::string& caption,
                                 UINT type) {
  boxes.push_back({text, caption, type});
  if (!boxAnswers.empty()) {
    const int answer = boxAnswers.front();
    boxAnswers.pop_front();
    return answer;
  }
  const UINT buttons = type & 0xF;
  return buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDYES : IDOK;
}

bool ScriptedServices::FileDialog(CWnd*, const FileDialogRequest& req, std::string& path) {
  fileRequests.push_back(req);
  if (fileAnswers.empty()) return false;
  std::string answer = std::move(fileAnswers.front());
  fileAnswers.pop_front();
  if (answer.empty()) return false;
  path = std::move(answer);
  return true;
}

bool ScriptedServices::ColorDialog(CWnd*, COLORREF& color, DWORD flags) {
  colorRequests.push_back({color, flags});
  if (colorAnswers.empty()) return false;
  const auto [ok, answer] = colorAnswers.front();
  colorAnswers.pop_front();
  if (ok) color = answer;
  return ok;
}

void ScriptedServices::Sleep(unsigned ms) { pauses.push_back(ms); }

bool ScriptedServices::SetCursorPos(int x, int y) {
  pointer = POINT{x, y};
  pointerMoves.push_back(pointer);
  return true;
}

bool ScriptedServices::GetCursorPos(POINT* p) {
  if (!p) return false;
  *p = pointer;
  return true;
}

}  // namespace plat

void Sleep(unsigned ms) { plat::GetServices().Sleep(ms); }
bool SetCursorPos(int x, int y) { return plat::GetServices().SetCursorPos(x, y); }
bool GetCursorPos(POINT* p) { return plat::GetServices().GetCursorPos(p); }
