#pragma once
// Control bars (each floats as its own tool window), tool bars, dialog bars
// and dialogs built from templates given as data, and the common controls.
#include <functional>
#include <memory>
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
// Control styles.
constexpr DWORD WS_VSCROLL = 0x00200000, WS_HSCROLL = 0x00100000, WS_TABSTOP = 0x00010000,
                WS_DISABLED = 0x08000000;
constexpr DWORD CBS_DROPDOWN = 0x2, CBS_DROPDOWNLIST = 0x3, CBS_OWNERDRAWFIXED = 0x10,
                CBS_AUTOHSCROLL = 0x40, CBS_SORT = 0x100, CBS_HASSTRINGS = 0x200;
constexpr DWORD ES_MULTILINE = 0x4, ES_AUTOVSCROLL = 0x40, ES_WANTRETURN = 0x1000;
constexpr DWORD SS_BLACKFRAME = 0x7, SS_GRAYFRAME = 0x8, SS_WHITEFRAME = 0x9;
constexpr DWORD BS_PUSHBUTTON = 0x0, BS_DEFPUSHBUTTON = 0x1;
constexpr DWORD TBS_HORZ = 0x0, TBS_NOTICKS = 0x10;
constexpr int CB_ERR = -1;
constexpr UINT ODS_SELECTED = 0x1;

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
  void SetBorders(int left, int top, int right, int bottom);
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
  // Images from the program's bitmap: 137 the main strip, 232 the font bar.
  bool LoadBitmap(UINT bitmapId);
  // Tool bar resource id (its images) plus its entries.
  bool LoadToolBar(UINT resourceId, const UINT* ids, int count);
  // Images from a callback: XPM data of image i (nullptr: none).
  void SetImageSource(std::function<const char* const*(int)> xpmOfImage);
  // Entries: a command id per button, 0 (ID_SEPARATOR) for a separator.
  // Buttons take images 0, 1, 2... in order; separators take none.
  bool SetButtons(const UINT* ids, int count);
  void SetSizes(SIZE button, SIZE image);

  int GetCount() const;
  UINT GetItemID(int index) const;
  int CommandToIndex(UINT id) const;  // -1 when absent
  UINT GetButtonStyle(int index) const;
  void SetButtonStyle(int index, UINT style);
  void GetButtonInfo(int index, UINT& id, UINT& style, int& imageOrWidth) const;
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

// Dialog templates as data. Sizes are dialog units of the template font:
// one unit is baseX / 4 pixels across and baseY / 8 down, where baseY is the
// font's height and baseX the average width of the 52 Latin letters
// (rounded as (width / 26 + 1) / 2). For 9-point "宋体" at 96 dpi (12-pixel
// font) both are 6 and 12: one unit is 1.5 pixels each way.
enum class DlgControl { Static, Button, Slider };
struct DialogItem {
  DlgControl kind = DlgControl::Static;
  UINT id = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  DWORD style = 0;   // WS_VISIBLE, SS_*, BS_*, TBS_*
  std::string text;  // GBK
};
struct DialogMenuItem {
  UINT id = 0;
  std::string text;  // GBK
};
struct DialogTemplate {
  DWORD style = 0;
  DWORD exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  std::string caption;   // GBK
  std::string fontFace;  // GBK
  int pointSize = 9;
  std::vector<DialogItem> items;
  std::vector<DialogMenuItem> menuBar;  // plain command items of a menu bar
};
// Templates by resource id, registered by the program at start-up.
void RegisterDialogTemplate(UINT id, const DialogTemplate& tmpl);
const DialogTemplate* FindDialogTemplate(UINT id);
SIZE GetDialogBaseUnits(const std::string& gbkFace, int pointSize);
// Dialog units to pixels for a template's font.
RECT MapDialogRect(const DialogTemplate& tmpl, const RECT& dlu);
// A control's pixel rectangle (position and size mapped separately).
RECT MapDialogItem(const DialogTemplate& tmpl, const DialogItem& item);

// A static frame control: draws its frame only, takes no mouse input.
class CStatic : public CWnd {
 public:
  bool Create(const std::string& gbkText, DWORD style, const RECT& rc, CWnd* parent, UINT id);
  QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
};

class CSliderCtrl;

// A bar built from a dialog template; its controls are its children.
class CDialogBar : public CControlBar {
 public:
  CDialogBar();
  ~CDialogBar() override;
  bool Create(CWnd* parent, UINT templateId, DWORD barStyle, UINT id);
  bool Create(CWnd* parent, const DialogTemplate& tmpl, DWORD barStyle, UINT id);
  CWnd* GetDlgItem(UINT id) const;
  SIZE CalcFixedLayout() override;

