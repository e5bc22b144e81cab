// CWnd over a Qt widget: creation, geometry, the painting model (a persistent
// client surface painted by the window's handlers and only blitted by Qt),
// input forwarding, timers, capture and command routing.
#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>

#include "platform/codepage.h"
#include "platform/frame.h"
#include "platform/surface_qt.h"
#include "platform/wnd_widget_qt.h"
#include "platform/x11_qt.h"

namespace {

CWnd* g_capture = nullptr;
CWnd* g_mouseDispatch = nullptr;
QPointer<QWidget> g_lastFocusOut;
std::function<void(CWnd*, const QRect&)> g_presentHook;

QRect ToQRect(const RECT& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

UINT MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
  UINT f = 0;
  if (buttons & Qt::LeftButton) f |= MK_LBUTTON;
  if (buttons & Qt::RightButton) f |= MK_RBUTTON;
  if (buttons & Qt::MiddleButton) f |= MK_MBUTTON;
  if (mods & Qt::ShiftModifier) f |= MK_SHIFT;
  if (mods & Qt::ControlModifier) f |= MK_CONTROL;
  return f;
}

// Sets the window being dispatched to for the length of a handler.
class ScopedDispatch {
 public:
  explicit ScopedDispatch(CWnd* w) : m_prev(plat::MouseDispatchWnd()) {
    plat::SetMouseDispatchWnd(w);
  }
  ~ScopedDispatch() { plat::SetMouseDispatchWnd(m_prev); }

