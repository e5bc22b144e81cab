#include "panels/palette_bar.h"

#include "board/board_wnd.h"
#include "platform/codepage.h"
#include "platform/commdlg.h"
#include "records/draw_record.h"
#include "res/resource.h"

const DialogTemplate& PaletteBarTemplate() {
  static const DialogTemplate tmpl = [] {
    DialogTemplate t;
    t.style = WS_CHILD;
    t.cx = 64;
    t.cy = 85;
    t.fontFace = GBK("宋体");
    t.pointSize = 9;
    struct Frame {
      UINT id;
      int x, y, w, h;
      DWORD style;
    };
    const DWORD black = SS_BLACKFRAME | WS_VISIBLE, grey = SS_GRAYFRAME | WS_VISIBLE;
    const Frame frames[] = {
        {IDC_PAL_FORE, 37, 6, 15, 15, black}, {IDC_PAL_BACK, 43, 10, 15, 15, SS_BLACKFRAME},
        {IDC_PAL_PEN, 1, 2, 30, 47, grey},    {IDC_PAL_STYLES, 1, 52, 30, 31, grey},
        {1005, 34, 31, 13, 7, black},         {1006, 49, 31, 13, 7, black},
        {1007, 34, 40, 13, 7, black},         {1008, 49, 40, 13, 7, black},
        {1011, 34, 49, 13, 7, black},         {1015, 49, 49, 13, 7, black},
        {1009, 34, 58, 13, 7, black},         {1010, 49, 58, 13, 7, black},
        {1012, 34, 67, 13, 7, black},         {1016, 49, 67, 13, 7, black},
        {1013, 34, 76, 13, 7, black},         {1014, 49, 76, 13, 7, black},
    };
    for (const Frame& f : frames) {
      DialogItem item;
      item.kind = DlgControl::Static;
      item.id = f.id;
      item.x = f.x, item.y = f.y, item.cx = f.w, item.cy = f.h;
      item.style = f.style;
      t.items.push_back(item);
    }
    return t;
  }();
  return tmpl;
}

namespace {

// Choice k of an area cut into `parts` equal bands: bands k and k + 1.
RECT Band(const CRect& area, int k, int parts) {
  const int h = area.Height();
  return RECT{area.left, area.top + (k * h) / parts, area.right, area.top + ((k + 2) * h) / parts};
}

}  // namespace

CPaletteBar::CPaletteBar() {
  g_style.penColor = m_crFore;
  g_style.brushColor = m_crBack;
  g_style.penWidth = 2;
  g_style.fill = 1;
  g_style.outline = 1;
}

bool CPaletteBar::Create(CWnd* parent, UINT templateId, DWORD barStyle, UINT id) {
  if (!FindDialogTemplate(templateId)) RegisterDialogTemplate(templateId, PaletteBarTemplate());
  return CDialogBar::Create(parent, templateId, barStyle, id);
}

CRect CPaletteBar::ItemRect(UINT id) const {
  const CWnd* item = GetDlgItem(id);
  if (!item) return CRect();
  RECT rc;
  item->GetWindowRect(&rc);
  POINT tl{rc.left, rc.top}, br{rc.right, rc.bottom};
  ScreenToClient(&tl);
  ScreenToClient(&br);
  return CRect(tl, br);
}

bool CPaletteBar::ShowsFillChoices() const {
  const UINT tool = m_pBoard ? m_pBoard->m_nTool : ID_TOOL_POINTER;
  return tool == ID_TOOL_RECT || tool == ID_TOOL_ROUNDRECT || tool == ID_TOOL_ELLIPSE;
}

void CPaletteBar::ComputeWidthRects() {
  const CRect area = ItemRect(IDC_PAL_PEN);
  for (int i = 0; i < 5; ++i) m_rcWidth[i] = Band(area, 2 * i + 1, 12);
}

void CPaletteBar::ComputeFillRects() {
  const CRect area = ItemRect(IDC_PAL_PEN);
  for (int i = 0; i < 3; ++i) m_rcFill[i] = Band(area, 2 * i + 1, 8);
}

void CPaletteBar::ComputeStyleRects() {
  const CRect area = ItemRect(IDC_PAL_STYLES);
  for (int i = 0; i < 4; ++i) m_rcStyle[i] = Band(area, 2 * i + 1, 10);
}

