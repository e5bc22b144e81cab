#include "app/main_frame.h"
#include "panels/font_bar.h"
#include "panels/font_sizes.h"
#include "platform/codepage.h"
#include "res/resource.h"

namespace {
// The main tool bar's 29 entries; 0 is a separator. Wrapped every five
// entries, each separator ends a row: six rows of four buttons.
const UINT kToolsBarButtons[29] = {ID_MENU_POPUP,
                                   ID_TRANSPARENT,
                                   ID_TEMP_EXIT,
                                   ID_TOOL_POINTER,
                                   0,
                                   ID_BACKGROUND_CYCLE,
                                   ID_TOOL_FLASH_AREA,
                                   ID_TOOL_FLASH_RECT,
                                   ID_TOOL_MAGNIFY,
                                   0,
                                   ID_TOOL_FILL,
                                   ID_TOOL_BRUSH,
                                   ID_TOOL_PEN,
                                   ID_TOOL_LINE,
                                   0,
                                   ID_TOOL_ARROW,
                                   ID_TOOL_POLYLINE,
                                   ID_TOOL_RECT,
                                   ID_TOOL_ROUNDRECT,
                                   0,
                                   ID_TOOL_ELLIPSE,
                                   ID_TOOL_FLASH_MARK,
                                   ID_TOOL_PICKCOLOR,
                                   ID_TOOL_TEXT,
                                   0,
                                   ID_UNDO,
                                   ID_REDO,
                                   ID_CLEAR_ALL,
                                   ID_REPLAY};

const UINT kFontBarButtons[6] = {ID_FONT_NAME, ID_FONT_SIZE,   0,
                                 ID_FONT_BOLD, ID_FONT_ITALIC, ID_FONT_UNDERLINE};
}  // namespace

bool CMainFrame::CreateToolsBar() {
  if (!m_toolsBar.CreateEx(
          this, TBSTYLE_FLAT,
          WS_CHILD | CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM | CBRS_TOOLTIPS | CBRS_SIZE_FIXED,
          CRect(0, 0, 0, 0), AFX_IDW_TOOLBAR))
    return false;
  if (!m_toolsBar.LoadBitmap(IDB_TOOLBAR)) return false;
  if (!m_toolsBar.SetButtons(kToolsBarButtons, 29)) return false;
  m_toolsBar.SetWindowText(GBK("多媒体工具"));
  m_toolsBar.EnableDocking(0);
  m_toolsBar.SetEntriesPerRow(5);
  FloatControlBar(&m_toolsBar, CPoint(10, 50), CBRS_ALIGN_TOP);
  return true;
}

bool CMainFrame::CreatePaletteBar() {
  // Linked before the window exists: its first paint reads the board's tool.
  m_paletteBar.m_pBoard = &m_board;
  if (!m_paletteBar.Create(this, IDD_PALETTEBAR,
                           WS_CHILD | CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT | CBRS_SIZE_FIXED,
                           IDD_PALETTEBAR))
    return false;
  m_paletteBar.SetWindowText(GBK("调色板"));
  m_paletteBar.EnableDocking(0);
  ShowControlBar(&m_paletteBar, false, false);
  return true;
}

bool CMainFrame::CreateFontBar() {
  if (!m_fontBar.CreateEx(this, TBSTYLE_FLAT,
                          WS_CHILD | CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM | CBRS_TOOLTIPS |
                              CBRS_FLYBY | CBRS_SIZE_FIXED,
                          CRect(0, 0, 0, 0), AFX_IDW_TOOLBAR))
    return false;
  if (!m_fontBar.LoadToolBar(IDR_FONTBAR, kFontBarButtons, 6)) return false;

  RECT rc;
  m_fontBar.SetButtonInfo(0, ID_FONT_NAME, TBBS_SEPARATOR, 160);
  m_fontBar.GetItemRect(0, &rc);
  rc.bottom += ScaleToDpi(300);
  if (!m_fontNameBox.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN |
                                CBS_OWNERDRAWFIXED | CBS_SORT | CBS_HASSTRINGS,
                            rc, &m_fontBar, ID_FONT_NAME))
    return false;
  m_fontNameBox.FillFontList();

  m_fontBar.SetButtonInfo(1, ID_FONT_SIZE, TBBS_SEPARATOR, 70);
  m_fontBar.GetItemRect(1, &rc);
  rc.bottom += ScaleToDpi(500);
  if (!m_fontSizeBox.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST, rc, &m_fontBar,
                            ID_FONT_SIZE))
    return false;
  for (int i = 0; i < kFontSizeCount; ++i) m_fontSizeBox.AddString(GBK(kFontSizes[i].label));
  m_fontSizeBox.SetCurSel(6);
  InstallFontCommands(m_board, m_fontNameBox, m_fontSizeBox);

  m_fontBar.SetWindowText(GBK("字体"));
  m_fontBar.EnableDocking(CBRS_ALIGN_ANY);
  EnableDocking(CBRS_ALIGN_ANY);
  m_fontBar.EnableDocking(0);
  FloatControlBar(&m_fontBar,
                  CPoint(GetSystemMetrics(SM_CXSCREEN) - 470, GetSystemMetrics(SM_CYSCREEN) / 30),
                  CBRS_ALIGN_TOP);
  ShowControlBar(&m_fontBar, false, false);
  return true;
}