 private:
  CWnd* m_prev;
};

QScreen* ScreenOf(QWidget* w) {
  QScreen* s = w->screen();
  return s ? s : QGuiApplication::primaryScreen();
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
// Command maps.

bool CCmdTarget::OnCmdMsg(UINT nID, int nCode, CCmdUI* pCmdUI) {
  if (nCode == CN_COMMAND) {
    for (const Entry& e : m_map) {
      if (nID >= e.first && nID <= e.last && e.cmd) {
        e.cmd(nID);
        return true;
      }
    }
    return false;
  }
  if (nCode != CN_UPDATE_COMMAND_UI || !pCmdUI) return false;
  for (const Entry& e : m_map) {
    if (nID >= e.first && nID <= e.last && e.update) {
      pCmdUI->m_nID = nID;
      e.update(pCmdUI);
      pCmdUI->m_bHandled = true;
      return true;
    }
  }
  // A command handler without a state handler: the element is enabled.
  for (const Entry& e : m_map) {
    if (nID >= e.first && nID <= e.last && e.cmd) {
      pCmdUI->Enable(true);
      pCmdUI->m_bHandled = true;
      return true;
    }
  }
  return false;
}

void CCmdTarget::OnCommand(UINT id, std::function<void()> fn) {
  m_map.push_back({id, id, [fn = std::move(fn)](UINT) { fn(); }, nullptr});
}

void CCmdTarget::OnCommandRange(UINT first, UINT last, std::function<void(UINT)> fn) {
  m_map.push_back({first, last, std::move(fn), nullptr});
}

void CCmdTarget::OnUpdateCommand(UINT id, std::function<void(CCmdUI*)> fn) {
  m_map.push_back({id, id, nullptr, std::move(fn)});
}

void CCmdTarget::OnUpdateCommandRange(UINT first, UINT last, std::function<void(CCmdUI*)> fn) {
  m_map.push_back({first, last, nullptr, std::move(fn)});
}

// ---------------------------------------------------------------------------
// The widget.

namespace plat {

CWnd* MouseDispatchWnd() { return g_mouseDispatch; }
void SetMouseDispatchWnd(CWnd* wnd) { g_mouseDispatch = wnd; }

CWnd* WndFromWidget(QWidget* w) {
  for (; w; w = w->parentWidget()) {
    if (auto* ww = dynamic_cast<WndWidget*>(w)) {
      if (ww->Owner()) return ww->Owner();
    }
  }
  return nullptr;
}

std::vector<WndWidget*> ChildWndWidgets(QWidget* w) {
  std::vector<WndWidget*> out;
  for (QObject* o : w->children())
    if (auto* ww = dynamic_cast<WndWidget*>(o)) out.push_back(ww);
  return out;
}

void RaiseWindow(QWidget* w) {
  static const bool stacking = QGuiApplication::platformName() != QLatin1String("offscreen");
  if (!w) return;
  if (stacking) w->raise();
  if (auto* ww = dynamic_cast<WndWidget*>(w)) ww->Raised();
}

void WndWidget::Raised() {
  static std::uint64_t counter = 0;
  m_raiseStamp = ++counter;
}

WndWidget::WndWidget(CWnd* owner, QWidget* parent) : QWidget(parent), m_owner(owner) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
}

WndWidget::~WndWidget() {
  // Destroyed by Qt with a parent while the CWnd lives on: it is gone now.
  if (m_owner) {
    CWnd* owner = m_owner;
    owner->DestroyWindow();
  }
}

void WndWidget::Detach() {
  m_owner = nullptr;
  for (auto& [id, t] : m_timers) {
    t->stop();
    t->deleteLater();
  }
  m_timers.clear();
}

Surface* WndWidget::GetSurface() {
  if (!m_surface) {
    const QSize sz = contentsRect().size();
    m_surface = std::make_unique<Surface>(std::max(0, sz.width()), std::max(0, sz.height()));
    QPointer<WndWidget> self(this);
    m_surface->SetDamageListener([self](const QRect& r) {
      if (self) self->AddDamage(r);
    });
  }
  return m_surface.get();
}

bool WndWidget::GetText(std::string&) const { return false; }
bool WndWidget::SetText(const std::string&) { return false; }

void WndWidget::SyncSize() {
  ConsiderDirectPresent();
  const QSize sz = contentsRect().size();
  if (sz == m_lastClientSize) return;
  m_lastClientSize = sz;
  if (m_surface) m_surface->Resize(sz.width(), sz.height());
  if (!m_owner) return;
  CWnd* owner = m_owner;
  if (!m_native) owner->Invalidate(true);
  owner->OnSize(0, sz.width(), sz.height());
}

void WndWidget::AddDamage(const QRect& clientRect) {
  const QRect r = clientRect & QRect(QPoint(0, 0), contentsRect().size());
  if (r.isEmpty()) return;
  m_damage += r;
  if (isVisible()) update(r.translated(ClientOrigin()));
}

void WndWidget::Present(bool now) {
  if (!m_damage.isEmpty() && isVisible()) {
    const QRegion r = m_damage.translated(ClientOrigin());
    if (now)
      repaint(r);
    else
      update(r);
  }
  if (now) FlushDirect();
}

void WndWidget::FlushDirect() {
  if (m_directPending.isEmpty() || !m_surface) return;
  if (!windowHandle() || !windowHandle()->isExposed()) return;
  const QPoint o = ClientOrigin();
  m_surface->EndPaint();
  const QImage& img = m_surface->Peek();
  for (const QRect& r : m_directPending) {
    const QRect cr = r & img.rect();
    if (cr.isEmpty()) continue;
    x11::PutImage(xcb_window_t(winId()), img, cr, cr.topLeft() + o);
    if (g_presentHook) g_presentHook(m_owner, cr);
  }
  m_directPending = QRegion();
}

void WndWidget::SetPresentHook(std::function<void(CWnd*, const QRect&)> hook) {
  g_presentHook = std::move(hook);
}

void WndWidget::ConsiderDirectPresent() {
  if (m_direct || m_native || isWindow() || size() != window()->size() ||
      window()->geometry() != ScreenOf(this)->geometry()) {
    return;
  }
  xcb_connection_t* c = x11::Connection();
  if (!x11::SharesRgb32Layout(c, x11::Screen(c))) return;
  m_direct = true;
  setAttribute(Qt::WA_PaintOnScreen);
  setAttribute(Qt::WA_NoSystemBackground);
  setAttribute(Qt::WA_NativeWindow);
  // Children painted by Qt need X windows of their own above this one.
  for (QWidget* child : findChildren<QWidget*>()) child->setAttribute(Qt::WA_NativeWindow);
}

QPaintEngine* WndWidget::paintEngine() const { return m_direct ? nullptr : QWidget::paintEngine(); }

bool WndWidget::event(QEvent* e) {
  if (m_direct && e->type() == QEvent::ChildPolished) {
    if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(e)->child()))
      child->setAttribute(Qt::WA_NativeWindow);
  }
  return QWidget::event(e);
}

