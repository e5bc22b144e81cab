// Floating bars, the tool bar layout and states, dialog templates and the
// common controls.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QInputMethodEvent>
#include <QTextEdit>

#include "platform/codepage.h"
#include "platform/wnd_widget_qt.h"
#include "tests/platform/test_wnd_util.h"

namespace {

using wndtest::ClientRect;
using wndtest::Frame;
using wndtest::MouseAt;
using wndtest::WindowRect;

// Each test gets the frame with its board and main tool bar.
class WithFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(f.CreateEx(0, WS_POPUP, {}, nullptr, RECT{0, 0, 800, 600}, 0));
  }
  Frame f;
};
using ComboBox = WithFrame;
using DialogBar = WithFrame;
using FloatingBars = WithFrame;
using ToolBar = WithFrame;

TEST_F(ToolBar, TwentyNineEntriesWrappedEveryFiveMakeSixRowsOfFourButtons) {
  ASSERT_EQ(f.bar.GetCount(), 29);
  for (int i = 0; i < 29; ++i)
    f.bar.SetButtonStyle(
        i, (f.bar.GetButtonStyle(i) & ~TBBS_WRAPPED) | ((i + 1) % 5 ? 0 : TBBS_WRAPPED));
  // Rows 22 high with a separator's 6 between them, buttons 23 wide.
  std::vector<RECT> buttons, want;
  for (int i = 0; i < 29; ++i)
    if (!(f.bar.GetButtonStyle(i) & TBBS_SEPARATOR)) f.bar.GetItemRect(i, &buttons.emplace_back());
  for (LONG top = 3; top < 6 * 28; top += 28)
    for (LONG left = 6; left < 6 + 4 * 23; left += 23)
      want.push_back({left, top, left + 23, top + 22});
  EXPECT_EQ(buttons, want);
  // The floating window fits the rows: client = borders + buttons + gaps.
  EXPECT_EQ(ClientRect(f.bar), (RECT{0, 0, 6 + 4 * 23 + 6, 3 + 6 * 22 + 5 * 6 + 3}));
}

