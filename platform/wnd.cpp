// CWnd over its widget: creation, geometry, the painting model (a persistent
// client surface painted by the window's handlers and only blitted by Qt),
// timers, capture, focus and commands.
#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "platform/codepage.h"
#include "platform/dpi_qt.h"
#include "platform/frame.h"
#include "platform/surface_qt.h"
#include "platform/wnd_widget_qt.h"

namespace {

CWnd* g_capture = nullptr;

QRect ToQRect(const RECT& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

// A window rectangle in device pixels as Qt geometry under parent's origin.
QRect LogicalGeometry(int x, int y, int w, int h, double r, QPoint origin = {}) {
  const QPoint tl = plat::ToLogical(QPoint(x, y), r);
  const QPoint br = plat::ToLogical(QPoint(x + std::max(0, w), y + std::max(0, h)), r);
  return QRect(tl + origin, br + origin - QPoint(1, 1));
}

}  // namespace

COLORREF GetSysColor(int index) {
  switch (index) {
    case COLOR_WINDOW:
      return RGB(255, 255, 255);
    case COLOR_HIGHLIGHT:
      return RGB(10, 36, 106);
    case COLOR_HIGHLIGHTTEXT:
      return RGB(255, 255, 255);
    case COLOR_BTNFACE:
      return RGB(212, 208, 200);
    default:
      return RGB(0, 0, 0);
  }
}

// ---------------------------------------------------------------------------
// CWnd.

CWnd::CWnd() = default;

CWnd::~CWnd() {
  if (g_capture == this) ReleaseCapture();
  if (plat::MouseDispatchWnd() == this) plat::SetMouseDispatchWnd(nullptr);
  if (m_widget) {
    // Virtual handlers of derived classes are gone: tear down without them.
    plat::WndWidget* w = m_widget;
    m_widget = nullptr;
    m_qwidget = nullptr;
    for (plat::WndWidget* c : plat::ChildWndWidgets(w))
      if (c->Owner()) c->Owner()->DestroyWindow();
    w->Detach();
    w->hide();
    w->deleteLater();
  }
  plat::ForgetAccelerators(this);
}

bool CWnd::PreCreateWindow(CREATESTRUCT&) { return true; }
int CWnd::OnCreate(CREATESTRUCT*) { return 0; }

QWidget* CWnd::CreateWidget(QWidget* parent, const CREATESTRUCT&) {
  return new plat::WndWidget(this, parent);
}

bool CWnd::CreateEx(DWORD exStyle, DWORD style, const std::string& title, CWnd* parent,
                    const RECT& rc, UINT nID) {
  if (m_widget) return false;
  CREATESTRUCT cs;
  cs.style = style;
  cs.dwExStyle = exStyle;
  cs.x = rc.left;
  cs.y = rc.top;
  cs.cx = rc.right - rc.left;
  cs.cy = rc.bottom - rc.top;
  cs.lpszName = title;
  if (!PreCreateWindow(cs)) return false;
  const bool child = cs.style & WS_CHILD;
  QWidget* parentWidget = parent ? parent->m_widget : nullptr;
  if (child && !parentWidget) return false;

  QWidget* made = CreateWidget(parentWidget, cs);
  auto* w = dynamic_cast<plat::WndWidget*>(made);
  if (!w) {
    delete made;
    return false;
  }
  m_widget = w;
  m_qwidget = made;
  m_parent = parent;
  m_nID = nID;
  m_style = cs.style;
  w->m_classStyle = cs.classStyle;
  w->m_hasBackground = cs.hasBackground;
  w->m_textGbk = cs.lpszName;

  if (!child) {
    Qt::WindowFlags flags = (cs.dwExStyle & WS_EX_TOOLWINDOW) ? Qt::Tool : Qt::Window;
    if ((cs.style & WS_CAPTION) != WS_CAPTION) flags |= Qt::FramelessWindowHint;
    w->setWindowFlags(flags);
    w->setWindowTitle(QString::fromStdString(plat::Utf8FromGbk(cs.lpszName)));
    w->setGeometry(LogicalGeometry(cs.x, cs.y, cs.cx, cs.cy, plat::ScreenRatio()));
  } else {
    if (cs.style & WS_THICKFRAME)
      w->setContentsMargins(4, 4, 4, 4);
    else if (cs.style & WS_BORDER)
      w->setContentsMargins(1, 1, 1, 1);
    w->setGeometry(LogicalGeometry(cs.x, cs.y, cs.cx, cs.cy, plat::Ratio(parent->m_widget),
                                   parent->m_widget->ClientOrigin()));
    // Qt shows a child with its parent unless it was hidden explicitly.
    if (!(cs.style & WS_VISIBLE)) w->hide();
  }

  if (OnCreate(&cs) == -1) {
    DestroyWindow();
    return false;
  }
  if (!m_widget) return false;  // OnCreate destroyed it
  m_widget->SyncSize();
  if (cs.style & WS_VISIBLE) ShowWindow(child ? SW_SHOW : SW_SHOWNORMAL);
  if (child) {
    if (auto* frame = dynamic_cast<CFrameWnd*>(parent)) frame->RecalcLayout();
  }
  return true;
}

bool CWnd::DestroyWindow() {
  if (!m_widget) return false;
  plat::WndWidget* w = m_widget;
  if (g_capture == this) ReleaseCapture();
  OnDestroy();
  for (plat::WndWidget* c : plat::ChildWndWidgets(w))
    if (c->Owner()) c->Owner()->DestroyWindow();
  plat::ForgetAccelerators(this);
  plat::ForgetCommandListener(w);
  w->Detach();
  m_widget = nullptr;
  m_qwidget = nullptr;
  w->hide();
  w->deleteLater();
  PostNcDestroy();
  return true;
}

bool CWnd::ShowWindow(int nCmdShow) {
  if (!m_widget) return false;
  QWidget* w = m_widget;
  const bool was = !w->isHidden();
  const bool top = w->isWindow();
  switch (nCmdShow) {
    case SW_HIDE:
      w->hide();
      break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
      if (top)
        w->showMinimized();
      else
        w->hide();
      break;
    case SW_MAXIMIZE:
      if (top) {
        // No window manager maximises for us: cover the screen exactly.
        w->setWindowState(w->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
        w->setGeometry(plat::ScreenOf(w)->geometry());
        m_widget->SyncSize();
      }
      w->show();
      break;
    case SW_SHOWNOACTIVATE:
      w->setAttribute(Qt::WA_ShowWithoutActivating);
      w->show();
      w->setAttribute(Qt::WA_ShowWithoutActivating, false);
      break;
    default:
      if (top && (w->windowState() & Qt::WindowMinimized))
        w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
      w->show();
      break;
  }
  if (nCmdShow == SW_HIDE)
    m_style &= ~WS_VISIBLE;
  else
    m_style |= WS_VISIBLE;
  if (top && nCmdShow != SW_HIDE && nCmdShow != SW_MINIMIZE && nCmdShow != SW_SHOWMINIMIZED) {
    plat::RaiseWindow(w);
    if (nCmdShow != SW_SHOWNOACTIVATE) w->activateWindow();
    if (auto* frame = dynamic_cast<CFrameWnd*>(this)) frame->RaiseControlBars();
  }
  return was;
}

bool CWnd::IsWindowVisible() const { return m_widget && m_widget->isVisible(); }

void CWnd::MoveWindow(int x, int y, int w, int h, bool repaint) {
  if (!m_widget) return;
  QPoint o(0, 0);
  if (!m_widget->isWindow() && m_parent && m_parent->m_widget)
    o = m_parent->m_widget->ClientOrigin();
  const QSize before = m_widget->size();
  m_widget->setGeometry(LogicalGeometry(x, y, w, h, plat::Ratio(m_widget), o));
  m_widget->SyncSize();
  if (repaint && before == m_widget->size()) Invalidate(true);
}

void CWnd::MoveWindow(const RECT& rc, bool repaint) {
  MoveWindow(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, repaint);
}

void CWnd::SetWindowPos(int x, int y) {
  if (!m_widget) return;
  QPoint o(0, 0);
  if (!m_widget->isWindow() && m_parent && m_parent->m_widget)
    o = m_parent->m_widget->ClientOrigin();
  m_widget->move(plat::ToLogical(QPoint(x, y), plat::Ratio(m_widget)) + o);
}

void CWnd::GetWindowRect(RECT* rc) const {
  *rc = RECT{};
  if (!m_widget) return;
  const double r = plat::Ratio(m_widget);
  const QPoint tl = plat::ToDevice(
      m_widget->isWindow() ? m_widget->geometry().topLeft() : m_widget->mapToGlobal(QPoint(0, 0)),
      r);
  const QSize s = plat::ToDevice(m_widget->size(), r);
  *rc = RECT{tl.x(), tl.y(), tl.x() + s.width(), tl.y() + s.height()};
}

void CWnd::GetClientRect(RECT* rc) const {
  *rc = RECT{};
  if (!m_widget) return;
  const QSize s = plat::ToDevice(m_widget->contentsRect().size(), plat::Ratio(m_widget));
  *rc = RECT{0, 0, s.width(), s.height()};
}

void CWnd::ClientToScreen(POINT* p) const {
  if (!m_widget) return;
  const QPoint o = m_widget->ClientOrigin();
  const QPoint g = plat::ToDevice(
      m_widget->isWindow() ? m_widget->geometry().topLeft() + o : m_widget->mapToGlobal(o),
      plat::Ratio(m_widget));
  p->x += g.x();
  p->y += g.y();
}

void CWnd::ScreenToClient(POINT* p) const {
  if (!m_widget) return;
  POINT origin{0, 0};
  ClientToScreen(&origin);
  p->x -= origin.x;
  p->y -= origin.y;
}

void CWnd::SetWindowText(const std::string& gbk) {
  if (!m_widget) return;
  if (m_widget->SetText(gbk)) return;
  m_widget->m_textGbk = gbk;
  if (m_widget->isWindow())
    m_widget->setWindowTitle(QString::fromStdString(plat::Utf8FromGbk(gbk)));
  if (m_widget->contentsRect() != m_widget->rect()) m_widget->update();
}

std::string CWnd::GetWindowText() const {
  if (!m_widget) return {};
  std::string text;
  if (m_widget->GetText(text)) return text;
  return m_widget->m_textGbk;
}

// ---------------------------------------------------------------------------
// Painting.

void CWnd::Invalidate(bool erase) { InvalidateRect(nullptr, erase); }

void CWnd::InvalidateRect(const RECT* rc, bool erase) {
  plat::WndWidget* w = m_widget;
  if (!w || w->m_native) {
    if (w) w->update();
    return;
  }
  const QRect client(QPoint(0, 0), plat::ToDevice(w->contentsRect().size(), plat::Ratio(w)));
  const QRect r = rc ? (ToQRect(*rc).normalized() & client) : client;
  if (r.isEmpty()) return;
  w->m_invalid |= r;
  if (erase) w->m_eraseBkgnd = true;
  if (!w->m_paintPosted) {
    w->m_paintPosted = true;
    QPointer<plat::WndWidget> guard(w);
    QMetaObject::invokeMethod(
        w,
        [guard] {
          if (!guard) return;
          guard->m_paintPosted = false;
          if (CWnd* owner = guard->Owner()) owner->UpdateWindow();
        },
        Qt::QueuedConnection);
  }
}

bool CWnd::HasPendingPaint() const { return m_widget && !m_widget->m_invalid.isEmpty(); }

void CWnd::UpdateWindow() {
  plat::WndWidget* w = m_widget;
  if (!w || w->m_native || w->m_invalid.isEmpty()) return;
  const QRect r = w->m_invalid;
  const bool erase = w->m_eraseBkgnd;
  w->m_invalid = QRect();
  w->m_eraseBkgnd = false;
  plat::Surface* s = w->GetSurface();
  if (s->Width() == 0 || s->Height() == 0) return;
  // Painting is clipped to the invalid rectangle: what the handlers draw
  // outside it is put back afterwards.
  const bool partial = r != QRect(0, 0, s->Width(), s->Height());
  QImage saved;
  if (partial) saved = s->Image().copy();
  QPointer<plat::WndWidget> guard(w);
  if (erase) {
    CClientDC dc(this);
    OnEraseBkgnd(&dc);
  }
  if (!guard || m_widget != w) return;
  OnPaint();
  if (!guard || m_widget != w) return;
  if (partial) {
    QPainter p(&s->Image());
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.setClipRegion(QRegion(saved.rect()) - QRegion(r));
    p.drawImage(0, 0, saved);
  }
  w->Present(true);
}

void CWnd::PresentNow() {
  if (m_widget) m_widget->Present(true);
}

void CWnd::WatchClient(std::function<void(const RECT&)> watcher) {
  if (!m_widget) return;
  if (!watcher) {
    m_widget->m_clientWatcher = nullptr;
    return;
  }
  m_widget->m_clientWatcher = [watcher = std::move(watcher)](const QRect& r) {
    watcher(RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1});
  };
}

plat::Surface* CWnd::GetSurface() const { return m_widget ? m_widget->GetSurface() : nullptr; }
QWidget* CWnd::GetWidget() const { return m_qwidget; }

bool CWnd::OnEraseBkgnd(CDC* pDC) {
  if (!m_widget || !m_widget->m_hasBackground) return false;
  RECT rc;
  GetClientRect(&rc);
  pDC->FillSolidRect(&rc, GetSysColor(COLOR_WINDOW));
  return true;
}

// ---------------------------------------------------------------------------
// Timers, capture, focus.

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapseMs) {
  if (!m_widget) return 0;
  QTimer*& t = m_widget->m_timers[id];
  if (!t) {
    t = new QTimer(m_widget);
    plat::WndWidget* w = m_widget;
    QObject::connect(t, &QTimer::timeout, w, [w, id] {
      if (CWnd* owner = w->Owner()) owner->OnTimer(id);
    });
  }
  t->start(int(std::min<UINT>(elapseMs, 0x7FFFFFFF)));
  return id ? id : 1;
}

