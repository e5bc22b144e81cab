#include <gtest/gtest.h>

#include <QWidget>
#include <memory>

#include "platform/codepage.h"
#include "platform/desktop.h"
#include "platform/gdi.h"
#include "platform/services.h"
#include "platform/wnd.h"

// Xlib after everything else.
#include "tests/x11/x11_test_util.h"

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
  ASSERT_TRUE(frame->CreateEx(0, WS_POPUP, GBK("Corvale_Tavix"), nullptr, CRect(0, 0, 100, 100), 0));
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

}  // namespace
