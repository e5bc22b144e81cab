// Windows: the painting model, timers, command routing, input delivery,
// capture, geometry, frames, accelerators and menus.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/frame.h"
#include "platform/surface_qt.h"
#include "platform/wnd_widget_qt.h"
#include "tests/platform/test_wnd_util.h"

namespace {

using wndtest::ClientRect;
using wndtest::MakePopup;
using wndtest::MouseAt;
using wndtest::WindowRect;

class PaintCounter : public CWnd {
 public:
  int erases = 0, paints = 0;
  COLORREF fill = RGB(200, 0, 0);
  bool OnEraseBkgnd(CDC* dc) override {
    const RECT rc = ClientRect(*this);
    dc->FillSolidRect(&rc, fill);
    return ++erases > 0;
  }
  void OnPaint() override { ++paints; }
};

COLORREF SurfacePixel(CWnd& w, int x, int y) {
  const QRgb c = w.GetSurface()->Image().pixel(x, y);
  return RGB(qRed(c), qGreen(c), qBlue(c));
}

TEST(WindowPainting, InvalidateThenUpdateErasesOnceClippedAndTheLoopPaintsWhatNobodyUpdated) {
  PaintCounter w;
  ASSERT_TRUE(MakePopup(w, 0, 0, 120, 90));
  plat::ProcessEvents();  // the creation paint
  w.erases = w.paints = 0;
  w.Invalidate(true);
  EXPECT_TRUE(w.HasPendingPaint());
  w.UpdateWindow();
  EXPECT_EQ(std::tuple(w.erases, w.paints, w.HasPendingPaint()), std::tuple(1, 1, false));
  w.UpdateWindow();
  plat::ProcessEvents();
  EXPECT_EQ(w.erases, 1) << "nothing was pending any more";
  const COLORREF red = RGB(200, 0, 0), green = RGB(0, 255, 0);
  EXPECT_EQ(std::pair(SurfacePixel(w, 0, 0), SurfacePixel(w, 119, 89)), std::pair(red, red));

  // An invalidation nobody updates is painted by the event loop.
  w.erases = w.paints = 0;
  w.Invalidate(false);
  w.Invalidate(false);
  plat::ProcessEvents();
  EXPECT_EQ(std::pair(w.erases, w.paints), std::pair(0, 1))
      << "no erase was asked for; two invalidations make one paint";

  // Painting is clipped to the invalid rectangle.
  w.fill = green;
  RECT rc{10, 10, 20, 30};
  w.InvalidateRect(&rc, true);
  w.UpdateWindow();
  for (const auto& [x, y, colour] :
       {std::tuple{10, 10, green}, {19, 29, green}, {20, 29, red}, {9, 10, red}, {15, 30, red}})
    EXPECT_EQ(SurfacePixel(w, x, y), colour) << x << "," << y;
}

TEST(WindowPainting, DrawingThroughAClientContextPresentsOnlyTheChangedRectangle) {
  PaintCounter w;
  ASSERT_TRUE(MakePopup(w, 0, 0, 200, 150));
  w.ShowWindow(SW_SHOW);
  ASSERT_TRUE(wndtest::RunUntil([&] { return !w.HasPendingPaint(); }));
  plat::ProcessEvents(50);
  std::vector<QRect> presented;
  plat::WndWidget::SetPresentHook([&](CWnd* who, const QRect& r) {
    if (who == &w) presented.push_back(r);
  });
  const RECT rc{30, 40, 70, 60};
  CClientDC(&w).FillSolidRect(&rc, RGB(1, 2, 3));
  auto* widget = static_cast<plat::WndWidget*>(w.GetWidget());
  EXPECT_EQ(widget->PendingDamage().boundingRect(), QRect(30, 40, 40, 20));
  ASSERT_TRUE(wndtest::RunUntil([&] { return !presented.empty(); }));
  plat::ProcessEvents(50);
  plat::WndWidget::SetPresentHook(nullptr);
  QRect all;
  for (const QRect& r : presented) all |= r;
  EXPECT_EQ(all, QRect(30, 40, 40, 20));
  EXPECT_TRUE(widget->PendingDamage().isEmpty());
}

class TimerWnd : public CWnd {
 public:
  std::vector<UINT_PTR> ticks;
  void OnTimer(UINT_PTR id) override { ticks.push_back(id); }
  int Count(UINT_PTR id) const { return int(std::count(ticks.begin(), ticks.end(), id)); }
};

TEST(WindowTimers, TimersFireByIdentifierUntilKilledRestartedOrTheWindowIsDestroyed) {
  TimerWnd w;
  ASSERT_TRUE(MakePopup(w, 0, 0, 10, 10));
  EXPECT_EQ(w.SetTimer(7, 5), 7u);
  EXPECT_EQ(std::pair(w.HasTimer(7), w.HasTimer(8)), std::pair(true, false));
  ASSERT_TRUE(wndtest::RunUntil([&] { return w.Count(7) >= 2; }));
  EXPECT_TRUE(w.KillTimer(7));
  EXPECT_FALSE(w.KillTimer(7)) << "already gone";
  EXPECT_FALSE(w.HasTimer(7));
  const int before = w.Count(7);
  plat::ProcessEvents(40);
  EXPECT_EQ(w.Count(7), before);

  w.SetTimer(3, 1);
  w.DestroyWindow();
  EXPECT_FALSE(w.HasTimer(3)) << "a destroyed window has no timers";
  EXPECT_EQ(w.SetTimer(3, 1), 0u);
  plat::ProcessEvents(20);
  EXPECT_EQ(w.Count(3), 0);

  // Setting an existing timer restarts it; a timer may kill itself.
  class SelfKilling : public TimerWnd {
   public:
    void OnTimer(UINT_PTR id) override { TimerWnd::OnTimer(id), KillTimer(id); }
  } s;
  ASSERT_TRUE(MakePopup(s, 0, 0, 10, 10));
  s.SetTimer(1, 100000);
  s.SetTimer(1, 1);  // the same timer, now short
  ASSERT_TRUE(wndtest::RunUntil([&] { return s.Count(1) == 1; }));
  plat::ProcessEvents(30);
  EXPECT_EQ(std::pair(s.Count(1), s.HasTimer(1)), std::pair(1, false));
}

// Command maps.
class Target : public CWnd {
 public:
  std::vector<UINT> done;
  Target() {
    OnCommandRange(101, 103, [this](UINT id) { done.push_back(id); });
    OnCommand(200, [this] { done.push_back(200); });
    OnUpdateCommand(300, [](CCmdUI* ui) { ui->Enable(false); });
  }
};

TEST(CommandMaps, CommandsFindTheirEntriesAndPostedOnesWaitForTheLoopOfALiveWindow) {
  Target u;
  // A state handler (300) runs no command.
  for (const auto& [id, handled] :
       {std::pair{102u, true}, {200u, true}, {300u, false}, {999u, false}})
    EXPECT_EQ(u.OnCmdMsg(id, CN_COMMAND, nullptr), handled) << id;
  ASSERT_TRUE(MakePopup(u, 0, 0, 10, 10));
  u.SendCommand(103);
  u.PostCommand(101);
  EXPECT_EQ(u.done, (std::vector<UINT>{102, 200, 103}));
  plat::ProcessEvents();
  EXPECT_EQ(u.done, (std::vector<UINT>{102, 200, 103, 101}));
  u.PostCommand(102);
  u.DestroyWindow();
  plat::ProcessEvents();
  EXPECT_EQ(u.done.size(), 4u) << "a posted command for a destroyed window is dropped";
}

// A handled message: its handler, flags (or key) and client point.
using Msg = std::tuple<std::string, UINT, LONG, LONG>;

class Recorder : public CWnd {
 public:
  explicit Recorder(UINT classStyle = 0) : m_class(classStyle) {}
  std::vector<Msg> msgs;
  short ctrlState = 0, shiftState = 0;
  bool PreCreateWindow(CREATESTRUCT& cs) override { return cs.classStyle = m_class, true; }
  void OnLButtonDown(UINT f, CPoint p) override { Add("down", f, p); }
  void OnLButtonUp(UINT f, CPoint p) override { Add("up", f, p); }
  void OnLButtonDblClk(UINT f, CPoint p) override { Add("dbl", f, p); }
  void OnRButtonDown(UINT f, CPoint p) override { Add("rdown", f, p); }
  void OnRButtonUp(UINT f, CPoint p) override { Add("rup", f, p); }
  void OnMouseMove(UINT f, CPoint p) override {
    ctrlState = GetKeyState(VK_CONTROL), shiftState = GetKeyState(VK_SHIFT);
    Add("move", f, p);
  }
  void OnKeyDown(UINT vk, UINT, UINT) override { Add("key", vk, CPoint()); }

