// The desktop on a real X server: finding other programs' windows, the
// command channel between instances, the pause, the pointer and hot keys;
// the pixels a screen context gives are the ones on the screen, whichever
// part is copied; and a pane as large as its screen-sized window puts its
// surface on the screen itself, Qt-painted controls inside it still showing
// above it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QRect>
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
  auto w = std::make_unique<QWidget>();
  w->setWindowTitle(QStringLiteral("Corvale多媒体网络教室"));
  w->setGeometry(100, 100, 200, 100);
  w->show();
  ASSERT_TRUE(WaitFor([] { return plat::FindTopLevelWindow("Corvale多媒体网络教室"); }));
  for (const char* title : {"Corvale", "Corvale多媒体网络", "Corvale多媒体网络教室 ", ""})
    EXPECT_FALSE(plat::FindTopLevelWindow(title)) << title;

  // A hidden window still exists: a program hidden by its temporary exit
  // still runs.
  w->hide();
  QCoreApplication::processEvents();
  EXPECT_TRUE(plat::FindTopLevelWindow("Corvale多媒体网络教室"));

  w.reset();
  EXPECT_TRUE(WaitFor([] { return !plat::FindTopLevelWindow("Corvale多媒体网络教室"); }));
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
  EXPECT_FALSE(plat::FindTopLevelWindow("Corvale_Tavix_"));
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
  EXPECT_FALSE(plat::SendCommandToRunningInstance(32818));  // nobody listens yet

  auto frame = std::make_unique<CommandFrame>();
  ASSERT_TRUE(
      frame->CreateEx(0, WS_POPUP, GBK("Corvale_Tavix"), nullptr, CRect(0, 0, 100, 100), 0));
  plat::ListenForCommands(frame.get());
  ASSERT_TRUE(plat::SendCommandToRunningInstance(32818));
  ASSERT_TRUE(plat::SendCommandToRunningInstance(32841));
  ASSERT_TRUE(WaitFor([&] { return frame->received.size() == 2; }));
  EXPECT_EQ(frame->received, (std::vector<UINT>{32818, 32841}));

  // Identifiers a command message cannot carry are refused.
  EXPECT_FALSE(plat::SendCommandToRunningInstance(0));
  EXPECT_FALSE(plat::SendCommandToRunningInstance(0x10000));

  // Hidden, as after a temporary exit, the frame still takes commands.
  frame->ShowWindow(SW_HIDE);
  ASSERT_TRUE(plat::SendCommandToRunningInstance(32841));
  ASSERT_TRUE(WaitFor([&] { return frame->received.size() == 3; }));

  plat::ListenForCommands(nullptr);
  QCoreApplication::processEvents();
  EXPECT_FALSE(plat::SendCommandToRunningInstance(32818));

  // The window lingers until the event loop deletes it, but takes nothing.
  plat::ListenForCommands(frame.get());
  ASSERT_TRUE(plat::SendCommandToRunningInstance(32818));
  frame->DestroyWindow();
  EXPECT_FALSE(plat::SendCommandToRunningInstance(32818));
  frame.reset();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();  // the command sent before finds no frame
  EXPECT_FALSE(plat::SendCommandToRunningInstance(32818));
  plat::ListenForCommands(nullptr);
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

TEST(RealPointer, SetCursorPosMovesTheXPointer) {
  Connection x;
  ASSERT_TRUE(x.get());
  ASSERT_TRUE(SetCursorPos(321, 234));
  int px = -1, py = -1;
  ASSERT_TRUE(WaitFor([&] {
    Window root, child;
    int wx, wy;
    unsigned mask;
    XQueryPointer(x.get(), x.root(), &root, &child, &px, &py, &wx, &wy, &mask);
    return px == 321 && py == 234;
  })) << px
      << "," << py;

  ASSERT_EQ(Shell("xdotool mousemove 400 300"), 0);
  POINT p;
  ASSERT_TRUE(WaitFor([&] { return GetCursorPos(&p) && p.x == 400 && p.y == 300; }))
      << p.x << "," << p.y;
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
  // Grabs Alt+1 with the given extra modifiers from another connection, as
  // another program holding the key would; the X error code (0: granted).
  int GrabElsewhere(Connection& x, unsigned extraMods) {
    const KeyCode code = XKeysymToKeycode(x.get(), XK_1);
    return x.ErrorOf([&] {
      XGrabKey(x.get(), code, Mod1Mask | extraMods, x.root(), True, GrabModeAsync, GrabModeAsync);
    });
  }
  HotKeyOwner owner;
};

