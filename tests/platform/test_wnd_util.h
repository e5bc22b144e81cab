#pragma once
// Helpers of the window tests: synthetic input sent to widgets offscreen.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include "platform/app.h"
#include "platform/wnd.h"

namespace wndtest {

// A mouse event at a point of the widget (not the window's client origin).
inline void Mouse(QObject* target, QEvent::Type type, QPoint local, QPoint global,
                  Qt::MouseButton button, Qt::MouseButtons buttons,
                  Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QMouseEvent ev(type, QPointF(local), QPointF(global), button, buttons, mods);
  QCoreApplication::sendEvent(target, &ev);
}

// A mouse event at a point of w's client area, sent to target (w's native
// window, say) or else to w's widget.
inline void MouseAt(CWnd& w, QEvent::Type type, QPoint client, Qt::MouseButton button,
                    Qt::MouseButtons buttons, Qt::KeyboardModifiers mods = Qt::NoModifier,
                    QObject* target = nullptr) {
  QWidget* widget = w.GetWidget();
  const QPoint local = client + widget->contentsRect().topLeft();
  Mouse(target ? target : widget, type, local, widget->mapToGlobal(local), button, buttons, mods);
}

inline void Key(QWidget* target, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QKeyEvent ev(QEvent::KeyPress, key, mods);
  QCoreApplication::sendEvent(target, &ev);
}

inline RECT WindowRect(const CWnd& w) {
  RECT r;
  w.GetWindowRect(&r);
  return r;
}
inline RECT ClientRect(const CWnd& w) {
  RECT r;
  w.GetClientRect(&r);
  return r;
}

// A top-level pop-up window of the given size at (x, y).
inline bool MakePopup(CWnd& w, int x, int y, int cx, int cy) {
  return w.CreateEx(0, WS_POPUP, {}, nullptr, RECT{x, y, x + cx, y + cy}, 0);
}

// Runs the event loop until done() or about five seconds passed.
template <class F>
bool RunUntil(F done) {
  for (int i = 0; i < 250 && !done(); ++i) plat::ProcessEvents(20);
  return done();
}

}  // namespace wndtest
