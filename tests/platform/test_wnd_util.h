#pragma once
// Helpers of the window tests: synthetic input sent to widgets offscreen.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>
#include <vector>

#include "platform/app.h"
#include "platform/controls.h"
#include "platform/frame.h"
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

// The main tool bar's entries: buttons 1..24, 0 a separator.
inline const UINT kEntries[29] = {1,  2,  3,  4,  0, 5,  6,  7,  8,  0, 9,  10, 11, 12, 0,
                                  13, 14, 15, 16, 0, 17, 18, 19, 20, 0, 21, 22, 23, 24};

// A pane taking commands 1 to 20 and one of the program's high numbers,
// checking the current tool among 9 to 20.
class Board : public CWnd {
 public:
  UINT tool = 9;
  std::vector<UINT> got;
  Board() {
    OnCommandRange(1, 20, [this](UINT id) { got.push_back(tool = id); });
    OnCommand(32818, [this] { got.push_back(32818); });
    OnUpdateCommandRange(9, 20, [this](CCmdUI* ui) { ui->SetCheck(ui->m_nID == tool); });
  }
};

// A frame whose board is offered every command first, with the main tool bar.
class Frame : public CFrameWnd {
 public:
  Board board;
  CToolBar bar;
  bool OnCmdMsg(UINT id, int code, CCmdUI* ui) override {
    return board.OnCmdMsg(id, code, ui) || CFrameWnd::OnCmdMsg(id, code, ui);
  }
  int OnCreate(CREATESTRUCT* cs) override {
    const bool made =
        CFrameWnd::OnCreate(cs) != -1 &&
        board.CreateEx(0, WS_CHILD | WS_VISIBLE, {}, this, RECT{}, 0xE900) &&
        bar.CreateEx(this, TBSTYLE_FLAT, WS_CHILD | CBRS_ALIGN_TOP | CBRS_TOOLTIPS, RECT{}, 0xE800);
    return made && bar.SetButtons(kEntries, 29) ? 0 : -1;
  }
};

}  // namespace wndtest
