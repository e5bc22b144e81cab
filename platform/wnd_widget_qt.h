#pragma once
// Platform-internal: the Qt widget behind every CWnd.
//
// The widget shows the window's surface and forwards input to the CWnd; it
// never runs the program's paint handlers itself (CWnd::UpdateWindow and the
// posted paint do). Non-client margins (a bar's caption strip, a dialog's
// menu bar) are the widget's contents margins; client coordinates start at
// contentsRect().topLeft().
//
// Tests deliver input offscreen with QCoreApplication::sendEvent:
//   QMouseEvent ev(QEvent::MouseButtonPress, localPos, globalPos, Qt::LeftButton,
//                  Qt::LeftButton, Qt::NoModifier);
//   QCoreApplication::sendEvent(wnd.GetWidget(), &ev);
// reaches the handlers directly (localPos in widget coordinates); sent to the
// top-level QWindow (widget->windowHandle()) it is routed the way real input
// is, to the mouse grabber first. A double click is press, release,
// MouseButtonDblClick, release.
#include <QCursor>
#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "platform/input_qt.h"
#include "platform/wnd.h"

class QScreen;
class QTimer;

struct CursorData {
  QCursor cursor;
};

namespace plat {

class WndWidget : public QWidget {
 public:
  WndWidget(CWnd* owner, QWidget* parent);
  ~WndWidget() override;

  CWnd* Owner() const { return m_owner; }
  // The CWnd is going away: stop forwarding.
  void Detach();

  Surface* GetSurface();  // made on first use, client-sized
  // Where the client area starts, in Qt's (logical) widget coordinates.
  QPoint ClientOrigin() const { return contentsRect().topLeft(); }
  // The client area's size in device pixels, the program's unit.
  QSize ClientSize() const;
  // The client device pixels a region of widget coordinates covers.
  QRegion DeviceRegion(const QRegion& widgetRegion) const;

  // Damage reported by contexts drawing into the surface (client device pixels).
  void AddDamage(const QRect& clientRect);
  QRegion PendingDamage() const { return m_damage; }
  void Present(bool now);  // update() or repaint() the pending damage
  // Hears every damaged client rectangle, clipped to the client area.
  std::function<void(const QRect&)> m_clientWatcher;

  // Native widgets (Qt controls, statics) paint themselves: no surface
  // painting, no paint handlers.
  bool m_native = false;
  // Dialogs are shrunk and moved to fit their screen when shown.
  bool m_keepOnScreen = false;
  // Control text, for widgets that hold their own (edit fields, lists).
  virtual bool GetText(std::string& gbk) const;
  virtual bool SetText(const std::string& gbk);
  // Size changed since last seen: resize the surface, repaint, OnSize.
  void SyncSize();

  // Pending paint work.
  QRect m_invalid;  // client pixels
  bool m_eraseBkgnd = false;
  bool m_paintPosted = false;

  // Creation parameters that drive behaviour.
  UINT m_classStyle = 0;
  bool m_hasBackground = true;
  std::string m_textGbk;
  std::map<UINT_PTR, QTimer*> m_timers;
  HCURSOR m_cursor = nullptr;
  // When the window was last raised: bars are raised again in this order.
  std::uint64_t m_raiseStamp = 0;
  void Raised();

  // Test hook: every blit of the surface to the screen (client rectangles).
  static void SetPresentHook(std::function<void(CWnd*, const QRect&)> hook);

 protected:
  void paintEvent(QPaintEvent* e) override;
  QPaintEngine* paintEngine() const override;
  bool event(QEvent* e) override;
  // Paints the non-client margins (nothing by default).
  virtual void PaintNonClient(QPainter& p);
  // The event's position in client coordinates.
  CPoint ClientPoint(const QMouseEvent* e) const;
  template <class Handler>
  void DispatchMouse(QMouseEvent* e, bool input, Handler handler);
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void hideEvent(QHideEvent* e) override;
  // Mouse events in the non-client area (caption drags); true when taken.
  virtual bool NonClientMouse(QMouseEvent* e);

  // A pane as large as its screen-sized top-level window presents its
  // surface straight to its own X window: Qt's backing store would keep a
  // second screen image and copy every pixel once more.
  void ConsiderDirectPresent();
  void FlushDirect();  // puts what paint events asked for
  bool m_direct = false;
  QRegion m_directPending;  // client pixels
  bool m_directFlushPosted = false;

  CWnd* m_owner;
  std::unique_ptr<Surface> m_surface;
  QRegion m_damage;
  QSize m_lastClientSize{-1, -1};
  // Sizing frame (WS_THICKFRAME): edges being dragged and the start state.
  Qt::Edges m_sizing;
  QPoint m_sizingStart;
  QRect m_sizingGeometry;
};

// The CWnd whose widget is w or contains it.
CWnd* WndFromWidget(QWidget* w);
// A window being destroyed stops taking commands from other instances.
void ForgetCommandListener(QWidget* widget);
// The window widgets directly under w. (WndWidget has no meta-object, so
// findChildren<WndWidget*> would match every QWidget.)
std::vector<WndWidget*> ChildWndWidgets(QWidget* w);
// Raises a top-level window (the offscreen platform has no stacking).
void RaiseWindow(QWidget* w);
// The screen a widget is on (the primary one before it is placed).
QScreen* ScreenOf(QWidget* w);

}  // namespace plat
