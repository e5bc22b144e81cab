#pragma once
// The palette bar "调色板": pen and brush colours, pen width, line style and
// the fill choices, from dialog template 103.
#include "platform/controls.h"

class CBoardWnd;

class CPaletteBar : public CDialogBar {
 public:
  CPaletteBar();
  bool Create(CWnd* parent, UINT templateId, DWORD barStyle, UINT id);
  CBoardWnd* m_pBoard = nullptr;
};

// Dialog template 103: 64 x 85 dialog units, 9-point "宋体", sixteen frames.
const DialogTemplate& PaletteBarTemplate();
