// The desktop on a real X server: finding other programs' windows, the
// command channel between instances, the pause and hot keys; and a pane as
// large as its screen-sized window puts its surface on the screen itself,
// Qt-painted controls inside it still showing above it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QWidget>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/controls.h"
#include "platform/desktop.h"
#include "platform/gdi.h"
#include "platform/services.h"
#include "platform/wnd.h"
#include "platform/x11_qt.h"

// Xlib after everything else: its macros (None, Bool, Status) clash with
// Qt and gtest names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace {

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

int Shell(const std::string& command) { return std::system(command.c_str()); }

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

TEST(FindTopLevelWindow, FindsAWindowByItsWholeTitleOnly) {
  QWidget w;
  w.setWindowTitle(QStringLiteral("Corvale多媒体网络教室"));
  w.setGeometry(100, 100, 200, 100);
  w.show();
  ASSERT_TRUE(WaitFor([] { return plat::FindTopLevelWindow("Corvale多媒体网络教室"); }));
  for (const char* title : {"Corvale", "Corvale多媒体网络", "Corvale多媒体网络教室 ", ""})
    EXPECT_FALSE(plat::FindTopLevelWindow(title)) << title;

  // A hidden window still exists: a program hidden by its temporary exit
  // still runs.
  w.hide();
  QCoreApplication::processEvents();
  EXPECT_TRUE(plat::FindTopLevelWindow("Corvale多媒体网络教室"));
}

TEST(FindTopLevelWindow, ReadsTheOldStyleNameOfOtherProgramsWindowsAlsoInsideAFrame) {
  Connection x;
  ASSERT_TRUE(x.get());
  const Window frame = XCreateSimpleWindow(x.get(), x.root(), 0, 0, 60, 60, 0, 0, 0);
  const Window w = XCreateSimpleWindow(x.get(), x.root(), 0, 0, 50, 50, 0, 0, 0);
  XStoreName(x.get(), w, "Corvale_Tavix");  // WM_NAME as STRING, no _NET_WM_NAME
  XSync(x.get(), False);
  EXPECT_TRUE(plat::FindTopLevelWindow("Corvale_Tavix"));
  EXPECT_FALSE(plat::FindTopLevelWindow("Corvale_Tavi"));
  // As a window manager does it: the named window inside a frame of its own.
  XReparentWindow(x.get(), w, frame, 5, 5);
  XSync(x.get(), False);
  EXPECT_TRUE(plat::FindTopLevelWindow("Corvale_Tavix"));
  XDestroyWindow(x.get(), frame);
  XSync(x.get(), False);
  EXPECT_FALSE(plat::FindTopLevelWindow("Corvale_Tavix"));
}

class CommandFrame : public CWnd {
 public:
  CommandFrame() {
    for (UINT id : {32818u, 32841u}) OnCommand(id, [this, id] { received.push_back(id); });
  }
  std::vector<UINT> received;
};

TEST(CommandChannel, ACommandReachesTheListeningFrameAsACommandMessageUntilItIsGone) {
  auto frame = std::make_unique<CommandFrame>();
  ASSERT_TRUE(
      frame->CreateEx(0, WS_POPUP, GBK("Corvale_Tavix"), nullptr, CRect(0, 0, 100, 100), 0));
  plat::ListenForCommands(frame.get());
  ASSERT_TRUE(plat::SendCommandToRunningInstance(32818));
  ASSERT_TRUE(plat::SendCommandToRunningInstance(32841));
  ASSERT_TRUE(WaitFor([&] { return frame->received.size() == 2; }));
  EXPECT_EQ(frame->received, (std::vector<UINT>{32818, 32841}));

  // Hidden, as after a temporary exit, the frame still takes commands.
  frame->ShowWindow(SW_HIDE);
  ASSERT_TRUE(plat::SendCommandToRunningInstance(32841));
  ASSERT_TRUE(WaitFor([&] { return frame->received.size() == 3; }));

  // The window lingers until the event loop deletes it, but takes nothing.
  ASSERT_TRUE(plat::SendCommandToRunningInstance(32818));
  frame->DestroyWindow();
  EXPECT_FALSE(plat::SendCommandToRunningInstance(32818));
  frame.reset();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();  // the command sent before finds no frame
}

TEST(RealPause, PutsWhatWasDrawnOnScreenBeforeWaiting) {
  Connection x;
  ASSERT_TRUE(x.get());
  CWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, WS_POPUP, "board", nullptr, CRect(0, 0, 100, 100), 0));
  wnd.ShowWindow(SW_SHOW);
  wnd.UpdateWindow();
  ASSERT_TRUE(WaitFor([&] { return x.ScreenPixel(50, 50) == GetSysColor(COLOR_WINDOW); }));

  {
    CClientDC dc(&wnd);
    const CRect rc(20, 20, 80, 80);
    dc.FillSolidRect(&rc, RGB(255, 0, 0));
  }
  Sleep(0);  // no event is handled from here on
  XSync(x.get(), False);
  EXPECT_EQ(x.ScreenPixel(50, 50), RGB(255, 0, 0));
  EXPECT_EQ(x.ScreenPixel(10, 10), GetSysColor(COLOR_WINDOW));
  wnd.DestroyWindow();
}

class HotKeyOwner : public CWnd {
 public:
  long OnHotKey(UINT id, UINT modifiers, UINT vk) override {
    calls.emplace_back(id, modifiers, vk);
    return 1;
  }
  std::vector<std::tuple<UINT, UINT, UINT>> calls;  // identifier, modifiers, key
};

constexpr int HOTKEY_ACTIVATE = 2001;

