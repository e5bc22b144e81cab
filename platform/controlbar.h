#pragma once
// Control bars (each floats as its own tool window) and tool bars.
#include <functional>
#include <string>
#include <vector>

#include "platform/wnd.h"

class CFrameWnd;

// Bar styles (combined with WS_CHILD / WS_VISIBLE in a bar's style).
constexpr DWORD CBRS_ALIGN_LEFT = 0x1000, CBRS_ALIGN_TOP = 0x2000, CBRS_ALIGN_RIGHT = 0x4000,
                CBRS_ALIGN_BOTTOM = 0x8000, CBRS_ALIGN_ANY = 0xF000;
constexpr DWORD CBRS_BORDER_LEFT = 0x0100, CBRS_BORDER_TOP = 0x0200, CBRS_BORDER_RIGHT = 0x0400,
                CBRS_BORDER_BOTTOM = 0x0800, CBRS_BORDER_ANY = 0x0F00;
constexpr DWORD CBRS_TOOLTIPS = 0x0010, CBRS_FLYBY = 0x0020, CBRS_SIZE_DYNAMIC = 0x0004,
                CBRS_SIZE_FIXED = 0x0002, CBRS_FLOATING = 0x0001;
constexpr DWORD TBSTYLE_FLAT = 0x0800;
// Tool bar entry styles.
constexpr UINT ID_SEPARATOR = 0;
constexpr UINT TBBS_BUTTON = 0, TBBS_SEPARATOR = 0x0001, TBBS_CHECKBOX = 0x0002,
               TBBS_CHECKED = 0x00010000, TBBS_PRESSED = 0x00020000, TBBS_DISABLED = 0x00040000,
               TBBS_WRAPPED = 0x00200000;

// A control bar: a floating tool window whose caption strip (the bar's
// window text) sits above its client area; dragging the caption moves it.
class CControlBar : public CWnd {
 public:
  static constexpr int kCaptionHeight = 17;  // non-client strip above the client area
  static constexpr int kFrameBorder = 2;     // non-client border left, right, bottom

  CControlBar();
  ~CControlBar() override;

  void EnableDocking(DWORD align) { m_dwDockStyle = align; }
  DWORD GetBarStyle() const { return m_dwStyle; }
  void SetBarStyle(DWORD style) { m_dwStyle = style; }
  bool IsFloating() const { return m_floated; }
  // The frame the bar belongs to (its parent).
  CFrameWnd* GetDockingFrame() const;

  // Client size for the content: bar borders plus the content itself.
  virtual SIZE CalcFixedLayout();
  // Asks target (the owning frame) for the state of each item.
  virtual void OnUpdateCmdUI(CWnd* target, bool disableIfNoHandler);

  // Fits the floating window to CalcFixedLayout, keeping its top-left corner.
  void RecalcBarLayout();
  // Used by CFrameWnd::FloatControlBar: window top-left at a screen point.
  void FloatAt(POINT screenTopLeft);
  // Used by CFrameWnd::ShowControlBar: a delayed show or hide is carried out
  // when the event loop next runs, unless an immediate one comes first.
  void DelayShow(bool show);
  void ShowNow(bool show);

  // Every live bar, in creation order.
  static std::vector<CControlBar*> AllBars();

  bool OnEraseBkgnd(CDC* pDC) override;  // button face

 protected:
  bool CreateBar(CWnd* parent, DWORD barStyle, UINT id);
  QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;

  int m_cxLeftBorder = 6, m_cxRightBorder = 6, m_cyTopBorder = 2, m_cyBottomBorder = 2;
  DWORD m_dwStyle = 0;  // CBRS_* bits
  DWORD m_dwDockStyle = 0;
  bool m_floated = false;
  int m_delayedShow = -1;  // -1 none, 0 hide, 1 show
};

// A tool bar: buttons with 16 x 15 images on 23 x 22 faces and separators,
// laid out in rows ending at wrapped entries.
class CToolBar : public CControlBar {
 public:
  CToolBar();
  ~CToolBar() override;

  // borders: extra bar borders; an all-zero rectangle keeps the current ones.
  bool CreateEx(CWnd* parent, DWORD tbStyle, DWORD barStyle, const RECT& borders, UINT id);
  // The image strip the program registered as bitmapId (plat::RegisterToolBarImages).
  bool LoadBitmap(UINT bitmapId);
  // Tool bar resource id (its images) plus its entries.
  bool LoadToolBar(UINT resourceId, const UINT* ids, int count);
  // Images from a callback: XPM data of image i (nullptr: none).
  void SetImageSource(std::function<const char* const*(int)> xpmOfImage);
  // Entries: a command id per button, 0 (ID_SEPARATOR) for a separator.
  // Buttons take images 0, 1, 2... in order; separators take none.
  bool SetButtons(const UINT* ids, int count);

  int GetCount() const;
  UINT GetItemID(int index) const;
  int CommandToIndex(UINT id) const;  // -1 when absent
  UINT GetButtonStyle(int index) const;
  void SetButtonStyle(int index, UINT style);
  // A separator's last value is its width in pixels (a child control sits there).
  void SetButtonInfo(int index, UINT id, UINT style, int imageOrWidth);
  // Entry rectangle in bar client coordinates.
  void GetItemRect(int index, RECT* rc) const;
  // UTF-8 tool tip: the string resource text after its line break.
  std::string GetToolTipText(int index) const;
  // Entry at a client point, -1 for none or a separator.
  int HitTest(POINT client) const;
  // What a click on button index does: the command goes to the owner frame.
  void ClickButton(int index);

  SIZE CalcFixedLayout() override;
  void OnUpdateCmdUI(CWnd* target, bool disableIfNoHandler) override;
  void OnPaint() override;
  void OnLButtonDown(UINT flags, CPoint pt) override;
  void OnLButtonUp(UINT flags, CPoint pt) override;
  void OnMouseMove(UINT flags, CPoint pt) override;

 protected:
  struct Entry {
    UINT id = 0;
    UINT style = 0;
    int image = -1;  // buttons
    int width = 6;   // separators
  };
  void Layout();
  std::vector<Entry> m_entries;
  std::vector<RECT> m_rects;
  SIZE m_sizeButton{23, 22}, m_sizeImage{16, 15};
  DWORD m_tbStyle = 0;
  std::function<const char* const*(int)> m_images;
  int m_pressed = -1, m_hot = -1;
};