void WndWidget::paintEvent(QPaintEvent* e) {
  const QPoint o = ClientOrigin();
  if (m_direct) {
    // Before the server shows the window a put would be thrown away; the
    // exposure that shows it brings a paint of its own.
    if (!m_surface || !windowHandle() || !windowHandle()->isExposed()) return;
    m_directPending += e->region().translated(-o);
    m_damage -= e->region().translated(-o);
    // Exposures come in bursts (the frame's, then the pane's own): one put
    // of a screen image is tens of milliseconds, so they are sent together.
    if (!m_directFlushPosted) {
      m_directFlushPosted = true;
      QPointer<WndWidget> self(this);
      QMetaObject::invokeMethod(
          this,
          [self] {
            if (!self) return;
            self->m_directFlushPosted = false;
            self->FlushDirect();
          },
          Qt::QueuedConnection);
    }
    return;
  }
  QPainter p(this);
  if (!m_native) {
    if (m_surface && !m_surface->IsMade()) {
      // Nothing was ever drawn: the surface is its fill colour.
      p.fillRect(e->rect(), m_surface->Fill());
      m_damage -= e->region().translated(-o);
    } else if (m_surface) {
      m_surface->EndPaint();
      const QImage& img = m_surface->Peek();
      for (const QRect& r : e->region()) {
        const QRect cr = r.translated(-o) & img.rect();
        if (cr.isEmpty()) continue;
        p.drawImage(cr.topLeft() + o, img, cr);
        if (g_presentHook) g_presentHook(m_owner, cr);
      }
      m_damage -= e->region().translated(-o);
    } else {
      p.fillRect(contentsRect(), Qt::white);
    }
  }
  if (contentsRect() != rect()) PaintNonClient(p);
}

void WndWidget::PaintNonClient(QPainter& p) {
  const QColor face(212, 208, 200);
  QRegion frame = QRegion(rect()) - QRegion(contentsRect());
  p.save();
  p.setClipRegion(frame);
  p.fillRect(rect(), face);
  p.setPen(QColor(64, 64, 64));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
  p.restore();
}

bool WndWidget::NonClientMouse(QMouseEvent* e) {
  const bool thick = m_owner && (m_owner->GetStyle() & WS_THICKFRAME) && !isWindow();
  const QPoint pos = e->position().toPoint();
  if (e->type() == QEvent::MouseButtonPress && e->button() == Qt::LeftButton) {
    if (!thick || contentsRect().contains(pos)) return false;
    m_sizing = {};
    const QMargins m = contentsMargins();
    if (pos.x() < m.left()) m_sizing |= Qt::LeftEdge;
    if (pos.x() >= width() - m.right()) m_sizing |= Qt::RightEdge;
    if (pos.y() < m.top()) m_sizing |= Qt::TopEdge;
    if (pos.y() >= height() - m.bottom()) m_sizing |= Qt::BottomEdge;
    m_sizingStart = e->globalPosition().toPoint();
    m_sizingGeometry = geometry();
    return true;
  }
  if (m_sizing) {
    if (e->type() == QEvent::MouseMove) {
      const QPoint d = e->globalPosition().toPoint() - m_sizingStart;
      QRect g = m_sizingGeometry;
      if (m_sizing & Qt::LeftEdge) g.setLeft(std::min(g.left() + d.x(), g.right() - 10));
      if (m_sizing & Qt::RightEdge) g.setRight(std::max(g.right() + d.x(), g.left() + 10));
      if (m_sizing & Qt::TopEdge) g.setTop(std::min(g.top() + d.y(), g.bottom() - 10));
      if (m_sizing & Qt::BottomEdge) g.setBottom(std::max(g.bottom() + d.y(), g.top() + 10));
      setGeometry(g);
      SyncSize();
    } else if (e->type() == QEvent::MouseButtonRelease) {
      m_sizing = {};
    }
    return true;
  }
  return false;
}

