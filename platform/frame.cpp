// The frame window base: pane layout, floating bars and the end of the
// message loop when the main frame goes.
#include "platform/frame.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <algorithm>

#include "platform/app.h"
#include "platform/controls.h"
#include "platform/wnd_widget_qt.h"

namespace {
constexpr UINT kPaneFirst = 0xE900;  // the frame's first pane
constexpr UINT kAppExit = 0xE141;    // the platform's exit command
CFrameWnd* g_mainFrame = nullptr;
}  // namespace

CFrameWnd::CFrameWnd() {
  // The exit command closes the frame as a close request would.
  OnCommand(kAppExit, [this] { OnClose(); });
}

CFrameWnd::~CFrameWnd() {
  if (g_mainFrame == this) g_mainFrame = nullptr;
}

CFrameWnd* CFrameWnd::GetMainFrame() { return g_mainFrame; }

int CFrameWnd::OnCreate(CREATESTRUCT* cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  if (!g_mainFrame) g_mainFrame = this;
  // Children made by the derived OnCreate get their places at the next layout.
  QPointer<QWidget> w(GetWidget());
  QTimer::singleShot(0, GetWidget(), [w] {
    if (auto* f = dynamic_cast<CFrameWnd*>(plat::WndFromWidget(w))) f->RecalcLayout();
  });
  return 0;
}

void CFrameWnd::OnSize(UINT, int, int) { RecalcLayout(); }

void CFrameWnd::PostNcDestroy() {
  if (g_mainFrame == this) {
    g_mainFrame = nullptr;
    plat::QuitMessageLoop(0);
  }
}

CWnd* CFrameWnd::GetPane() const {
  QWidget* w = GetWidget();
  if (!w) return nullptr;
  for (auto* c : plat::ChildWndWidgets(w)) {
    CWnd* owner = c->Owner();
    if (owner && !c->isWindow() && owner->GetDlgCtrlID() == kPaneFirst) return owner;
  }
  return nullptr;
}

std::vector<CControlBar*> CFrameWnd::GetControlBars() const {
  std::vector<CControlBar*> bars;
  for (CControlBar* bar : CControlBar::AllBars())
    if (bar->GetParent() == this) bars.push_back(bar);
  return bars;
}

void CFrameWnd::RecalcLayout(bool) {
  if (!IsCreated()) return;
  if (CWnd* pane = GetPane()) {
    RECT rc;
    GetClientRect(&rc);
    RECT now;
    pane->GetClientRect(&now);
    RECT win;
    pane->GetWindowRect(&win);
    POINT tl{win.left, win.top};
    ScreenToClient(&tl);
    if (tl.x != 0 || tl.y != 0 || win.right - win.left != rc.right ||
        win.bottom - win.top != rc.bottom)
      pane->MoveWindow(rc);
  }
  for (CControlBar* bar : GetControlBars()) bar->RecalcBarLayout();
}

void CFrameWnd::FloatControlBar(CControlBar* bar, POINT screenTopLeft, DWORD align) {
  if (!bar || !bar->IsCreated()) return;
  bar->SetBarStyle((bar->GetBarStyle() & ~CBRS_ALIGN_ANY) | (align & CBRS_ALIGN_ANY) |
                   CBRS_FLOATING);
  bar->FloatAt(screenTopLeft);
}

void CFrameWnd::ShowControlBar(CControlBar* bar, bool show, bool delay) {
  if (!bar || !bar->IsCreated()) return;
  if (delay)
    bar->DelayShow(show);
  else
    bar->ShowNow(show);
}

// Bars keep their order among themselves: the one raised last stays on top.
void CFrameWnd::RaiseControlBars() {
  std::vector<plat::WndWidget*> shown;
  for (CControlBar* bar : GetControlBars())
    if (bar->IsWindowVisible()) shown.push_back(static_cast<plat::WndWidget*>(bar->GetWidget()));
  std::sort(shown.begin(), shown.end(), [](plat::WndWidget* a, plat::WndWidget* b) {
    return a->m_raiseStamp < b->m_raiseStamp;
  });
  for (plat::WndWidget* w : shown) plat::RaiseWindow(w);
}
