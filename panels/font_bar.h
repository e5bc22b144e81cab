#pragma once
// The font bar "字体" on the board: the face and size lists and the bold,
// italic and underline buttons change the board's font, and every choice is
// recorded as a font record.
#include "platform/combobox.h"

class CBoardWnd;
class CFontCombo;

// The font bar's commands in the board's message map (OnFontName,
// OnFontSize, OnBold, OnItalic, OnUnderline and the buttons' states); the
// lists live as long as the board.
void InstallFontCommands(CBoardWnd& board, CFontCombo& names, CComboBox& sizes);
