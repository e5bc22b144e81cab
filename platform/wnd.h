#pragma once
// Windows, messages and command routing. A CWnd is backed by a Qt widget
// (created by the platform); its client area is a persistent surface image
// that device contexts draw into and the widget only presents.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/types.h"

class QWidget;
class CFrameWnd;
namespace plat {
class WndWidget;
}

constexpr int CN_COMMAND = 0, CN_UPDATE_COMMAND_UI = -1;

// Window styles (only those the program asks for).
constexpr DWORD WS_POPUP = 0x80000000, WS_CHILD = 0x40000000, WS_VISIBLE = 0x10000000,
                WS_BORDER = 0x00800000, WS_THICKFRAME = 0x00040000,
                WS_OVERLAPPEDWINDOW = 0x00CF0000, WS_CAPTION = 0x00C00000;
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200, WS_EX_TOOLWINDOW = 0x00000080;
constexpr UINT CS_DBLCLKS = 0x0008, CS_HREDRAW = 0x0002, CS_VREDRAW = 0x0001;
constexpr int COLOR_WINDOW = 5, COLOR_HIGHLIGHT = 13, COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15;
COLORREF GetSysColor(int index);

// Command-state object: enable and check a user-interface element.
class CCmdUI {
 public:
  virtual ~CCmdUI() = default;
  virtual void Enable(bool on = true) { m_bEnabled = on; }
  virtual void SetCheck(int check = 1) { m_nCheck = check; }
  UINT m_nID = 0;
  bool m_bEnabled = true;
  int m_nCheck = 0;
  bool m_bHandled = false;  // set by routing when some handler took the update
};

// A message map for commands: entries registered by the class's constructor.
class CCmdTarget {
 public:
  virtual ~CCmdTarget() = default;
  // Offers a command (nCode CN_COMMAND) or a command-state update
  // (CN_UPDATE_COMMAND_UI, pCmdUI given) to this object's map; true if handled.
  virtual bool OnCmdMsg(UINT nID, int nCode, CCmdUI* pCmdUI);

 protected:
  void OnCommand(UINT id, std::function<void()> fn);
  void OnCommandRange(UINT first, UINT last, std::function<void(UINT)> fn);
  void OnUpdateCommand(UINT id, std::function<void(CCmdUI*)> fn);
  void OnUpdateCommandRange(UINT first, UINT last, std::function<void(CCmdUI*)> fn);

 private:
  struct Entry {
    UINT first, last;
    std::function<void(UINT)> cmd;
    std::function<void(CCmdUI*)> update;
  };
  std::vector<Entry> m_map;
};

struct CREATESTRUCT {
  DWORD style = 0;
  DWORD dwExStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  std::string lpszName;  // GBK
  UINT classStyle = 0;
  bool hasCursor = true;      // the class's standard arrow cursor
  bool hasBackground = true;  // COLOR_WINDOW + 1
};

using HCURSOR = const struct CursorData*;

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
  bool IsIconic() const;
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
  // The first ancestor that is a frame window (nullptr when there is none).
  CFrameWnd* GetParentFrame() const;
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
  void BringWindowToTop();

  // The cursor shown over this window (SetCursor of the platform sets it for
  // the window under the pointer).
  void SetWindowCursor(HCURSOR cursor);

  // Sends a command to this window as a command message would (routing
  // through OnCmdMsg).
  void SendCommand(UINT id);
  // Posts the command / a close request: handled when the event loop next
  // runs, and dropped if the window is gone by then.
  void PostCommand(UINT id);
  void PostClose();
  // Runs the command-state updates of this window's bars and menus now.
  static void RunIdleUpdates();

  // The platform's default processing of the current message.
  void Default();

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

// Current keyboard state at the time of the message being handled (high bit
// set when down, as on the platform).
short GetKeyState(int vk);

// Pointer and cursor.
bool SetCursorPos(int x, int y);
bool GetCursorPos(POINT* p);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR LoadCursorResource(UINT id);  // the program's cursor resources
HCURSOR LoadStandardArrow();

// Messages.
int AfxMessageBox(const std::string& gbkText, UINT type = MB_OK);  // caption: app title
int MessageBoxOwned(CWnd* owner, const std::string& gbkText, const std::string& gbkCaption,
                    UINT type);
void SetAppTitle(const std::string& gbk);
const std::string& GetAppTitle();

// Blocking pause: presents what was drawn, then waits on the platform clock.
void Sleep(unsigned ms);

// Keyboard accelerators of a top-level window, translated for keyboard input
// to any of the program's windows.
struct ACCEL {
  UINT modifiers;  // MK_CONTROL / MK_SHIFT
  int vk;          // 'O', 'S', 'Z', VK_F12 ...
  UINT cmd;
};
void SetAccelerators(CWnd* owner, const std::vector<ACCEL>& table);

// Global hot key (Alt+1 only is asked for); the owner gets OnHotKey.
constexpr UINT MOD_ALT = 0x1, MOD_CONTROL = 0x2, MOD_SHIFT = 0x4;
bool RegisterHotKey(CWnd* owner, int id, UINT modifiers, UINT vk);
bool UnregisterHotKey(CWnd* owner, int id);

// Pop-up menus.
constexpr UINT MF_STRING = 0, MF_SEPARATOR = 0x800, MF_CHECKED = 0x8, MF_GRAYED = 0x1;
constexpr UINT TPM_LEFTALIGN = 0, TPM_RIGHTBUTTON = 0x2;
// Scroll codes of OnHScroll.
constexpr UINT SB_LINELEFT = 0, SB_LINERIGHT = 1, SB_PAGELEFT = 2, SB_PAGERIGHT = 3,
               SB_THUMBPOSITION = 4, SB_THUMBTRACK = 5, SB_LEFT = 6, SB_RIGHT = 7, SB_ENDSCROLL = 8;
class CMenu {
 public:
  struct Item {
    UINT id;           // 0: separator
    std::string text;  // GBK
    UINT flags = 0;    // MF_GRAYED / MF_CHECKED, refreshed by UpdateItemStates
  };
  bool CreatePopupMenu();
  void AppendMenu(UINT flags, UINT id = 0, const std::string& gbk = {});
  CMenu* GetSubMenu(int pos);
  // Runs the menu modally at (x, y); the chosen command goes to owner. Item
  // states come from the owner's command-state updates first.
  bool TrackPopupMenu(UINT flags, int x, int y, CWnd* owner);
  void DestroyMenu();
  // Asks owner's command-state updates for every item (an item without a
  // handler is grayed); TrackPopupMenu does this before showing.
  void UpdateItemStates(CWnd* owner);
  const std::vector<Item>& Items() const { return m_items; }
  std::vector<CMenu> m_subMenus;

 private:
  std::vector<Item> m_items;
};
