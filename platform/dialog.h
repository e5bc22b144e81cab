#pragma once
// Dialog templates given as data, and the bars and dialogs built from them.
#include <memory>
#include <string>
#include <vector>

#include "platform/controlbar.h"
#include "platform/wnd.h"

// Dialog templates as data. Sizes are dialog units of the template font:
// one unit is baseX / 4 pixels across and baseY / 8 down, where baseY is the
// font's height and baseX the average width of the 52 Latin letters
// (rounded as (width / 26 + 1) / 2). For 9-point "宋体" at 96 dpi (12-pixel
// font) both are 6 and 12: one unit is 1.5 pixels each way.
enum class DlgControl { Static, Slider };
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
  // Non-empty: a drop-down of these instead of a command. Their checks and
  // enabling come from the dialog's command-state updates as it opens.
  std::vector<DialogMenuItem> items{};
};
struct DialogTemplate {
  DWORD style = 0;
  DWORD exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  std::string caption;   // GBK
  std::string fontFace;  // GBK
  int pointSize = 9;
  std::vector<DialogItem> items;
  std::vector<DialogMenuItem> menuBar;  // command items and drop-downs of a menu bar
};
// Templates by resource id, registered by the program at start-up.
void RegisterDialogTemplate(UINT id, const DialogTemplate& tmpl);
const DialogTemplate* FindDialogTemplate(UINT id);
SIZE GetDialogBaseUnits(const std::string& gbkFace, int pointSize);
// Dialog units to pixels for a template's font.
RECT MapDialogRect(const DialogTemplate& tmpl, const RECT& dlu);
// A control's pixel rectangle (position and size mapped separately).
RECT MapDialogItem(const DialogTemplate& tmpl, const DialogItem& item);

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

// A modeless dialog from a template. Its menu-bar items send their id as a
// command to the dialog; Esc calls OnCancel and Enter OnOK unless
// PreTranslateKeyDown takes the key.
class CDialog : public CWnd {
 public:
  CDialog();
  ~CDialog() override;
  bool Create(UINT templateId, CWnd* parent = nullptr);
  bool Create(const DialogTemplate& tmpl, CWnd* parent = nullptr);
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
};
