// The desktop on a real X server: finding other programs' windows, the
// command channel between instances, the pause, the pointer and hot keys.
#include <gtest/gtest.h>

#include <QWidget>
#include <memory>
#include <string>

#include "platform/codepage.h"
#include "platform/desktop.h"
#include "platform/gdi.h"
#include "platform/services.h"
#include "platform/wnd.h"

// Xlib after everything else.
#include "tests/x11/x11_test_util.h"

using x11test::Shell;
using x11test::WaitFor;

namespace {

TEST(FindTopLevelWindow, FindsAWindowByItsWholeTitleOnly) {
  auto w = std::make_unique<QWidget>();
  w->setWindowTitle(QStringLiteral("Corvale多媒体网络教室"));
  w->setGeometry(100, 100, 200, 100);
  w->show();
  ASSERT_TRUE(WaitFor([] { return plat::FindTopLevelWindow("Corvale多媒体网络教室"); }));
  EXPECT_FALSE(plat::FindTopLevelWindow("Corvale"));
  EXPECT_FALSE(plat::FindTopLevelWindow("Corvale多媒体网络"));
  EXPECT_FALSE(plat::FindTopLevelWindow("Corvale多媒体网络教室 "));
  EXPECT_FALSE(plat::FindTopLevelWindow(""));

  // A hidden window still exists: a program hidden by its temporary exit
  // still runs.
  w->hide();
  QCoreApplication::processEvents();
  EXPECT_TRUE(plat::FindTopLevelWindow("Corvale多媒体网络教室"));

  w.reset();
  EXPECT_TRUE(WaitFor([] { return !plat::FindTopLevelWindow("Corvale多媒体网络教室"); }));
}

TEST(FindTopLevelWindow, ReadsTheOldStyleNameOfOtherProgramsWindowsAlsoInsideAFrame) {
  x11test::Connection x;
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
    OnCommand(32818, [this] { received.push_back(32818); });
    OnCommand(32841, [this] { received.push_back(32841); });
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
  x11test::Connection x;
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
  x11test::Connection x;
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

  ASSERT_EQ(x11test::Shell("xdotool mousemove 400 300"), 0);
  POINT p;
  ASSERT_TRUE(WaitFor([&] { return GetCursorPos(&p) && p.x == 400 && p.y == 300; }))
      << p.x << "," << p.y;
}

class HotKeyOwner : public CWnd {
 public:
  long OnHotKey(UINT id, UINT modifiers, UINT vk) override {
    calls.push_back({id, modifiers, vk});
    return 1;
  }
  struct Call {
    UINT id, modifiers, vk;
  };
  std::vector<Call> calls;
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
  int GrabElsewhere(x11test::Connection& x, unsigned extraMods) {
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
  for (const HotKeyOwner::Call& c : owner.calls) {
    EXPECT_EQ(c.id, UINT(HOTKEY_ACTIVATE));
    EXPECT_EQ(c.modifiers, MOD_ALT);
    EXPECT_EQ(c.vk, UINT('1'));
  }

  // Destroyed without unregistering: the key still comes, to nobody.
  owner.DestroyWindow();
  ASSERT_EQ(Shell("xdotool key alt+1"), 0);
  x11test::Connection sync;
  XSync(sync.get(), False);
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
  EXPECT_EQ(owner.calls.size(), expected);
}

TEST_F(HotKey, AfterUnregisteringTheKeyIsFreeAndNoLongerDelivered) {
  ASSERT_TRUE(RegisterHotKey(&owner, HOTKEY_ACTIVATE, MOD_ALT, '1'));
  EXPECT_TRUE(UnregisterHotKey(&owner, HOTKEY_ACTIVATE));
  EXPECT_FALSE(UnregisterHotKey(&owner, HOTKEY_ACTIVATE));
  QCoreApplication::processEvents();
  x11test::Connection other;
  ASSERT_TRUE(other.get());
  EXPECT_EQ(GrabElsewhere(other, 0), 0);
  EXPECT_EQ(GrabElsewhere(other, Mod2Mask | LockMask), 0);
}

TEST_F(HotKey, AKeyHeldByAnotherProgramFailsToRegisterAndIsLeftToIt) {
  x11test::Connection other;
  ASSERT_TRUE(other.get());
  // The other program holds only the Caps Lock variant: the plain one our
  // registration grabbed first must be given back.
  ASSERT_EQ(GrabElsewhere(other, LockMask), 0);
  EXPECT_FALSE(RegisterHotKey(&owner, HOTKEY_ACTIVATE, MOD_ALT, '1'));
  x11test::Connection third;
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

}  // namespace