bool CWnd::KillTimer(UINT_PTR id) {
  if (!m_widget) return false;
  auto it = m_widget->m_timers.find(id);
  if (it == m_widget->m_timers.end()) return false;
  it->second->stop();
  it->second->deleteLater();
  m_widget->m_timers.erase(it);
  return true;
}

bool CWnd::HasTimer(UINT_PTR id) const { return m_widget && m_widget->m_timers.count(id) != 0; }

CWnd* CWnd::SetCapture() {
  CWnd* prev = g_capture;
  if (!m_widget) return prev;
  if (prev && prev != this && prev->m_widget) prev->m_widget->releaseMouse();
  g_capture = this;
  m_widget->grabMouse();
  return prev;
}

bool CWnd::ReleaseCapture() {
  CWnd* c = g_capture;
  g_capture = nullptr;
  if (c && c->m_widget) c->m_widget->releaseMouse();
  return true;
}

CWnd* CWnd::GetCapture() { return g_capture; }

CWnd* CWnd::SetFocus() {
  CWnd* prev = plat::WndFromWidget(QApplication::focusWidget());
  if (!m_widget) return prev;
  QWidget* top = m_widget->window();
  if (top->isVisible() && !top->isActiveWindow()) top->activateWindow();
  m_widget->setFocus(Qt::OtherFocusReason);
  return prev;
}