CPoint WndWidget::ClientPoint(const QMouseEvent* e) const {
  const QPoint p = e->position().toPoint() - ClientOrigin();
  return CPoint(p.x(), p.y());
}

void WndWidget::mousePressEvent(QMouseEvent* e) {
  if (NonClientMouse(e) || !m_owner) return;
  plat::MarkUiBusy();
  CWnd* owner = m_owner;
  ScopedKeyState ks(e->modifiers());
  ScopedDispatch sd(owner);
  const CPoint pt = ClientPoint(e);
  const UINT flags = MouseFlags(e->buttons(), e->modifiers());
  if (e->button() == Qt::LeftButton)
    owner->OnLButtonDown(flags, pt);
  else if (e->button() == Qt::RightButton)
    owner->OnRButtonDown(flags, pt);
}

void WndWidget::mouseDoubleClickEvent(QMouseEvent* e) {
  if (NonClientMouse(e) || !m_owner) return;
  plat::MarkUiBusy();
  CWnd* owner = m_owner;
  ScopedKeyState ks(e->modifiers());
  ScopedDispatch sd(owner);
  const CPoint pt = ClientPoint(e);
  const UINT flags = MouseFlags(e->buttons(), e->modifiers());
  const bool dbl = m_classStyle & CS_DBLCLKS;
  if (e->button() == Qt::LeftButton) {
    if (dbl)
      owner->OnLButtonDblClk(flags, pt);
    else
      owner->OnLButtonDown(flags, pt);
  } else if (e->button() == Qt::RightButton) {
    if (dbl)
      owner->OnRButtonDblClk(flags, pt);
    else
      owner->OnRButtonDown(flags, pt);
  }
}

void WndWidget::mouseReleaseEvent(QMouseEvent* e) {
  if (NonClientMouse(e) || !m_owner) return;
  plat::MarkUiBusy();
  CWnd* owner = m_owner;
  ScopedKeyState ks(e->modifiers());
  ScopedDispatch sd(owner);
  const CPoint pt = ClientPoint(e);
  const UINT flags = MouseFlags(e->buttons(), e->modifiers());
  if (e->button() == Qt::LeftButton)
    owner->OnLButtonUp(flags, pt);
  else if (e->button() == Qt::RightButton)
    owner->OnRButtonUp(flags, pt);
}

void WndWidget::mouseMoveEvent(QMouseEvent* e) {
  if (NonClientMouse(e) || !m_owner) return;
  CWnd* owner = m_owner;
  ScopedKeyState ks(e->modifiers());
  ScopedDispatch sd(owner);
  const CPoint pt = ClientPoint(e);
  owner->OnMouseMove(MouseFlags(e->buttons(), e->modifiers()), pt);
}

void WndWidget::keyPressEvent(QKeyEvent* e) {
  if (!m_owner) return;
  const int vk = VkFromQtKey(e->key());
  if (!vk) {
    QWidget::keyPressEvent(e);
    return;
  }
  ScopedKeyState ks(e->modifiers());
  m_owner->OnKeyDown(UINT(vk), 1, e->isAutoRepeat() ? 0x4000 : 0);
}

// A surface looks the same with or without focus: Qt's default handlers
// would repaint the whole window on every focus change.
void WndWidget::focusInEvent(QFocusEvent* e) {
  if (m_native) QWidget::focusInEvent(e);
  if (!m_owner) return;
  CWnd* old = g_lastFocusOut ? WndFromWidget(g_lastFocusOut) : nullptr;
  m_owner->OnSetFocus(old == m_owner ? nullptr : old);
}

void WndWidget::focusOutEvent(QFocusEvent* e) {
  if (m_native) QWidget::focusOutEvent(e);
}

void WndWidget::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  SyncSize();
}

void WndWidget::closeEvent(QCloseEvent* e) {
  e->ignore();
  if (m_owner) m_owner->OnClose();
}

