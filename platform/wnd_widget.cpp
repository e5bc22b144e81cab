// The Qt widget behind every CWnd: it presents the window's surface (through
// Qt's backing store, or straight to its X window for a screen-sized pane)
// and forwards input, focus and size changes to the CWnd.
#include <QChildEvent>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "platform/dpi_qt.h"
#include "platform/surface_qt.h"
#include "platform/wnd_widget_qt.h"
#include "platform/x11_qt.h"

namespace {

CWnd* g_mouseDispatch = nullptr;
QPointer<QWidget> g_lastFocusOut;
std::function<void(CWnd*, const QRect&)> g_presentHook;

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

}  // namespace

namespace plat {

QScreen* ScreenOf(QWidget* w) {
  QScreen* s = w->screen();
  return s ? s : QGuiApplication::primaryScreen();
}

void NoteFocusLost(QWidget* w) { g_lastFocusOut = w; }

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
    const QSize sz = ClientSize();
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
  const QSize sz = ClientSize();
  if (sz == m_lastClientSize) return;
  m_lastClientSize = sz;
  if (m_surface) m_surface->Resize(sz.width(), sz.height());
  if (!m_owner) return;
  CWnd* owner = m_owner;
  if (!m_native) owner->Invalidate(true);
  owner->OnSize(0, sz.width(), sz.height());
}

void WndWidget::AddDamage(const QRect& clientRect) {
  const QRect r = clientRect & QRect(QPoint(0, 0), ClientSize());
  if (r.isEmpty()) return;
  m_damage += r;
  if (m_clientWatcher) m_clientWatcher(r);
  if (isVisible()) update(CoverLogical(r, Ratio(this)).translated(ClientOrigin()));
}

void WndWidget::Present(bool now) {
  if (!m_damage.isEmpty() && isVisible()) {
    const QRegion r = CoverLogical(m_damage, Ratio(this)).translated(ClientOrigin());
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
  const QPoint o = ToDevice(ClientOrigin(), Ratio(this));
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

// The device pixels of the client area that a paint event's region covers.
QRegion WndWidget::DeviceRegion(const QRegion& widgetRegion) const {
  return CoverDevice(widgetRegion.translated(-ClientOrigin()), Ratio(this));
}

QSize WndWidget::ClientSize() const { return ToDevice(contentsRect().size(), Ratio(this)); }

void WndWidget::paintEvent(QPaintEvent* e) {
  const QRegion device = DeviceRegion(e->region());
  if (m_direct) {
    // Before the server shows the window a put would be thrown away; the
    // exposure that shows it brings a paint of its own.
    if (!m_surface || !windowHandle() || !windowHandle()->isExposed()) return;
    m_directPending += device;
    m_damage -= device;
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
      m_damage -= device;
    } else if (m_surface) {
      m_surface->EndPaint();
      const QImage& img = m_surface->Peek();
      // Device pixels onto device pixels: the painter's scale undoes the ratio.
      const double ratio = Ratio(this);
      p.save();
      p.translate(ClientOrigin());
      if (ratio != 1) p.scale(1 / ratio, 1 / ratio);
      for (const QRect& r : device) {
        const QRect cr = r & img.rect();
        if (cr.isEmpty()) continue;
        p.drawImage(cr.topLeft(), img, cr);
        if (g_presentHook) g_presentHook(m_owner, cr);
      }
      p.restore();
      m_damage -= device;
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
  const double r = Ratio(this);
  QPoint p = ToDevice(e->position() - QPointF(ClientOrigin()), r);
  if (r != 1) {
    // Qt's scaled positions are whole logical pixels; the X event that
    // brought this one has the exact device pixel.
    if (const auto root = x11::PointerRootAt(e->timestamp())) {
      const QPoint exact = *root - ToDevice(QPointF(mapToGlobal(ClientOrigin())), r);
      if ((exact - p).manhattanLength() <= 2 * int(std::ceil(r))) p = exact;
    }
  }
  return CPoint(p.x(), p.y());
}

// A client-area mouse event reaches the owner with the key state and the
// dispatch window set for its handlers; presses and releases are input that
// schedules the command-state updates.
template <class Handler>
void WndWidget::DispatchMouse(QMouseEvent* e, bool input, Handler handler) {
  if (NonClientMouse(e) || !m_owner) return;
  if (input) plat::MarkUiBusy();
  CWnd* owner = m_owner;
  ScopedKeyState ks(e->modifiers());
  ScopedDispatch sd(owner);
  handler(owner, MouseFlags(e->buttons(), e->modifiers()), ClientPoint(e));
}

void WndWidget::mousePressEvent(QMouseEvent* e) {
  DispatchMouse(e, true, [e](CWnd* owner, UINT flags, CPoint pt) {
    if (e->button() == Qt::LeftButton)
      owner->OnLButtonDown(flags, pt);
    else if (e->button() == Qt::RightButton)
      owner->OnRButtonDown(flags, pt);
  });
}

// Without CS_DBLCLKS a second click is a plain press.
void WndWidget::mouseDoubleClickEvent(QMouseEvent* e) {
  const bool dbl = m_classStyle & CS_DBLCLKS;
  DispatchMouse(e, true, [e, dbl](CWnd* owner, UINT flags, CPoint pt) {
    if (e->button() == Qt::LeftButton)
      dbl ? owner->OnLButtonDblClk(flags, pt) : owner->OnLButtonDown(flags, pt);
    else if (e->button() == Qt::RightButton)
      dbl ? owner->OnRButtonDblClk(flags, pt) : owner->OnRButtonDown(flags, pt);
  });
}

void WndWidget::mouseReleaseEvent(QMouseEvent* e) {
  DispatchMouse(e, true, [e](CWnd* owner, UINT flags, CPoint pt) {
    if (e->button() == Qt::LeftButton)
      owner->OnLButtonUp(flags, pt);
    else if (e->button() == Qt::RightButton)
      owner->OnRButtonUp(flags, pt);
  });
}

void WndWidget::mouseMoveEvent(QMouseEvent* e) {
  DispatchMouse(e, false,
                [](CWnd* owner, UINT flags, CPoint pt) { owner->OnMouseMove(flags, pt); });
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
  if (m_owner && CWnd::GetCapture() == m_owner) CWnd::ReleaseCapture();
}

}  // namespace plat