 private:
  void Add(const char* w, UINT f, CPoint p) { msgs.emplace_back(w, f, p.x, p.y); }
  UINT m_class;
};

TEST(MouseInput,
     HandlersGetClientPointsTheButtonsHeldAfterTheEventAndDoubleClicksWithTheClassStyle) {
  Recorder w;
  ASSERT_TRUE(MakePopup(w, 30, 40, 200, 100));
  MouseAt(w, QEvent::MouseButtonPress, {10, 20}, Qt::LeftButton, Qt::LeftButton);
  MouseAt(w, QEvent::MouseMove, {15, 25}, Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier);
  MouseAt(w, QEvent::MouseButtonPress, {15, 25}, Qt::RightButton, Qt::LeftButton | Qt::RightButton);
  MouseAt(w, QEvent::MouseButtonRelease, {16, 26}, Qt::LeftButton, Qt::RightButton,
          Qt::ControlModifier);
  MouseAt(w, QEvent::MouseButtonRelease, {17, 27}, Qt::RightButton, Qt::NoButton);
  MouseAt(w, QEvent::MouseMove, {18, 28}, Qt::NoButton, Qt::NoButton);
  const std::vector<Msg> expected = {{"down", MK_LBUTTON, 10, 20},
                                     {"move", MK_LBUTTON | MK_SHIFT, 15, 25},
                                     {"rdown", MK_LBUTTON | MK_RBUTTON, 15, 25},
                                     {"up", MK_RBUTTON | MK_CONTROL, 16, 26},
                                     {"rup", 0, 17, 27},
                                     {"move", 0, 18, 28}};
  EXPECT_EQ(w.msgs, expected);

  // The key state is that of the message being handled.
  MouseAt(w, QEvent::MouseMove, {1, 1}, Qt::NoButton, Qt::NoButton, Qt::ControlModifier);
  EXPECT_EQ(std::pair(w.ctrlState < 0, w.shiftState), std::pair(true, short(0)))
      << "high bit set while down";
  MouseAt(w, QEvent::MouseMove, {1, 1}, Qt::NoButton, Qt::NoButton, Qt::ShiftModifier);
  EXPECT_EQ(std::pair(w.ctrlState, w.shiftState < 0), std::pair(short(0), true));

  // A double click arrives as press, release, double click, release;
  // without the double-click style the double click is a press.
  for (const UINT style : {UINT(CS_DBLCLKS), 0u}) {
    Recorder d(style);
    ASSERT_TRUE(MakePopup(d, 0, 0, 50, 50));
    for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                      QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
      MouseAt(d, type, {5, 6}, Qt::LeftButton,
              type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton);
    EXPECT_EQ(d.msgs, (std::vector<Msg>{{"down", MK_LBUTTON, 5, 6},
                                        {"up", 0, 5, 6},
                                        {style ? "dbl" : "down", MK_LBUTTON, 5, 6},
                                        {"up", 0, 5, 6}}))
        << style;
  }
}

TEST(MouseCapture, TheCapturingWindowGetsTheMouseOverAnotherUntilReleasedHiddenOrDestroyed) {
  Recorder a, b;
  ASSERT_TRUE(MakePopup(a, 0, 0, 100, 100));
  ASSERT_TRUE(MakePopup(b, 200, 0, 100, 100));
  a.ShowWindow(SW_SHOW);
  b.ShowWindow(SW_SHOW);
  plat::ProcessEvents(20);
  EXPECT_EQ(a.SetCapture(), nullptr) << "nothing had the capture";
  EXPECT_EQ(CWnd::GetCapture(), &a);
  // Real input arrives at b's window; the grab routes it to a.
  QWindow* bw = b.GetWidget()->windowHandle();
  ASSERT_NE(bw, nullptr);
  wndtest::Mouse(bw, QEvent::MouseMove, {10, 10}, {210, 10}, Qt::NoButton, Qt::LeftButton);
  EXPECT_TRUE(b.msgs.empty());
  EXPECT_EQ(a.msgs, std::vector<Msg>{Msg("move", MK_LBUTTON, 210, 10)})
      << "in a's client coordinates";
  EXPECT_TRUE(CWnd::ReleaseCapture());
  EXPECT_EQ(CWnd::GetCapture(), nullptr);
  EXPECT_TRUE(CWnd::ReleaseCapture()) << "releasing without a capture is harmless";
  a.msgs.clear();
  wndtest::Mouse(bw, QEvent::MouseMove, {11, 10}, {211, 10}, Qt::NoButton, Qt::NoButton);
  EXPECT_TRUE(a.msgs.empty());
  EXPECT_EQ(b.msgs, std::vector<Msg>{Msg("move", 0, 11, 10)});

  // Hiding or destroying the capturing window ends the capture.
  a.SetCapture();
  a.ShowWindow(SW_HIDE);
  EXPECT_EQ(CWnd::GetCapture(), nullptr);
  a.ShowWindow(SW_SHOW);
  a.SetCapture();
  a.DestroyWindow();
  EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

TEST(WindowLifecycle, ACloseRequestRunsOnCloseWhichDestroysByDefaultAndARefusedCreationFails) {
  class Closing : public CWnd {
   public:
    int closes = 0, destroys = 0;
    void OnClose() override { ++closes, CWnd::OnClose(); }
    void OnDestroy() override { ++destroys; }
  } w;
  ASSERT_TRUE(MakePopup(w, 0, 0, 10, 10));
  w.GetWidget()->close();
  EXPECT_EQ(std::tuple(w.closes, w.destroys, w.IsCreated()), std::tuple(1, 1, false));

  class Refusing : public CWnd {
   public:
    int OnCreate(CREATESTRUCT*) override { return -1; }
  } refusing;
  EXPECT_FALSE(MakePopup(refusing, 0, 0, 10, 10)) << "OnCreate failing fails the creation";
  EXPECT_FALSE(refusing.IsCreated());
}

TEST(WindowGeometry, ChildRectanglesConvertAndMaximisingCoversTheScreenAndTitlesKeepTheCodePage) {
  CWnd top, child;
  ASSERT_TRUE(MakePopup(top, 100, 50, 300, 200));
  ASSERT_TRUE(child.CreateEx(0, WS_CHILD | WS_VISIBLE, {}, &top, RECT{10, 20, 60, 50}, 5));
  EXPECT_EQ(WindowRect(child), (RECT{110, 70, 160, 100}));
  EXPECT_EQ(ClientRect(child), (RECT{0, 0, 50, 30}));
  POINT p{111, 72};
  top.ScreenToClient(&p);
  EXPECT_EQ(p, (POINT{11, 22}));
  child.MoveWindow(0, 0, 20, 10);
  EXPECT_EQ(WindowRect(child), (RECT{100, 50, 120, 60}));
  EXPECT_EQ(child.GetSurface()->Image().size(), QSize(20, 10));

  CWnd w;
  ASSERT_TRUE(MakePopup(w, 5, 5, 10, 10));
  w.ShowWindow(SW_MAXIMIZE);
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(WindowRect(w),
            (RECT{screen.left(), screen.top(), screen.right() + 1, screen.bottom() + 1}));
  EXPECT_TRUE(w.ShowWindow(SW_HIDE)) << "it was visible";
  EXPECT_FALSE(w.IsWindowVisible());

  // Titles are kept in the code page and shown as Unicode.
  w.SetWindowText(GBK("调色板"));
  EXPECT_EQ(w.GetWindowText(), GBK("调色板"));
  EXPECT_EQ(w.GetWidget()->windowTitle(), QStringLiteral("调色板"));
}

TEST(FrameWindow, ThePaneFillsTheClientAreaAndExitClosesTheFrameWithItsChildren) {
  wndtest::Frame f;
  ASSERT_TRUE(f.CreateEx(0, WS_POPUP, {}, nullptr, RECT{0, 0, 400, 300}, 0));
  EXPECT_EQ(f.GetPane(), &f.board);
  EXPECT_EQ(ClientRect(f.board), (RECT{0, 0, 400, 300}));
  f.MoveWindow(0, 0, 640, 480);
  EXPECT_EQ(ClientRect(f.board), (RECT{0, 0, 640, 480}));
  f.SendCommand(57665);  // exit
  EXPECT_EQ(std::pair(f.IsCreated(), f.board.IsCreated()), std::pair(false, false));
}

TEST(Accelerators, KeysArriveAsVirtualKeysUnlessTheTableMakesThemCommandsOfItsOwner) {
  wndtest::Frame f;
  ASSERT_TRUE(f.CreateEx(0, WS_POPUP, {}, nullptr, RECT{0, 0, 100, 100}, 0));
  Recorder other;
  ASSERT_TRUE(MakePopup(other, 0, 0, 10, 10));
  for (int key : {Qt::Key_Escape, Qt::Key_A, Qt::Key_F12}) wndtest::Key(other.GetWidget(), key);
  const std::vector<Msg> keys = {
      {"key", VK_ESCAPE, 0, 0}, {"key", 'A', 0, 0}, {"key", VK_F12, 0, 0}};
  EXPECT_EQ(other.msgs, keys) << "keys arrive as virtual keys";
  other.msgs.clear();
  SetAccelerators(&f, {{MK_CONTROL, 'O', 10}, {0, VK_F12, 20}});
  wndtest::Key(other.GetWidget(), Qt::Key_O, Qt::ControlModifier);
  wndtest::Key(f.board.GetWidget(), Qt::Key_F12);
  EXPECT_EQ(f.board.got, (std::vector<UINT>{10, 20}));
  wndtest::Key(other.GetWidget(), Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
  wndtest::Key(other.GetWidget(), Qt::Key_O);
  EXPECT_EQ(f.board.got.size(), 2u) << "modifiers must match exactly";
  EXPECT_EQ(other.msgs.size(), 2u) << "these two arrived, the accelerated one was consumed";
  f.DestroyWindow();
  wndtest::Key(other.GetWidget(), Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(f.board.got.size(), 2u) << "a destroyed owner's table is gone";
}

TEST(PopupMenus, ItemStatesComeFromTheOwnersUpdates) {
  wndtest::Board owner;  // takes 1 to 20, checking the tool 9
  CMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  for (const UINT id : {9u, 0u, 2u, 10u, 21u})
    id ? menu.AppendMenu(MF_STRING, id, GBK("启动")) : menu.AppendMenu(MF_SEPARATOR);
  menu.UpdateItemStates(&owner);
  // Identifiers and flags: a command handler enables an item, none grays it.
  std::vector<std::pair<UINT, UINT>> states;
  for (const CMenu::Item& item : menu.Items()) states.emplace_back(item.id, item.flags);
  EXPECT_EQ(states, (std::vector<std::pair<UINT, UINT>>{
                        {9, MF_CHECKED}, {0, MF_SEPARATOR}, {2, 0}, {10, 0}, {21, MF_GRAYED}}));
  EXPECT_EQ(menu.GetSubMenu(0), nullptr);
}

}  // namespace