TEST_F(ToolBar, ClickedButtonsSendCommandsAndIdleUpdatesOfShownBarsCheckOneToolAndDisableTheRest) {
  // The identifiers of the entries with any of the style flags.
  auto having = [&](UINT flags) {
    std::vector<UINT> ids;
    for (int i = 0; i < f.bar.GetCount(); ++i)
      if (f.bar.GetButtonStyle(i) & flags) ids.push_back(f.bar.GetItemID(i));
    return ids;
  };
  CWnd::RunIdleUpdates();
  EXPECT_TRUE(having(TBBS_CHECKED | TBBS_DISABLED).empty()) << "a hidden bar is not updated";
  f.ShowControlBar(&f.bar, true, false);
  CWnd::RunIdleUpdates();
  EXPECT_EQ(having(TBBS_CHECKED), (std::vector<UINT>{9}));
  f.SendCommand(12);
  CWnd::RunIdleUpdates();
  EXPECT_EQ(having(TBBS_CHECKED), (std::vector<UINT>{12}));
  EXPECT_EQ(having(TBBS_DISABLED), (std::vector<UINT>{21, 22, 23, 24}));
  // A disabled button sends nothing.
  f.bar.ClickButton(f.bar.CommandToIndex(24));
  EXPECT_EQ(f.board.got, (std::vector<UINT>{12}));

  RECT rc;
  f.bar.GetItemRect(5, &rc);  // command 5
  const QPoint c((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
  MouseAt(f.bar, QEvent::MouseButtonPress, c, Qt::LeftButton, Qt::LeftButton);
  MouseAt(f.bar, QEvent::MouseButtonRelease, c, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(f.board.got, (std::vector<UINT>{12, 5}));
  // Released elsewhere: no command.
  MouseAt(f.bar, QEvent::MouseButtonPress, c, Qt::LeftButton, Qt::LeftButton);
  MouseAt(f.bar, QEvent::MouseButtonRelease, {-5, -5}, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(f.board.got.size(), 2u);
  EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

TEST_F(ToolBar, ASeparatorMayCarryAChildControlOfItsWidth) {
  f.bar.SetButtonInfo(0, 77, TBBS_SEPARATOR, 160);
  RECT rc, next;
  f.bar.GetItemRect(0, &rc);
  f.bar.GetItemRect(1, &next);
  EXPECT_EQ(std::pair(rc.right - rc.left, next.left), std::pair(LONG(160), rc.right));
}

TEST_F(FloatingBars, ABarFloatsWhereAskedShowsWhenToldAndStaysAboveTheRaisedFrame) {
  f.FloatControlBar(&f.bar, POINT{10, 50}, CBRS_ALIGN_TOP);
  EXPECT_EQ(std::pair(WindowRect(f.bar).left, WindowRect(f.bar).top), std::pair(10, 50));
  EXPECT_EQ(std::pair(f.bar.IsFloating(), f.bar.IsWindowVisible()), std::pair(true, false));
  POINT origin{0, 0};
  f.bar.ClientToScreen(&origin);
  EXPECT_EQ(origin.y, 50 + CControlBar::kCaptionHeight) << "the caption sits above the client";

  f.ShowControlBar(&f.bar, true, true);
  EXPECT_FALSE(f.bar.IsWindowVisible()) << "a delayed show waits for the loop";
  plat::ProcessEvents();
  EXPECT_TRUE(f.bar.IsWindowVisible());
  f.ShowControlBar(&f.bar, false, true);
  f.ShowControlBar(&f.bar, true, false);
  plat::ProcessEvents();
  EXPECT_TRUE(f.bar.IsWindowVisible()) << "the immediate show overrides the delayed hide";

  // Raising the frame keeps the bars above it in the order they were shown.
  CToolBar second;
  ASSERT_TRUE(second.CreateEx(&f, TBSTYLE_FLAT, WS_CHILD, RECT{0, 0, 0, 0}, 1));
  auto stamp = [](CWnd& w) { return static_cast<plat::WndWidget*>(w.GetWidget())->m_raiseStamp; };
  f.ShowControlBar(&second, true, false);  // shown first: below
  f.ShowControlBar(&f.bar, true, false);   // shown last: on top
  f.ShowWindow(SW_SHOW);
  EXPECT_TRUE(stamp(f) < stamp(second) && stamp(second) < stamp(f.bar));
}

// A palette-like template: two frames, one hidden.
DialogTemplate PaletteLike() {
  DialogTemplate t;
  t.cx = 64, t.cy = 85, t.fontFace = GBK("宋体"), t.pointSize = 9;
  t.items = {{DlgControl::Static, 1000, 37, 6, 15, 15, SS_BLACKFRAME | WS_VISIBLE, {}},
             {DlgControl::Static, 1001, 43, 10, 15, 15, SS_BLACKFRAME, {}},
             {DlgControl::Static, 1004, 1, 2, 30, 47, SS_GRAYFRAME | WS_VISIBLE, {}}};
  return t;
}

class ClickBar : public CDialogBar {
 public:
  std::vector<POINT> clicks;
  void OnLButtonDown(UINT, CPoint p) override { clicks.push_back(p); }
};

// A frame is as thick on every side and reaches the control's edges, at the
// desktop's scale and at twice it, so the parent's fill under it never shows.
TEST_F(DialogBar, StaticFramesAreEvenOnEverySideAtEachScale) {
  ClickBar bar;
  ASSERT_TRUE(bar.Create(&f, PaletteLike(), WS_CHILD | WS_VISIBLE, 103));
  QWidget* frame = bar.GetDlgItem(1000)->GetWidget();
  for (const int times : {1, 2}) {
    QImage img(frame->size() * times, QImage::Format_RGB32);
    img.setDevicePixelRatio(times);
    img.fill(Qt::red);
    frame->render(&img, {}, {}, QWidget::RenderFlags());
    const int w = img.width(), h = img.height();
    std::vector<int> depth;  // top, left, bottom, right: frame pixels inwards
    const int probes[4][4] = {
        {w / 2, 0, 0, 1}, {0, h / 2, 1, 0}, {w / 2, h - 1, 0, -1}, {w - 1, h / 2, -1, 0}};
    for (const auto& [x, y, dx, dy] : probes) {
      int n = 0;
      while (n < 8 && img.pixel(x + n * dx, y + n * dy) == qRgb(0, 0, 0)) ++n;
      depth.push_back(img.pixel(x + n * dx, y + n * dy) == qRgb(255, 0, 0) ? n : -1);
    }
    EXPECT_EQ(depth, std::vector<int>(4, times)) << times;
  }
}

TEST_F(DialogBar, ItemsShowWithTheBarUnlessTheirTemplateHidesThemAndClicksOnFramesReachTheBar) {
  const DialogTemplate t = PaletteLike();
  RegisterDialogTemplate(4243, t);
  ClickBar bar;
  ASSERT_TRUE(bar.Create(&f, 4243u, WS_CHILD | CBRS_ALIGN_RIGHT, 103));
  EXPECT_FALSE(bar.GetDlgItem(1000)->IsWindowVisible()) << "the bar itself is hidden";
  EXPECT_EQ(bar.GetDlgItem(9999), nullptr);
  bar.ShowWindow(SW_SHOW);
  plat::ProcessEvents();
  EXPECT_EQ(
      std::pair(bar.GetDlgItem(1000)->IsWindowVisible(), bar.GetDlgItem(1001)->IsWindowVisible()),
      std::pair(true, false));

  const RECT cell = MapDialogItem(t, t.items[0]);
  const QPoint client(cell.left + 3, cell.top + 3);
  QWindow* win = bar.GetWidget()->windowHandle();
  ASSERT_NE(win, nullptr);
  MouseAt(bar, QEvent::MouseButtonPress, client, Qt::LeftButton, Qt::LeftButton, {}, win);
  MouseAt(bar, QEvent::MouseButtonRelease, client, Qt::LeftButton, Qt::NoButton, {}, win);
  EXPECT_EQ(bar.clicks, (std::vector<POINT>{{client.x(), client.y()}}));
}

TEST_F(ComboBox, OwnerDrawnBoxesMeasureOnceAndAUserChoiceButNotSetCurSelIsACommand) {
  class Drawn : public CComboBox {
   public:
    int measured = 0;
    void MeasureItem(MEASUREITEMSTRUCT* mis) override { ++measured, mis->itemHeight = 19; }
  } drawn;
  ASSERT_TRUE(
      drawn.Create(WS_CHILD | CBS_DROPDOWN | CBS_OWNERDRAWFIXED, RECT{0, 0, 160, 300}, &f.bar, 1));
  EXPECT_EQ(std::pair(drawn.measured, drawn.GetItemHeight(0)), std::pair(1, 19));

  CComboBox box;
  ASSERT_TRUE(
      box.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, RECT{0, 0, 70, 500}, &f.bar, 15));
  for (const char* size : {"初号", "小初"}) box.AddString(GBK(size));
  box.SetCurSel(1);
  auto* combo = box.GetWidget()->findChild<QComboBox*>();
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->currentText(), QStringLiteral("小初"));
  combo->setCurrentIndex(0);
  emit combo->activated(0);
  EXPECT_EQ(f.board.got, (std::vector<UINT>{15})) << "the choice alone, not SetCurSel";
  EXPECT_EQ(std::pair(box.GetCurSel(), box.GetWindowText()), std::pair(0, GBK("初号")));
  const RECT rc = WindowRect(box);
  EXPECT_LT(rc.bottom - rc.top, 500) << "the height given is the open list's";
}

TEST(CommonControls, ARichEditBoxTakesWhatAnInputMethodCommitsInTheCodePage) {
  CWnd p;
  ASSERT_TRUE(wndtest::MakePopup(p, 0, 0, 400, 300));
  CRichEditCtrl edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_BORDER | WS_THICKFRAME | ES_MULTILINE | ES_WANTRETURN,
                          RECT{10, 10, 210, 110}, &p, 109));
  EXPECT_EQ(std::pair(edit.GetWindowText(), edit.GetLineCount()), std::pair(std::string(), 1));
  // What an input method commits arrives whole, also outside GBK.
  auto* text = edit.GetWidget()->findChild<QTextEdit*>();
  ASSERT_NE(text, nullptr);
  EXPECT_TRUE(text->testAttribute(Qt::WA_InputMethodEnabled));
  QInputMethodEvent typed;
  typed.setCommitString(QStringLiteral("中文𠮷"));
  QCoreApplication::sendEvent(text, &typed);
  EXPECT_EQ(edit.GetWindowText(), GBK("中文𠮷"));
  EXPECT_EQ(WindowRect(edit), (RECT{10, 10, 210, 110})) << "the window rectangle has the frame";
  EXPECT_LT(ClientRect(edit).right, 200);
  EXPECT_EQ(edit.SetBackgroundColor(false, RGB(1, 2, 3)), RGB(255, 255, 255));
  EXPECT_EQ(edit.SetBackgroundColor(false, RGB(4, 5, 6)), RGB(1, 2, 3));
}

}  // namespace
