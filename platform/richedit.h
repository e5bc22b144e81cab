#pragma once
#include <memory>

#include "platform/wnd.h"

constexpr DWORD ES_MULTILINE = 0x4, ES_AUTOVSCROLL = 0x40, ES_WANTRETURN = 0x1000;

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
