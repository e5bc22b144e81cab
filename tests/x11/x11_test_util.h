#pragma once
// Helpers for tests on a real X server: a private Xlib connection and a
// bounded wait that keeps the Qt event loop running.
#include <unistd.h>

#include <QCoreApplication>
#include <cstdlib>
#include <string>

#include "platform/types.h"

// Xlib last: its macros (None, Bool, Status) clash with Qt and gtest names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace x11test {

// Runs the event loop until done() holds; false if it never does (a few
// seconds: long enough for any X round trip, short enough not to hang).
template <class F>
bool WaitFor(F done) {
  for (int i = 0; i < 500; ++i) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (done()) return true;
    usleep(10000);
  }
  return done();
}

inline int Shell(const std::string& command) { return std::system(command.c_str()); }

class Connection {
 public:
  Connection() : m_display(XOpenDisplay(nullptr)) {}
  ~Connection() {
    if (m_display) XCloseDisplay(m_display);
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  Display* get() const { return m_display; }
  Window root() const { return DefaultRootWindow(m_display); }

  // The screen's colour at (x, y), as another client reads it.
  COLORREF ScreenPixel(int x, int y) const {
    XImage* image = XGetImage(m_display, root(), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return CLR_INVALID;
    const unsigned long v = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }

  // Runs an X request and reports the X error code it caused (0: none).
  template <class F>
  int ErrorOf(F request) {
    s_error = 0;
    XSync(m_display, False);
    auto* old = XSetErrorHandler([](Display*, XErrorEvent* e) {
      s_error = e->error_code;
      return 0;
    });
    request();
    XSync(m_display, False);
    XSetErrorHandler(old);
    return s_error;
  }

 private:
  Display* m_display;
  static inline int s_error = 0;
};

}  // namespace x11test