class HotKey : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(owner.CreateEx(0, WS_POPUP, "frame", nullptr, CRect(0, 0, 50, 50), 0));
  }
  void TearDown() override {
    UnregisterHotKey(&owner, HOTKEY_ACTIVATE);
    QCoreApplication::processEvents();
  }
  HotKeyOwner owner;
};

TEST_F(HotKey, AltOneIsDeliveredToTheOwnerWithItsIdentifierWhicheverLocksAreOn) {
  ASSERT_TRUE(RegisterHotKey(&owner, HOTKEY_ACTIVATE, MOD_ALT, '1'));
  // Each sequence holds one Alt+1; 1, Alt+2 and Ctrl+Alt+1 are other keys.
  const char* sequences[] = {"1 alt+2 ctrl+alt+1 alt+1", "Num_Lock alt+1 Num_Lock",
                             "Caps_Lock alt+1 Caps_Lock",
                             "Num_Lock Caps_Lock alt+1 Caps_Lock Num_Lock"};
  std::size_t expected = 0;
  for (const char* keys : sequences) {
    ASSERT_EQ(Shell(std::string("xdotool key ") + keys), 0);
    ++expected;
    ASSERT_TRUE(WaitFor([&] { return owner.calls.size() >= expected; })) << keys;
    EXPECT_EQ(owner.calls.size(), expected) << keys;
  }
  EXPECT_EQ(owner.calls,
            std::vector(expected, std::tuple(UINT(HOTKEY_ACTIVATE), MOD_ALT, UINT('1'))));
}

TEST_F(HotKey, AKeyHeldByAnotherProgramFailsToRegisterWithoutEndingTheProgram) {
  Connection other;
  ASSERT_TRUE(other.get());
  // Another program holds only the Caps Lock variant: the refusal comes
  // after our plain grab went through.
  const KeyCode one = XKeysymToKeycode(other.get(), XK_1);
  const int error = other.ErrorOf([&] {
    XGrabKey(other.get(), one, Mod1Mask | LockMask, other.root(), True, GrabModeAsync,
             GrabModeAsync);
  });
  ASSERT_EQ(error, 0);
  EXPECT_FALSE(RegisterHotKey(&owner, HOTKEY_ACTIVATE, MOD_ALT, '1'));
}

TEST(DirectPresent, AScreenSizedPaneShowsWhatIsDrawnAndTheControlsInIt) {
  Connection x;
  ASSERT_TRUE(x.get());
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  // As the board is made: its hidden text box exists before the pane is
  // laid out over the whole window.
  CWnd frame, pane;
  ASSERT_TRUE(frame.CreateEx(0, WS_POPUP, "frame", nullptr, CRect(0, 0, w, h), 0));
  ASSERT_TRUE(pane.CreateEx(0, WS_CHILD | WS_VISIBLE, {}, &frame, CRect(), 1));
  CRichEditCtrl edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | ES_MULTILINE, CRect(100, 100, 300, 200), &pane, 7));
  edit.SetBackgroundColor(false, RGB(0, 255, 0));
  EXPECT_FALSE(pane.GetWidget()->testAttribute(Qt::WA_PaintOnScreen));
  pane.MoveWindow(0, 0, w, h);
  EXPECT_EQ(std::pair(pane.GetWidget()->testAttribute(Qt::WA_PaintOnScreen),
                      frame.GetWidget()->testAttribute(Qt::WA_PaintOnScreen)),
            std::pair(true, false));
  frame.ShowWindow(SW_SHOW);
  EXPECT_TRUE(WaitFor([&] { return x.ScreenPixel(w - 5, h - 5) == RGB(255, 255, 255); }))
      << "shown, the pane is erased";
  edit.ShowWindow(SW_SHOW);
  EXPECT_TRUE(WaitFor([&] { return x.ScreenPixel(200, 190) == RGB(0, 255, 0); }))
      << "the control's own window lies above the pane";

  // Drawn, then a blocking pause: on the screen with no event handled.
  {
    CClientDC dc(&pane);
    const CRect all(0, 0, w, h), mark(400, 300, 420, 310);
    dc.FillSolidRect(&all, RGB(0, 0, 255));
    dc.FillSolidRect(&mark, RGB(255, 0, 0));
  }
  Sleep(0);
  XSync(x.get(), False);
  EXPECT_EQ(x.ScreenPixel(410, 305), RGB(255, 0, 0));
  EXPECT_EQ(x.ScreenPixel(430, 305), RGB(0, 0, 255));
  EXPECT_EQ(x.ScreenPixel(200, 190), RGB(0, 255, 0)) << "drawing on the pane leaves the control";

  // Once idle a while, large puts go through shared memory: whole and in part.
  EXPECT_TRUE(WaitFor([] { return plat::x11::SharedMemoryPuts(); }));
  {
    CClientDC dc(&pane);
    const CRect all(0, 0, w, h), part(300, 350, 1000, 750);
    dc.FillSolidRect(&all, RGB(255, 255, 0));
    Sleep(0);
    dc.FillSolidRect(&part, RGB(255, 0, 255));
  }
  Sleep(0);
  XSync(x.get(), False);
  EXPECT_EQ(x.ScreenPixel(10, 10), RGB(255, 255, 0));
  EXPECT_EQ(x.ScreenPixel(300, 350), RGB(255, 0, 255));
  EXPECT_EQ(x.ScreenPixel(999, 749), RGB(255, 0, 255));
  EXPECT_EQ(x.ScreenPixel(1000, 749), RGB(255, 255, 0));
  EXPECT_EQ(x.ScreenPixel(299, 350), RGB(255, 255, 0));
  EXPECT_EQ(x.ScreenPixel(200, 190), RGB(0, 255, 0));
}

}  // namespace
