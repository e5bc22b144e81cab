#pragma once
#include <string>

#include "platform/wnd.h"

constexpr DWORD SS_BLACKFRAME = 0x7, SS_GRAYFRAME = 0x8, SS_WHITEFRAME = 0x9;

// A static frame control: draws its frame only, takes no mouse input.
class CStatic : public CWnd {
 public:
  bool Create(const std::string& gbkText, DWORD style, const RECT& rc, CWnd* parent, UINT id);
  QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
};
