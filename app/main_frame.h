#pragma once
// The borderless full-screen frame: hosts the board, floats the main tool
// bar, the palette bar and the font bar, owns the Alt+1 hot key and routes
// every command to the board first.
#include <memory>

#include "app/board_share.h"
#include "app/tools_bar_ex.h"
#include "board/board_wnd.h"
#include "panels/font_combo.h"
#include "panels/palette_bar.h"
#include "platform/controls.h"
#include "platform/frame.h"

class CMainFrame : public CFrameWnd, public CBoardFrame {
 public:
  CMainFrame();
  ~CMainFrame() override;

  // Creates the frame window: title from string 128, accelerators 128.
  bool LoadFrame();
  void OnMenuPopup();

  // The board's view of its frame.
  CWnd& FrameWindow() override { return *this; }
  void ToggleBars() override;
  void HideBars() override;
  void ShowFontBar(bool show, bool delay) override { ShowControlBar(&m_fontBar, show, delay); }
  void RepaintPalette() override { m_paletteBar.Invalidate(true); }
  void BeginTempExit() override { m_barsBeforeExit = !m_barsHidden; }
  void SetTempExited(bool exited) override { m_tempExited = exited; }

  bool PreCreateWindow(CREATESTRUCT& cs) override;
  int OnCreate(CREATESTRUCT* cs) override;
  void OnSetFocus(CWnd* old) override;
  void OnClose() override;
  long OnHotKey(UINT id, UINT modifiers, UINT vk) override;
  bool OnCmdMsg(UINT nID, int nCode, CCmdUI* pCmdUI) override;

  CBoardWnd m_board;
  CToolBarEx m_toolsBar;
  CPaletteBar m_paletteBar;
  CToolBar m_fontBar;
  CFontCombo m_fontNameBox;
  CComboBox m_fontSizeBox;
  bool m_tempExited = false;
  bool m_barsHidden = true;
  // The bars were shown when the teacher left the board for a while.
  bool m_barsBeforeExit = false;
  RECT m_toolsBarRect{};
  // Made with the board and gone before it.
  std::unique_ptr<CBoardShare> m_share;

 private:
  bool CreateToolsBar();
  bool CreatePaletteBar();
  bool CreateFontBar();
};