bool CWnd::SetForegroundWindow() {
  if (!m_widget) return false;
  QWidget* top = m_widget->window();
  plat::RaiseWindow(top);
  top->activateWindow();
  if (auto* frame = dynamic_cast<CFrameWnd*>(plat::WndFromWidget(top))) frame->RaiseControlBars();
  return true;
}

// ---------------------------------------------------------------------------
// Commands and default handlers.

void CWnd::SendCommand(UINT id) {
  plat::MarkUiBusy();
  OnCommandMessage(id);
}

void CWnd::PostCommand(UINT id) {
  if (!m_widget) return;
  QPointer<plat::WndWidget> w(m_widget);
  QTimer::singleShot(0, m_widget, [w, id] {
    if (w && w->Owner()) w->Owner()->SendCommand(id);
  });
}

void CWnd::PostTask(std::function<void()> task) {
  if (!m_widget) return;
  QPointer<plat::WndWidget> w(m_widget);
  QTimer::singleShot(0, m_widget, [w, task = std::move(task)] {
    if (w && w->Owner()) task();
  });
}

void CWnd::PostClose() {
  if (!m_widget) return;
  QPointer<plat::WndWidget> w(m_widget);
  QTimer::singleShot(0, m_widget, [w] {
    if (w && w->Owner()) w->Owner()->OnClose();
  });
}