TEST_F(HotKey, AltOneIsDeliveredToTheOwnerWithItsIdentifierWhicheverLocksAreOn) {
  ASSERT_TRUE(RegisterHotKey(&owner, HOTKEY_ACTIVATE, MOD_ALT, '1'));
  // Each sequence holds one Alt+1; 1, Alt+2 and Ctrl+Alt+1 are other keys.
  const char* sequences[] = {"1 alt+2 alt+1", "ctrl+alt+1 alt+1", "Num_Lock alt+1 Num_Lock",
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

  // Destroyed without unregistering: the key still comes, to nobody.
  owner.DestroyWindow();
  ASSERT_EQ(Shell("xdotool key alt+1"), 0);
  Connection sync;
  XSync(sync.get(), False);
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
  EXPECT_EQ(owner.calls.size(), expected);
}

TEST_F(HotKey, AfterUnregisteringTheKeyIsFreeAndNoLongerDelivered) {
  ASSERT_TRUE(RegisterHotKey(&owner, HOTKEY_ACTIVATE, MOD_ALT, '1'));
  EXPECT_TRUE(UnregisterHotKey(&owner, HOTKEY_ACTIVATE));
  EXPECT_FALSE(UnregisterHotKey(&owner, HOTKEY_ACTIVATE));
  QCoreApplication::processEvents();
  Connection other;
  ASSERT_TRUE(other.get());
  EXPECT_EQ(GrabElsewhere(other, 0), 0);
  EXPECT_EQ(GrabElsewhere(other, Mod2Mask | LockMask), 0);
}

TEST_F(HotKey, AKeyHeldByAnotherProgramFailsToRegisterAndIsLeftToIt) {
  Connection other;
  ASSERT_TRUE(other.get());
  // The other program holds only the Caps Lock variant: the plain one our
  // registration grabbed first must be given back.
  ASSERT_EQ(GrabElsewhere(other, LockMask), 0);
  EXPECT_FALSE(RegisterHotKey(&owner, HOTKEY_ACTIVATE, MOD_ALT, '1'));
  Connection third;
  EXPECT_EQ(GrabElsewhere(third, 0), 0);
  XUngrabKey(third.get(), AnyKey, AnyModifier, third.root());
  XUngrabKey(other.get(), AnyKey, AnyModifier, other.root());
  XSync(third.get(), False);
  XSync(other.get(), False);

  // Once it lets go, the key is ours, and a second program is refused.
  ASSERT_TRUE(RegisterHotKey(&owner, HOTKEY_ACTIVATE, MOD_ALT, '1'));
  EXPECT_EQ(GrabElsewhere(other, 0), BadAccess);
  EXPECT_EQ(GrabElsewhere(other, Mod2Mask), BadAccess);
}

TEST_F(HotKey, KeysThatCannotBeGrabbedAreRefused) {
  EXPECT_FALSE(RegisterHotKey(nullptr, HOTKEY_ACTIVATE, MOD_ALT, '1'));
  EXPECT_FALSE(RegisterHotKey(&owner, HOTKEY_ACTIVATE, MOD_ALT, 0x01));  // no such key
  EXPECT_FALSE(RegisterHotKey(&owner, HOTKEY_ACTIVATE, 0x80, '1'));      // unknown modifier
  ASSERT_TRUE(RegisterHotKey(&owner, HOTKEY_ACTIVATE, MOD_ALT, '1'));
  HotKeyOwner second;
  EXPECT_FALSE(RegisterHotKey(&second, 7, MOD_ALT, '1'));  // already taken, by us
}

unsigned long PatternAt(int x, int y) {
  return (unsigned long)((x * 7 + y) & 0xFF) << 16 | ((y * 3 + x) & 0xFF) << 8 | ((x ^ y) & 0xFF);
}

COLORREF PatternColor(int x, int y) {
  const unsigned long v = PatternAt(x, y);
  return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

// A window over the whole screen showing a pattern in which neighbouring
// pixels, rows and columns all differ.
class PatternScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    Display* d = m_x.get();
    ASSERT_TRUE(d);
    const int screen = DefaultScreen(d);
    m_w = DisplayWidth(d, screen), m_h = DisplayHeight(d, screen);
    XSetWindowAttributes attrs{};
    attrs.override_redirect = True;
    m_window = XCreateWindow(d, m_x.root(), 0, 0, m_w, m_h, 0, CopyFromParent, InputOutput,
                             CopyFromParent, CWOverrideRedirect, &attrs);
    XMapRaised(d, m_window);
    XImage* image = XGetImage(d, m_x.root(), 0, 0, m_w, m_h, AllPlanes, ZPixmap);
    ASSERT_TRUE(image);
    for (int y = 0; y < m_h; ++y)
      for (int x = 0; x < m_w; ++x) XPutPixel(image, x, y, PatternAt(x, y));
    GC gc = XCreateGC(d, m_window, 0, nullptr);
    XPutImage(d, m_window, gc, image, 0, 0, 0, 0, m_w, m_h);
    XFreeGC(d, gc);
    XDestroyImage(image);
    XSync(d, False);
  }
  void TearDown() override {
    if (m_window) XDestroyWindow(m_x.get(), m_window);
    XSync(m_x.get(), False);
  }

  Connection m_x;
  Window m_window = 0;
  int m_w = 0, m_h = 0;
};

