// Presenting on a real X server: a pane as large as its screen-sized window
// puts its surface on the screen itself, and Qt-painted controls inside it
// still show above it.
#include <gtest/gtest.h>

#include <QWidget>

#include "platform/controls.h"
#include "platform/gdi.h"
#include "platform/wnd.h"
#include "platform/x11_qt.h"

// Xlib after everything else.
#include "tests/x11/x11_test_util.h"

using x11test::WaitFor;

namespace {

TEST(DirectPresent, AScreenSizedPaneShowsWhatIsDrawnAndTheControlsInIt) {
  x11test::Connection x;
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
  EXPECT_TRUE(pane.GetWidget()->testAttribute(Qt::WA_PaintOnScreen));
  EXPECT_FALSE(frame.GetWidget()->testAttribute(Qt::WA_PaintOnScreen));
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
  edit.DestroyWindow();
  pane.DestroyWindow();
  frame.DestroyWindow();
}

}  // namespace