void WndWidget::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  if (!m_damage.isEmpty()) update(m_damage.translated(ClientOrigin()));
}

void WndWidget::hideEvent(QHideEvent* e) {
  QWidget::hideEvent(e);
  if (m_owner && g_capture == m_owner) CWnd::ReleaseCapture();
}

}  // namespace plat

// ---------------------------------------------------------------------------
// CWnd.

CWnd::CWnd() = default;

CWnd::~CWnd() {
  if (g_capture == this) ReleaseCapture();
  if (g_mouseDispatch == this) g_mouseDispatch = nullptr;
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
    w->setGeometry(cs.x, cs.y, std::max(0, cs.cx), std::max(0, cs.cy));
  } else {
    if (cs.style & WS_THICKFRAME)
      w->setContentsMargins(4, 4, 4, 4);
    else if (cs.style & WS_BORDER)
      w->setContentsMargins(1, 1, 1, 1);
    const QPoint o = parent->m_widget->ClientOrigin();
    w->setGeometry(cs.x + o.x(), cs.y + o.y(), std::max(0, cs.cx), std::max(0, cs.cy));
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
        w->setGeometry(ScreenOf(w)->geometry());
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
bool CWnd::IsIconic() const { return m_widget && m_widget->isMinimized(); }

void CWnd::MoveWindow(int x, int y, int w, int h, bool repaint) {
  if (!m_widget) return;
  QPoint o(0, 0);
  if (!m_widget->isWindow() && m_parent && m_parent->m_widget)
    o = m_parent->m_widget->ClientOrigin();
  const QSize before = m_widget->size();
  m_widget->setGeometry(x + o.x(), y + o.y(), std::max(0, w), std::max(0, h));
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
  m_widget->move(x + o.x(), y + o.y());
}

void CWnd::GetWindowRect(RECT* rc) const {
  *rc = RECT{};
  if (!m_widget) return;
  const QPoint tl =
      m_widget->isWindow() ? m_widget->geometry().topLeft() : m_widget->mapToGlobal(QPoint(0, 0));
  *rc = RECT{tl.x(), tl.y(), tl.x() + m_widget->width(), tl.y() + m_widget->height()};
}

void CWnd::GetClientRect(RECT* rc) const {
  *rc = RECT{};
  if (!m_widget) return;
  const QSize s = m_widget->contentsRect().size();
  *rc = RECT{0, 0, s.width(), s.height()};
}

void CWnd::ClientToScreen(POINT* p) const {
  if (!m_widget) return;
  const QPoint o = m_widget->ClientOrigin();
  const QPoint g =
      m_widget->isWindow() ? m_widget->geometry().topLeft() + o : m_widget->mapToGlobal(o);
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

CFrameWnd* CWnd::GetParentFrame() const {
  for (CWnd* p = m_parent; p; p = p->m_parent)
    if (auto* f = dynamic_cast<CFrameWnd*>(p)) return f;
  return nullptr;
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
  const QRect client(QPoint(0, 0), w->contentsRect().size());
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

void CWnd::BringWindowToTop() {
  if (!m_widget) return;
  QWidget* top = m_widget->window();
  plat::RaiseWindow(top);
  if (auto* frame = dynamic_cast<CFrameWnd*>(plat::WndFromWidget(top))) frame->RaiseControlBars();
}

void CWnd::SetWindowCursor(HCURSOR cursor) {
  if (!m_widget) return;
  m_widget->m_cursor = cursor;
  if (cursor)
    m_widget->setCursor(cursor->cursor);
  else
    m_widget->unsetCursor();
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

namespace plat {
void NoteFocusLost(QWidget* w) { g_lastFocusOut = w; }
}  // namespace plat

int GetSystemMetrics(int index) {
  QScreen* s = QGuiApplication::primaryScreen();
  if (!s) return 0;
  switch (index) {
    case SM_CXSCREEN:
      return s->geometry().width();
    case SM_CYSCREEN:
      return s->geometry().height();
    default:
      return 0;
  }
}