void CPaletteBar::RepaintItem(UINT id) {
  const CRect rc = ItemRect(id);
  InvalidateRect(&rc, true);
}

void CPaletteBar::AppendStyle(int kind) {
  if (m_pBoard) m_pBoard->AppendStyleRecord(kind);
}

void CPaletteBar::CommitForeColor() {
  if (m_crFore == g_style.penColor) return;
  g_style.penColor = m_crFore;
  AppendStyle(kStylePen);
}

void CPaletteBar::CommitBackColor() {
  if (m_crBack == g_style.brushColor) return;
  g_style.brushColor = m_crBack;
  AppendStyle(kStyleBrush);
}

void CPaletteBar::HighlightPenChoice(bool& choice) {
  for (bool& b : m_bStyle) b = false;
  for (bool& b : m_bWidth) b = false;
  choice = true;
  RepaintItem(IDC_PAL_PEN);
  RepaintItem(IDC_PAL_STYLES);
}

void CPaletteBar::OnLButtonDown(UINT, CPoint pt) {
  // A choice may append a style record: the board must hold the drawing.
  if (m_pBoard) m_pBoard->PrepareForCommand();
  for (int i = 0; i < kPaletteCells; ++i) {
    if (ItemRect(IDC_PAL_CELL_FIRST + i).PtInRect(pt)) {
      m_crFore = m_crCells[i];
      RepaintItem(IDC_PAL_FORE);
      CommitForeColor();
      return;
    }
  }
  if (ShowsFillChoices()) {
    ComputeFillRects();
    for (int i = 0; i < 3; ++i) {
      if (!CRect(m_rcFill[i]).PtInRect(pt)) continue;
      for (int j = 0; j < 3; ++j) m_bFill[j] = j == i;
      g_style.fill = kPaletteFillPairs[i][0];
      g_style.outline = kPaletteFillPairs[i][1];
      RepaintItem(IDC_PAL_PEN);
      // Even an unchanged pair is recorded: the appender merges it.
      AppendStyle(kStyleFill);
      return;
    }
  } else {
    ComputeWidthRects();
    for (int i = 0; i < 5; ++i) {
      if (!CRect(m_rcWidth[i]).PtInRect(pt)) continue;
      HighlightPenChoice(m_bWidth[i]);
      // The line style stays: wider pens are drawn solid whatever it is.
      if (g_style.penWidth != i + 2) {
        g_style.penWidth = i + 2;
        AppendStyle(kStylePen);
      }
      return;
    }
  }
  ComputeStyleRects();
  for (int s = 0; s < 4; ++s) {
    if (!CRect(m_rcStyle[s]).PtInRect(pt)) continue;
    HighlightPenChoice(m_bStyle[s]);
    // Patterned lines exist only one pixel wide.
    const bool changed = g_style.penWidth != 1 || g_style.penStyle != s;
    g_style.penWidth = 1;
    g_style.penStyle = s;
    if (changed) AppendStyle(kStylePen);
    return;
  }
}

void CPaletteBar::OnRButtonDown(UINT, CPoint pt) {
  if (m_pBoard) m_pBoard->PrepareForCommand();
  for (int i = 0; i < kPaletteCells; ++i) {
    if (ItemRect(IDC_PAL_CELL_FIRST + i).PtInRect(pt)) {
      m_crBack = m_crCells[i];
      break;
    }
  }
  // Anywhere in the bar: the style may have moved away from the bar's colour
  // (a replay, an undo), and a right click puts it back.
  RepaintItem(IDC_PAL_BACK);
  CommitBackColor();
}

void CPaletteBar::ChooseColorFor(COLORREF& color, void (CPaletteBar::*commit)()) {
  CColorDialog dlg(color);
  dlg.m_cc.Flags |= CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
  if (dlg.DoModal() != IDOK) return;
  color = dlg.GetColor();
  Invalidate(true);
  (this->*commit)();
}

void CPaletteBar::OnLButtonDblClk(UINT, CPoint pt) {
  if (m_pBoard) m_pBoard->PrepareForCommand();
  // The foreground swatch lies over the background one: it is tested first.
  if (ItemRect(IDC_PAL_FORE).PtInRect(pt))
    ChooseColorFor(m_crFore, &CPaletteBar::CommitForeColor);
  else if (ItemRect(IDC_PAL_BACK).PtInRect(pt))
    ChooseColorFor(m_crBack, &CPaletteBar::CommitBackColor);
}