bool CWnd::OnCommandMessage(UINT id) { return OnCmdMsg(id, CN_COMMAND, nullptr); }

void CWnd::Default() {}
void CWnd::OnPaint() {}
void CWnd::OnLButtonDown(UINT, CPoint) {}
void CWnd::OnLButtonUp(UINT, CPoint) {}
void CWnd::OnLButtonDblClk(UINT, CPoint) {}
void CWnd::OnRButtonDown(UINT, CPoint) {}
void CWnd::OnRButtonUp(UINT, CPoint) {}
void CWnd::OnRButtonDblClk(UINT, CPoint) {}
void CWnd::OnMouseMove(UINT, CPoint) {}
void CWnd::OnTimer(UINT_PTR) {}
void CWnd::OnKeyDown(UINT, UINT, UINT) {}
void CWnd::OnSetFocus(CWnd*) {}
void CWnd::OnSize(UINT, int, int) {}
void CWnd::OnClose() { DestroyWindow(); }
void CWnd::OnDestroy() {}
void CWnd::PostNcDestroy() {}
void CWnd::OnHScroll(UINT, UINT, CWnd*) {}
long CWnd::OnHotKey(UINT, UINT, UINT) { return 0; }

int GetSystemMetrics(int index) {
  QScreen* s = QGuiApplication::primaryScreen();
  if (!s) return 0;
  switch (index) {
    case SM_CXSCREEN:
      return plat::ToDevice(s->geometry().width(), s->devicePixelRatio());
    case SM_CYSCREEN:
      return plat::ToDevice(s->geometry().height(), s->devicePixelRatio());
    default:
      return 0;
  }
}

UINT GetDpiForSystem() { return UINT(std::lround(96 * plat::ScreenRatio())); }

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const long long n = static_cast<long long>(a) * b;
  return int(n >= 0 ? (n + c / 2) / c : (n - c / 2) / c);
}

namespace plat {

double Ratio(const QWidget* w) { return w ? w->devicePixelRatioF() : ScreenRatio(); }

double ScreenRatio() {
  QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->devicePixelRatio() : 1.0;
}

}  // namespace plat
