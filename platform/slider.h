#pragma once
#include "platform/wnd.h"

constexpr DWORD TBS_HORZ = 0x0, TBS_NOTICKS = 0x10;

// A horizontal slider (trackbar); moves reach the parent's OnHScroll.
class CSliderCtrl : public CWnd {
 public:
  bool Create(DWORD style, const RECT& rc, CWnd* parent, UINT id);
  void SetRange(int minPos, int maxPos, bool redraw = false);
  int GetRangeMax() const;
  void SetPos(int pos);  // no notification
  int GetPos() const;
  QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
};
