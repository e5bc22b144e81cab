#include "platform/desktop.h"

#include <QtGui/qguiapplication_platform.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include "platform/codepage.h"
#include "platform/wnd.h"
#include "platform/wnd_widget_qt.h"

// X11 last: its macros (None, Bool, Status...) would clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <xcb/xcb.h>

#include "platform/x11_qt.h"

namespace plat {
namespace {

// Marks the window that takes commands from other instances, and is the type
// of the client message that carries one.
constexpr char kCommandAtom[] = "_POINTER_COMMAND";
constexpr unsigned kMaxCommandId = 0xFFFF;  // command identifiers are 16 bits

int g_lastXError = 0;
int IgnoreXErrors(Display*, XErrorEvent* e) {
  g_lastXError = e->error_code;
  return 0;
}

// A private connection to the display in $DISPLAY. Windows may vanish while
// they are examined: their errors are ignored instead of ending the process.
class XConnection {
 public:
  XConnection() : m_display(XOpenDisplay(nullptr)) {
    if (m_display) m_oldHandler = XSetErrorHandler(IgnoreXErrors);
  }
  ~XConnection() {
    if (!m_display) return;
    XSync(m_display, False);
    XSetErrorHandler(m_oldHandler);
    XCloseDisplay(m_display);
  }
  XConnection(const XConnection&) = delete;
  XConnection& operator=(const XConnection&) = delete;
  Display* get() const { return m_display; }

 private:
  Display* m_display;
  int (*m_oldHandler)(Display*, XErrorEvent*) = nullptr;
};

std::vector<Window> Children(Display* d, Window w) {
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  std::vector<Window> out;
  if (XQueryTree(d, w, &root, &parent, &children, &count) && children) {
    out.assign(children, children + count);
  }
  if (children) XFree(children);
  return out;
}

// Top-level windows: children of each root and their children (under a
// window manager the program's window sits inside a frame), plus the
// managed clients the window manager lists.
void ForEachTopLevel(Display* d, const std::function<bool(Window)>& found) {
  const Atom clientList = XInternAtom(d, "_NET_CLIENT_LIST", False);
  for (int s = 0; s < ScreenCount(d); ++s) {
    const Window root = RootWindow(d, s);
    for (Window w : Children(d, root)) {
      if (found(w)) return;
      for (Window c : Children(d, w)) {
        if (found(c)) return;
      }
    }
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, root, clientList, 0, 4096, False, XA_WINDOW, &type, &format, &count,
                           &after, &data) == Success &&
        data && format == 32) {
      const auto* windows = reinterpret_cast<const unsigned long*>(data);
      for (unsigned long i = 0; i < count; ++i) {
        if (found(Window(windows[i]))) {
          XFree(data);
          return;
        }
      }
    }
    if (data) XFree(data);
  }
}

// The window's name in UTF-8: _NET_WM_NAME, or else WM_NAME in whatever
// encoding it was set.
bool WindowHasTitle(Display* d, Window w, const std::string& utf8) {
  const Atom netName = XInternAtom(d, "_NET_WM_NAME", False);
  const Atom utf8String = XInternAtom(d, "UTF8_STRING", False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, w, netName, 0, 1024, False, utf8String, &type, &format, &count, &after,
                         &data) == Success &&
      data && type == utf8String && format == 8) {
    const bool match = std::string(reinterpret_cast<char*>(data), count) == utf8;
    XFree(data);
    if (match) return true;
  } else if (data) {
    XFree(data);
  }

  XTextProperty prop{};
  if (!XGetWMName(d, w, &prop) || !prop.value) return false;
  bool match = false;
  if (prop.encoding == utf8String && prop.format == 8) {
    match = std::string(reinterpret_cast<char*>(prop.value), prop.nitems) == utf8;
  } else if (prop.encoding == XA_STRING && prop.format == 8) {
    std::string latin1(reinterpret_cast<char*>(prop.value), prop.nitems);
    match = QString::fromLatin1(latin1.data(), qsizetype(latin1.size())).toStdString() == utf8;
  } else {
    char** list = nullptr;
    int n = 0;
    if (Xutf8TextPropertyToTextList(d, &prop, &list, &n) == Success && list) {
      std::string joined;
      for (int i = 0; i < n; ++i) joined += list[i];
      match = joined == utf8;
      XFreeStringList(list);
    }
  }
  XFree(prop.value);
  return match;
}

bool HasCommandMark(Display* d, Window w, Atom mark) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const bool has = XGetWindowProperty(d, w, mark, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                                      &after, &data) == Success &&
                   type == XA_CARDINAL && format == 32 && count == 1;
  if (data) XFree(data);
  return has;
}

