#pragma once
// The palette bar "调色板": pen and brush colours, pen width, line style and
// the fill choices, from dialog template 103. Every choice goes at once into
// g_style and into the record store through the board's AppendStyleRecord.
#include "platform/controls.h"
#include "platform/types.h"

class CBoardWnd;

// Controls of template 103.
constexpr UINT IDC_PAL_FORE = 1000, IDC_PAL_BACK = 1001, IDC_PAL_STYLES = 1003, IDC_PAL_PEN = 1004,
               IDC_PAL_CELL_FIRST = 1005;
constexpr int kPaletteCells = 12;                 // controls 1005 to 1016
constexpr COLORREF kPaletteHighlight = 0xC0C000;  // marks the chosen width, fill or style
// (fill, outline) of the three fill choices.
constexpr int kPaletteFillPairs[3][2] = {{0, 1}, {1, 1}, {1, 0}};

class CPaletteBar : public CDialogBar {
 public:
  CPaletteBar();
  bool Create(CWnd* parent, UINT templateId, DWORD barStyle, UINT id);

  // Records the bar's colour into the style when the style differs from it.
  void CommitForeColor();
  void CommitBackColor();
  // Widths and line styles share one highlight: at most one of the nine is
  // chosen, and both areas show it.
  void HighlightPenChoice(bool& choice);
  // Takes the colours and choices to show from the style in force, which
  // replays, undo, redo and opened files move without the bar's clicks.
  void ShowStyleInForce();

  void OnLButtonDown(UINT flags, CPoint pt) override;
  void OnRButtonDown(UINT flags, CPoint pt) override;
  void OnLButtonDblClk(UINT flags, CPoint pt) override;
  void OnPaint() override;

  CBoardWnd* m_pBoard = nullptr;
  COLORREF m_crFore = 0x000000;
  COLORREF m_crBack = 0xFFFFFF;
  COLORREF m_crCells[kPaletteCells] = {0x0000FF, 0x00FF00, 0xFF0000, 0x008080, 0x000080, 0x800080,
                                       0x800000, 0x808000, 0x008000, 0x808080, 0x000000, 0xFFFFFF};
  RECT m_rcStyle[4] = {};
  bool m_bStyle[4] = {};
  RECT m_rcWidth[5] = {};
  bool m_bWidth[5] = {true, false, false, false, false};
  RECT m_rcFill[3] = {};
  bool m_bFill[3] = {false, true, false};

 private:
  // A control's window rectangle in bar client pixels.
  CRect ItemRect(UINT id) const;
  // The pen area holds fill choices for the rectangle, rounded-rectangle and
  // ellipse tools, width choices for the others.
  bool ShowsFillChoices() const;
  void ComputeWidthRects();
  void ComputeFillRects();
  void ComputeStyleRects();
  void RepaintItem(UINT id);
  void AppendStyle(int kind);
  void ChooseColorFor(COLORREF& color, void (CPaletteBar::*commit)());
};

// Dialog template 103: 64 x 85 dialog units, 9-point "宋体", sixteen frames.
const DialogTemplate& PaletteBarTemplate();
