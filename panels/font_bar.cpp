#include "panels/font_bar.h"

#include "board/board_wnd.h"
#include "panels/font_combo.h"
#include "panels/font_sizes.h"
#include "res/resource.h"

namespace {

void OnFontName(CBoardWnd& board, CFontCombo& names) {
  std::string face;
  if (names.GetLBText(names.GetCurSel(), face) == CB_ERR) return;
  g_style.faceName = face;
  board.m_logFont.lfFaceName = face;
  board.AppendStyleRecord(kStyleFont);
}

void OnFontSize(CBoardWnd& board, CComboBox& sizes) {
  const int i = sizes.GetCurSel();
  if (i < 0 || i >= kFontSizeCount) return;
  board.m_logFont.lfHeight = kFontSizes[i].height;
  board.m_logFont.lfWidth = 4 * kFontSizes[i].height / 9;
  board.AppendStyleRecord(kStyleFont);
}

void OnBold(CBoardWnd& board) {
  board.m_bBold = !board.m_bBold;
  board.m_logFont.lfWeight = board.m_bBold ? FW_BOLD : FW_DONTCARE;
  board.AppendStyleRecord(kStyleFont);
}

void OnItalic(CBoardWnd& board) {
  board.m_bItalic = !board.m_bItalic;
  board.m_logFont.lfItalic = board.m_bItalic ? 1 : 0;
  board.AppendStyleRecord(kStyleFont);
}

void OnUnderline(CBoardWnd& board) {
  board.m_bUnderline = !board.m_bUnderline;
  board.m_logFont.lfUnderline = board.m_bUnderline ? 1 : 0;
  board.AppendStyleRecord(kStyleFont);
}

}  // namespace

void InstallFontCommands(CBoardWnd& board, CFontCombo& names, CComboBox& sizes) {
  board.OnCommand(ID_FONT_NAME, [&board, &names] { OnFontName(board, names); });
  board.OnCommand(ID_FONT_SIZE, [&board, &sizes] { OnFontSize(board, sizes); });
  board.OnCommand(ID_FONT_BOLD, [&board] { OnBold(board); });
  board.OnCommand(ID_FONT_ITALIC, [&board] { OnItalic(board); });
  board.OnCommand(ID_FONT_UNDERLINE, [&board] { OnUnderline(board); });
  board.OnUpdateCommand(ID_FONT_BOLD, [&board](CCmdUI* ui) { ui->SetCheck(board.m_bBold); });
  board.OnUpdateCommand(ID_FONT_ITALIC, [&board](CCmdUI* ui) { ui->SetCheck(board.m_bItalic); });
  board.OnUpdateCommand(ID_FONT_UNDERLINE,
                        [&board](CCmdUI* ui) { ui->SetCheck(board.m_bUnderline); });
}