// --- The receiving side, on Qt's own connection ---

xcb_atom_t InternAtom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, std::uint16_t(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
  std::free(reply);
  return atom;
}

class CommandListener : public QObject, public QAbstractNativeEventFilter {
 public:
  void Listen(CWnd* frame) {
    Unmark();
    QWidget* widget = frame && frame->IsCreated() ? frame->GetWidget() : nullptr;
    m_widget = widget ? widget->window() : nullptr;
    if (!m_widget) return;
    m_widget->installEventFilter(this);
    Mark();
  }

  // The window is being destroyed: whether shown or already hidden, it
  // takes no more commands, though Qt deletes it only later.
  void Forget(QWidget* widget) {
    if (widget && widget == m_widget) Unmark();
  }

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t" || m_atom == XCB_ATOM_NONE) return false;
    const auto* ev = static_cast<const xcb_generic_event_t*>(message);
    if ((ev->response_type & 0x7F) != XCB_CLIENT_MESSAGE) return false;
    const auto* cm = reinterpret_cast<const xcb_client_message_event_t*>(ev);
    if (cm->type != m_atom) return false;
    // Ours in any case; only one for the listening window is carried out.
    if (!m_widget || cm->format != 32 || cm->window != m_window) return true;
    const unsigned id = cm->data.data32[0];
    if (id == 0 || id > kMaxCommandId) return true;
    // Run the command from the event loop, not inside the native event
    // dispatch: it may open dialogs of its own.
    QMetaObject::invokeMethod(
        this,
        [id, widget = m_widget] {
          // The frame may have gone meanwhile: its window then has no owner.
          if (CWnd* frame = widget ? WndFromWidget(widget) : nullptr) frame->SendCommand(id);
        },
        Qt::QueuedConnection);
    return true;
  }

 protected:
  // A recreated native window loses its properties: the new one is marked.
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (watched == m_widget && e->type() == QEvent::WinIdChange) Mark();
    return false;
  }

 private:
  void Mark() {
    xcb_connection_t* c = plat::x11::Connection();
    if (!c || !m_widget) return;
    if (!m_filterInstalled) {
      QCoreApplication::instance()->installNativeEventFilter(this);
      m_filterInstalled = true;
    }
    m_atom = InternAtom(c, kCommandAtom);
    m_window = xcb_window_t(m_widget->winId());
    const std::uint32_t pid = std::uint32_t(getpid());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, m_window, m_atom, XCB_ATOM_CARDINAL, 32, 1, &pid);
    xcb_flush(c);
  }

  void Unmark() {
    xcb_connection_t* c = plat::x11::Connection();
    if (c && m_widget && m_window && m_atom != XCB_ATOM_NONE) {
      xcb_delete_property(c, m_window, m_atom);
      xcb_flush(c);
    }
    if (m_widget) m_widget->removeEventFilter(this);
    m_widget = nullptr;
    m_window = 0;
  }

  QPointer<QWidget> m_widget;  // the frame's top-level window
  xcb_window_t m_window = 0;
  xcb_atom_t m_atom = XCB_ATOM_NONE;
  bool m_filterInstalled = false;
};

CommandListener* Listener() {
  static CommandListener* listener = new CommandListener;  // lives with the process
  return listener;
}

}  // namespace

void ForgetCommandListener(QWidget* widget) { Listener()->Forget(widget); }

bool FindTopLevelWindow(const std::string& utf8Title) {
  XConnection x;
  Display* d = x.get();
  if (!d) return false;
  bool found = false;
  ForEachTopLevel(d, [&](Window w) { return found = WindowHasTitle(d, w, utf8Title); });
  return found;
}

bool SendCommandToRunningInstance(unsigned id) {
  if (id == 0 || id > kMaxCommandId) return false;
  XConnection x;
  Display* d = x.get();
  if (!d) return false;
  const Atom mark = XInternAtom(d, kCommandAtom, False);
  Window target = 0;
  ForEachTopLevel(d, [&](Window w) {
    if (!HasCommandMark(d, w, mark)) return false;
    target = w;
    return true;
  });
  if (!target) return false;
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = target;
  ev.xclient.message_type = mark;
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = long(id);
  g_lastXError = 0;
  if (!XSendEvent(d, target, False, NoEventMask, &ev)) return false;
  XSync(d, False);
  return g_lastXError == 0;  // BadWindow: the instance ended meanwhile
}

void ListenForCommands(CWnd* frame) { Listener()->Listen(frame); }

}  // namespace plat
