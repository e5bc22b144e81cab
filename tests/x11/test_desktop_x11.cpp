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
#include "tests/platform/test_wnd_util.h"

// Xlib after everything else: its macros (None, Bool, Status) clash with
// Qt and gtest names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace {

using wndtest::RunUntil;

class Connection {
 public:
  Display* get() const { return m_display.get(); }
  Window root() const { return DefaultRootWindow(get()); }

  // The screen's colour at (x, y), as another client reads it.
  COLORREF ScreenPixel(int x, int y) const {
    XImage* image = XGetImage(get(), root(), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return CLR_INVALID;
    const unsigned long v = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }

  std::vector<COLORREF> ScreenPixels(std::initializer_list<std::pair<int, int>> points) const {
    std::vector<COLORREF> colours;
    for (const auto& [x, y] : points) colours.push_back(ScreenPixel(x, y));
    return colours;
  }

 private:
  std::unique_ptr<Display, int (*)(Display*)> m_display{XOpenDisplay(nullptr), XCloseDisplay};
};

// Our own windows by their Unicode name, other programs' by the old-style
// one, also inside a window manager's frame; hidden ones too, as a program
// hidden by its temporary exit still runs.
TEST(FindTopLevelWindow, FindsAWindowByItsWholeTitleOnlyWhateverNamesItAndWhereverItIs) {
  QWidget w;
  w.setWindowTitle(QStringLiteral("Corvale多媒体网络教室"));
  w.setGeometry(100, 100, 200, 100);
  w.show();
  ASSERT_TRUE(RunUntil([] { return plat::FindTopLevelWindow("Corvale多媒体网络教室"); }));
  for (const char* title : {"Corvale", "Corvale多媒体网络", "Corvale多媒体网络教室 ", ""})
    EXPECT_FALSE(plat::FindTopLevelWindow(title)) << title;
  w.hide();
  QCoreApplication::processEvents();
  EXPECT_TRUE(plat::FindTopLevelWindow("Corvale多媒体网络教室"));

  Connection x;
  ASSERT_TRUE(x.get());
  const Window frame = XCreateSimpleWindow(x.get(), x.root(), 0, 0, 60, 60, 0, 0, 0);
  const Window other = XCreateSimpleWindow(x.get(), x.root(), 0, 0, 50, 50, 0, 0, 0);
  XStoreName(x.get(), other, "Corvale_Tavix");  // WM_NAME as STRING, no _NET_WM_NAME
  XSync(x.get(), False);
  EXPECT_EQ(std::pair(plat::FindTopLevelWindow("Corvale_Tavix"),
                      plat::FindTopLevelWindow("Corvale_Tavi")),
            std::pair(true, false));
  XReparentWindow(x.get(), other, frame, 5, 5);
  XSync(x.get(), False);
  EXPECT_TRUE(plat::FindTopLevelWindow("Corvale_Tavix"));
  XDestroyWindow(x.get(), frame);
  XSync(x.get(), False);
  EXPECT_FALSE(plat::FindTopLevelWindow("Corvale_Tavix"));
}

TEST(CommandChannel, ACommandReachesTheListeningFrameAsACommandMessageUntilItIsGone) {
  auto frame = std::make_unique<wndtest::Board>();
  ASSERT_TRUE(
      frame->CreateEx(0, WS_POPUP, GBK("Corvale_Tavix"), nullptr, CRect(0, 0, 100, 100), 0));
  plat::ListenForCommands(frame.get());
  ASSERT_TRUE(plat::SendCommandToRunningInstance(32818) && plat::SendCommandToRunningInstance(12));
  ASSERT_TRUE(RunUntil([&] { return frame->got.size() == 2; }));
  EXPECT_EQ(frame->got, (std::vector<UINT>{32818, 12}));

  // Hidden, as after a temporary exit, the frame still takes commands.
  frame->ShowWindow(SW_HIDE);
  ASSERT_TRUE(plat::SendCommandToRunningInstance(12));
  ASSERT_TRUE(RunUntil([&] { return frame->got.size() == 3; }));

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
  ASSERT_TRUE(RunUntil([&] { return x.ScreenPixel(50, 50) == GetSysColor(COLOR_WINDOW); }));

  const CRect rc(20, 20, 80, 80);
  CClientDC(&wnd).FillSolidRect(&rc, RGB(255, 0, 0));
  Sleep(0);  // no event is handled from here on
  XSync(x.get(), False);
  EXPECT_EQ(x.ScreenPixels({{50, 50}, {10, 10}}),
            (std::vector<COLORREF>{RGB(255, 0, 0), GetSysColor(COLOR_WINDOW)}));
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
    ASSERT_EQ(std::system((std::string("xdotool key ") + keys).c_str()), 0);
    ++expected;
    ASSERT_TRUE(RunUntil([&] { return owner.calls.size() >= expected; })) << keys;
  }
  EXPECT_EQ(owner.calls,
            std::vector(expected, std::tuple(UINT(HOTKEY_ACTIVATE), MOD_ALT, UINT('1'))));
}

TEST_F(HotKey, AKeyHeldByAnotherProgramFailsToRegisterWithoutEndingTheProgram) {
  Connection other;
  ASSERT_TRUE(other.get());
  // Another program holds only the Caps Lock variant: the refusal comes
  // after our plain grab went through.
  XGrabKey(other.get(), XKeysymToKeycode(other.get(), XK_1), Mod1Mask | LockMask, other.root(),
           True, GrabModeAsync, GrabModeAsync);
  XSync(other.get(), False);
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
  EXPECT_TRUE(RunUntil([&] { return x.ScreenPixel(w - 5, h - 5) == RGB(255, 255, 255); }))
      << "shown, the pane is erased";
  edit.ShowWindow(SW_SHOW);
  EXPECT_TRUE(RunUntil([&] { return x.ScreenPixel(200, 190) == RGB(0, 255, 0); }))
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
  // The mark, the pane around it and the control, which drawing on the pane leaves.
  EXPECT_EQ(x.ScreenPixels({{410, 305}, {430, 305}, {200, 190}}),
            (std::vector<COLORREF>{RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 255, 0)}));

  // Once idle a while, large puts go through shared memory: whole and in part.
  EXPECT_TRUE(RunUntil([] { return plat::x11::SharedMemoryPuts(); }));
  {
    CClientDC dc(&pane);
    const CRect all(0, 0, w, h), part(300, 350, 1000, 750);
    dc.FillSolidRect(&all, RGB(255, 255, 0));
    Sleep(0);
    dc.FillSolidRect(&part, RGB(255, 0, 255));
  }
  Sleep(0);
  XSync(x.get(), False);
  const COLORREF yellow = RGB(255, 255, 0), magenta = RGB(255, 0, 255);
  EXPECT_EQ(x.ScreenPixels({{10, 10}, {300, 350}, {999, 749}, {1000, 749}, {299, 350}, {200, 190}}),
            (std::vector<COLORREF>{yellow, magenta, magenta, yellow, yellow, RGB(0, 255, 0)}));
}

}  // namespace
