// The screen on a real X server: the pixels a screen context gives are the
// ones on the screen, whichever part is copied; and a pane as large as its
// screen-sized window puts its surface on the screen itself, Qt-painted
// controls inside it still showing above it.
#include <gtest/gtest.h>

#include <QRect>
#include <QWidget>
#include <vector>

#include "platform/controls.h"
#include "platform/gdi.h"
#include "platform/wnd.h"
#include "platform/x11_qt.h"

// Xlib after everything else.
#include "tests/x11/x11_test_util.h"

using x11test::WaitFor;

namespace {

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
    m_w = DisplayWidth(d, screen);
    m_h = DisplayHeight(d, screen);
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

  x11test::Connection m_x;
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
