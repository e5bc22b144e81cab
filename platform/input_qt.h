#pragma once
// Platform-internal: the input dispatch state shared by the window widgets,
// the keyboard, the accelerators and the application loop.
#include <Qt>

class CWnd;
class QKeyEvent;
class QWidget;

namespace plat {

// Keyboard state of the message being dispatched (GetKeyState reads it).
class ScopedKeyState {
 public:
  explicit ScopedKeyState(Qt::KeyboardModifiers mods);
  ~ScopedKeyState();

 private:
  bool m_had;
  Qt::KeyboardModifiers m_prev;
};
int VkFromQtKey(int key);

// The window under a dispatched mouse event, for SetCursor.
CWnd* MouseDispatchWnd();
void SetMouseDispatchWnd(CWnd* wnd);

// Accelerators: a key event is a command of some owner's table (consumed).
bool TranslateAccelerator(QKeyEvent* e);
void ForgetAccelerators(CWnd* owner);
// The widget that lost the focus last (OnSetFocus reports its window).
void NoteFocusLost(QWidget* w);
// Input or a command happened: command-state updates run when the loop idles.
void MarkUiBusy();

}  // namespace plat
