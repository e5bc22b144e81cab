// The painting model, timers and command routing of windows.
#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>
#include <vector>

#include "platform/surface_qt.h"
#include "platform/wnd_widget_qt.h"
#include "tests/platform/test_wnd_util.h"

namespace {

using wndtest::MakePopup;

class PaintCounter : public CWnd {
 public:
  int erases = 0, paints = 0;
  COLORREF fill = RGB(200, 0, 0);
  bool OnEraseBkgnd(CDC* dc) override {
    ++erases;
    RECT rc;
    GetClientRect(&rc);
    dc->FillSolidRect(&rc, fill);
    return true;
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
  EXPECT_EQ(w.erases, 1);
  EXPECT_EQ(w.paints, 1);
  EXPECT_FALSE(w.HasPendingPaint());
  w.UpdateWindow();
  plat::ProcessEvents();
  EXPECT_EQ(w.erases, 1) << "nothing was pending any more";
  EXPECT_EQ(SurfacePixel(w, 0, 0), RGB(200, 0, 0));
  EXPECT_EQ(SurfacePixel(w, 119, 89), RGB(200, 0, 0));

  // An invalidation nobody updates is painted by the event loop.
  w.erases = w.paints = 0;
  w.Invalidate(false);
  w.Invalidate(false);
  plat::ProcessEvents();
  EXPECT_EQ(w.erases, 0) << "no erase was asked for";
  EXPECT_EQ(w.paints, 1) << "two invalidations make one paint";

  // Painting is clipped to the invalid rectangle.
  w.fill = RGB(0, 255, 0);
  RECT rc{10, 10, 20, 30};
  w.InvalidateRect(&rc, true);
  w.UpdateWindow();
  EXPECT_EQ(SurfacePixel(w, 10, 10), RGB(0, 255, 0));
  EXPECT_EQ(SurfacePixel(w, 19, 29), RGB(0, 255, 0));
  EXPECT_EQ(SurfacePixel(w, 20, 29), RGB(200, 0, 0));
  EXPECT_EQ(SurfacePixel(w, 9, 10), RGB(200, 0, 0));
  EXPECT_EQ(SurfacePixel(w, 15, 30), RGB(200, 0, 0));
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
  {
    CClientDC dc(&w);
    RECT rc{30, 40, 70, 60};
    dc.FillSolidRect(&rc, RGB(1, 2, 3));
  }
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
  EXPECT_TRUE(w.HasTimer(7));
  EXPECT_FALSE(w.HasTimer(8));
  ASSERT_TRUE(wndtest::RunUntil([&] { return w.Count(7) >= 2; }));
  EXPECT_EQ(w.Count(8), 0);
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
    void OnTimer(UINT_PTR id) override {
      TimerWnd::OnTimer(id);
      KillTimer(id);
    }
  } s;
  ASSERT_TRUE(MakePopup(s, 0, 0, 10, 10));
  s.SetTimer(1, 100000);
  s.SetTimer(1, 1);  // the same timer, now short
  ASSERT_TRUE(wndtest::RunUntil([&] { return s.Count(1) == 1; }));
  plat::ProcessEvents(30);
  EXPECT_EQ(s.Count(1), 1);
  EXPECT_FALSE(s.HasTimer(1));
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
  Target t;
  EXPECT_TRUE(t.OnCmdMsg(102, CN_COMMAND, nullptr));
  EXPECT_TRUE(t.OnCmdMsg(200, CN_COMMAND, nullptr));
  EXPECT_FALSE(t.OnCmdMsg(300, CN_COMMAND, nullptr)) << "a state handler runs no command";
  EXPECT_FALSE(t.OnCmdMsg(999, CN_COMMAND, nullptr));
  EXPECT_EQ(t.done, (std::vector<UINT>{102, 200}));

  Target u;
  ASSERT_TRUE(MakePopup(u, 0, 0, 10, 10));
  u.SendCommand(103);
  EXPECT_EQ(u.done, (std::vector<UINT>{103}));
  u.PostCommand(101);
  EXPECT_EQ(u.done.size(), 1u);
  plat::ProcessEvents();
  EXPECT_EQ(u.done, (std::vector<UINT>{103, 101}));
  u.PostCommand(102);
  u.DestroyWindow();
  plat::ProcessEvents();
  EXPECT_EQ(u.done.size(), 2u) << "a posted command for a destroyed window is dropped";
}

}  // namespace