TEST_F(PatternScreen, AScreenContextCopiesTheScreenWholeOrInPart) {
  CWindowDC screen(nullptr);
  CBitmap whole, part;
  ASSERT_TRUE(whole.CreateCompatibleBitmap(&screen, m_w, m_h));
  ASSERT_TRUE(part.CreateCompatibleBitmap(&screen, 333, 300));
  CDC mem;
  mem.CreateCompatibleDC(&screen);
  CBitmap* old = mem.SelectObject(&whole);
  ASSERT_TRUE(mem.BitBlt(0, 0, m_w, m_h, &screen, 0, 0, SRCCOPY));
  int wrong = 0;
  for (int y = 0; y < m_h; ++y)
    for (int x = 0; x < m_w; ++x) wrong += whole.GetPixel(x, y) != PatternColor(x, y);
  EXPECT_EQ(wrong, 0);

  // Offset and odd-sized, across the rows where the capture splits its requests.
  mem.SelectObject(&part);
  ASSERT_TRUE(mem.BitBlt(0, 0, 333, 300, &screen, 7, 101, SRCCOPY));
  wrong = 0;
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 333; ++x) wrong += part.GetPixel(x, y) != PatternColor(x + 7, y + 101);
  EXPECT_EQ(wrong, 0);
  mem.SelectObject(old);
}

TEST_F(PatternScreen, AGrabIsClippedToTheScreen) {
  const QImage corner = plat::x11::GrabScreen(QRect(m_w - 24, m_h - 68, 100, 100));
  ASSERT_EQ(corner.size(), QSize(24, 68));
  EXPECT_EQ(corner.pixel(23, 67) & 0xFFFFFF, PatternAt(m_w - 1, m_h - 1));
  EXPECT_EQ(corner.pixel(0, 0) & 0xFFFFFF, PatternAt(m_w - 24, m_h - 68));
  EXPECT_TRUE(plat::x11::GrabScreen(QRect(m_w, 0, 10, 10)).isNull());
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
      << "the control's own window lies above the pane: " << std::hex << x.ScreenPixel(200, 190);

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
