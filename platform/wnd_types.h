#pragma once
// Window styles, system colours, scroll codes and creation parameters.
#include <string>

#include "platform/types.h"

// Window styles (only those the program asks for).
constexpr DWORD WS_POPUP = 0x80000000, WS_CHILD = 0x40000000, WS_VISIBLE = 0x10000000,
                WS_BORDER = 0x00800000, WS_THICKFRAME = 0x00040000,
                WS_OVERLAPPEDWINDOW = 0x00CF0000, WS_CAPTION = 0x00C00000;
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200, WS_EX_TOOLWINDOW = 0x00000080;
constexpr UINT CS_DBLCLKS = 0x0008, CS_HREDRAW = 0x0002, CS_VREDRAW = 0x0001;
constexpr int COLOR_WINDOW = 5, COLOR_HIGHLIGHT = 13, COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15;
COLORREF GetSysColor(int index);

// Control styles.
constexpr DWORD WS_VSCROLL = 0x00200000, WS_HSCROLL = 0x00100000, WS_TABSTOP = 0x00010000,
                WS_DISABLED = 0x08000000;

// Scroll codes of OnHScroll.
constexpr UINT SB_LINELEFT = 0, SB_LINERIGHT = 1, SB_PAGELEFT = 2, SB_PAGERIGHT = 3,
               SB_THUMBPOSITION = 4, SB_THUMBTRACK = 5, SB_LEFT = 6, SB_RIGHT = 7, SB_ENDSCROLL = 8;

struct CREATESTRUCT {
  DWORD style = 0;
  DWORD dwExStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  std::string lpszName;  // GBK
  UINT classStyle = 0;
  bool hasCursor = true;      // the class's standard arrow cursor
  bool hasBackground = true;  // COLOR_WINDOW + 1
};