 protected:
  bool PreCreateWindow(CREATESTRUCT& cs) override;
  SIZE m_sizeDefault{};
  std::vector<std::unique_ptr<CWnd>> m_controls;
};

// Owner-draw requests of a combo box.
struct DRAWITEMSTRUCT {
  int itemID = -1;
  UINT itemState = 0;  // ODS_SELECTED
  CDC* pDC = nullptr;
  RECT rcItem{};
};
struct MEASUREITEMSTRUCT {
  int itemID = -1;
  UINT itemHeight = 0;
};

// A combo box; its selection changes reach the owning frame as command id.
class CComboBox : public CWnd {
 public:
  CComboBox();
  ~CComboBox() override;
  // rc's height includes the dropped-down list, as on the platform.
  bool Create(DWORD style, const RECT& rc, CWnd* parent, UINT id);
  int AddString(const std::string& gbk);                // sorted with CBS_SORT; returns the index
  int InsertString(int index, const std::string& gbk);  // -1 appends; never sorts
  int DeleteString(int index);                          // the count left, CB_ERR for a bad index
  void ResetContent();
  int GetCount() const;
  int GetLBText(int index, std::string& gbk) const;  // length, CB_ERR for a bad index
  int GetCurSel() const;
  int SetCurSel(int index);  // no notification; -1 clears
  // First item after start (-1: from the top) beginning with gbk, ignoring case.
  int FindString(int start, const std::string& gbk) const;
  int SelectString(int start, const std::string& gbk);
  int SetItemHeight(int index, UINT height);  // -1: the edit field
  int GetItemHeight(int index) const;
  int SetDroppedWidth(UINT width);
  int GetDroppedWidth() const;
  void GetDroppedControlRect(RECT* rc) const;  // screen coordinates
  // The list's own font (its face and pixel height).
  CFont* GetFont();

  // Owner-draw hooks (CBS_OWNERDRAWFIXED): rcItem is in the item's own pixels.
  virtual void DrawItem(DRAWITEMSTRUCT* dis);
  virtual void MeasureItem(MEASUREITEMSTRUCT* mis);
  // Before the list opens.
  virtual void OnDropDown();
  // The user chose another item: default sends the id to the owning frame.
  virtual void OnSelChange();

  QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
  struct Impl;

 private:
  std::unique_ptr<Impl> m_impl;
  CFont m_font;
};

// A multi-line rich text box.
class CRichEditCtrl : public CWnd {
 public:
  CRichEditCtrl();
  ~CRichEditCtrl() override;
  bool Create(DWORD style, const RECT& rc, CWnd* parent, UINT id);
  int GetLineCount() const;
  void SetTextColor(COLORREF color);  // for text typed afterwards
  COLORREF SetBackgroundColor(bool sysColor, COLORREF color);
  void SetFont(CFont* font, bool redraw = true);
  void HideCaret();
  void ShowCaret();
  QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
  struct Impl;

 private:
  std::unique_ptr<Impl> m_impl;
};

// A horizontal slider (trackbar); moves reach the parent's OnHScroll.
class CSliderCtrl : public CWnd {
 public:
  bool Create(DWORD style, const RECT& rc, CWnd* parent, UINT id);
  void SetRange(int minPos, int maxPos, bool redraw = false);
  int GetRangeMin() const;
  int GetRangeMax() const;
  void SetPos(int pos);  // no notification
  int GetPos() const;
  QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
};

// A dialog from a template: modeless Create or modal DoModal. Buttons and
// menu-bar items send their id as a command to the dialog; Esc calls
// OnCancel and Enter OnOK unless PreTranslateKeyDown takes the key.
class CDialog : public CWnd {
 public:
  CDialog();
  ~CDialog() override;
  bool Create(UINT templateId, CWnd* parent = nullptr);
  bool Create(const DialogTemplate& tmpl, CWnd* parent = nullptr);
  // Runs modally; -1 at once when the template does not exist.
  int DoModal(UINT templateId, CWnd* parent = nullptr);
  void EndDialog(int result);
  CWnd* GetDlgItem(UINT id) const;

  virtual bool OnInitDialog() { return true; }
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  // A key pressed in the dialog or its controls; true consumes it.
  virtual bool PreTranslateKeyDown(UINT vk);

  bool OnEraseBkgnd(CDC* pDC) override;  // button face
  bool PreCreateWindow(CREATESTRUCT& cs) override;
  QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;

 protected:
  std::vector<std::unique_ptr<CWnd>> m_controls;
  int m_result = 0;
  class QEventLoop* m_loop = nullptr;  // while DoModal runs
};
