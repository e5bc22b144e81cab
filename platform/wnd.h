#pragma once
// Windows. A CWnd is backed by a Qt widget (created by the platform); its
// client area is a persistent surface image that device contexts draw into
// and the widget only presents. This header brings the whole window layer:
// command routing, cursors, keyboard, message boxes and menus.
#include <string>

#include "platform/cmdtarget.h"
#include "platform/cursor.h"
#include "platform/gdi.h"
#include "platform/keyboard.h"
#include "platform/menu.h"
#include "platform/modal.h"
#include "platform/types.h"
#include "platform/wnd_types.h"

class QWidget;
class CFrameWnd;
namespace plat {
class WndWidget;
}

class CWnd : public CCmdTarget {
 public:
  CWnd();
  ~CWnd() override;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  // Creates the window: PreCreateWindow may change the parameters, then the
  // widget is made and OnCreate runs (-1 fails the creation).
  bool CreateEx(DWORD exStyle, DWORD style, const std::string& title, CWnd* parent, const RECT& rc,
                UINT nID);
  bool DestroyWindow();
  bool IsCreated() const { return m_widget != nullptr; }

  bool ShowWindow(int nCmdShow);
  bool IsWindowVisible() const;
  void MoveWindow(int x, int y, int w, int h, bool repaint = true);
  void MoveWindow(const RECT& rc, bool repaint = true);
  void SetWindowPos(int x, int y);     // top-level: screen position of the frame
  void GetWindowRect(RECT* rc) const;  // screen coordinates
  void GetClientRect(RECT* rc) const;
  void ClientToScreen(POINT* p) const;
  void ScreenToClient(POINT* p) const;
  void SetWindowText(const std::string& gbk);
  std::string GetWindowText() const;
  CWnd* GetParent() const { return m_parent; }
  UINT GetDlgCtrlID() const { return m_nID; }
  DWORD GetStyle() const { return m_style; }

  // Marks the client area for repainting; UpdateWindow (or the event loop)
  // then runs OnEraseBkgnd and OnPaint on the surface and presents it.
  void Invalidate(bool erase = true);
  void InvalidateRect(const RECT* rc, bool erase = true);
  void UpdateWindow();
  // Whether an invalidation waits for its paint.
  bool HasPendingPaint() const;
  // Puts what contexts drew on the surface on screen now.
  void PresentNow();

  UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs);
  bool KillTimer(UINT_PTR id);
  bool HasTimer(UINT_PTR id) const;

  CWnd* SetCapture();
  static bool ReleaseCapture();
  static CWnd* GetCapture();
  CWnd* SetFocus();
  bool SetForegroundWindow();

  // Sends a command to this window as a command message would (routing
  // through OnCmdMsg).
  void SendCommand(UINT id);
  // Posts the command / a close request / a task: handled when the event
  // loop next runs, and dropped if the window is gone by then.
  void PostCommand(UINT id);
  void PostClose();
  void PostTask(std::function<void()> task);
  // Runs the command-state updates of this window's bars and menus now.
  static void RunIdleUpdates();

  // The platform's default processing of the current message.
  void Default();

  // Called with every client rectangle whose pixels change, as they are
  // drawn; none: nobody hears. Cheap callers only: it runs inside drawing.
  void WatchClient(std::function<void(const RECT&)> watcher);

  plat::Surface* GetSurface() const;
  QWidget* GetWidget() const;

  // Window messages. Default implementations do the platform's default
  // processing (nothing, for these).
  virtual bool PreCreateWindow(CREATESTRUCT& cs);
  virtual int OnCreate(CREATESTRUCT* cs);
  virtual bool OnEraseBkgnd(CDC* pDC);  // default: fill with the class background
  virtual void OnPaint();
  virtual void OnLButtonDown(UINT flags, CPoint pt);
  virtual void OnLButtonUp(UINT flags, CPoint pt);
  // Double clicks come only to windows whose class style has CS_DBLCLKS;
  // others get a second button-down instead.
  virtual void OnLButtonDblClk(UINT flags, CPoint pt);
  virtual void OnRButtonDown(UINT flags, CPoint pt);
  virtual void OnRButtonUp(UINT flags, CPoint pt);
  virtual void OnRButtonDblClk(UINT flags, CPoint pt);
  virtual void OnMouseMove(UINT flags, CPoint pt);
  virtual void OnTimer(UINT_PTR id);
  virtual void OnKeyDown(UINT vk, UINT repeat, UINT flags);
  virtual void OnSetFocus(CWnd* old);
  virtual void OnSize(UINT type, int cx, int cy);
  virtual void OnClose();  // default: DestroyWindow
  virtual void OnDestroy();
  // After the window is gone (children first); frames end the loop here.
  virtual void PostNcDestroy();
  // A horizontal slider child moved (code SB_*, position).
  virtual void OnHScroll(UINT code, UINT pos, CWnd* scrollBar);
  virtual long OnHotKey(UINT id, UINT modifiers, UINT vk);
  // A command (button, menu item, accelerator) sent to this window.
  virtual bool OnCommandMessage(UINT id);

  // Makes the widget; platform-internal, overridden by control classes. It
  // must return a plat::WndWidget (or a subclass); controls put their Qt
  // control inside it.
  virtual QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs);

 protected:
  plat::WndWidget* m_widget = nullptr;
  QWidget* m_qwidget = nullptr;
  CWnd* m_parent = nullptr;
  UINT m_nID = 0;
  DWORD m_style = 0;
  friend class plat::WndWidget;
};
