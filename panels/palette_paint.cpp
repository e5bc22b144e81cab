// The palette's picture: swatches and colour cells, the width or fill
// samples of the pen area and the line-style samples, each chosen one on
// the highlight colour.
#include "panels/palette_bar.h"
#include "records/draw_record.h"

void CPaletteBar::ShowStyleInForce() {
  m_crFore = g_style.penColor;
  m_crBack = g_style.brushColor;
  // A width click keeps the line style, a style click sets width 1: the
  // width tells which of the nine was chosen last. A width or style that no
  // choice gives (only from a file) lights none.
  for (int i = 0; i < 5; ++i) m_bWidth[i] = g_style.penWidth == i + 2;
  for (int s = 0; s < 4; ++s) m_bStyle[s] = g_style.penWidth == 1 && g_style.penStyle == s;
  for (int i = 0; i < 3; ++i) {
    m_bFill[i] =
        g_style.fill == kPaletteFillPairs[i][0] && g_style.outline == kPaletteFillPairs[i][1];
  }
}

void CPaletteBar::OnPaint() {
  ShowStyleInForce();
  CPaintDC dc(this);
  CBrush fore(m_crFore), back(m_crBack), highlight(kPaletteHighlight), white(0xFFFFFF);
  CBrush cells[kPaletteCells];
  for (int i = 0; i < kPaletteCells; ++i) cells[i].CreateSolidBrush(m_crCells[i]);

  // The background swatch's frame is hidden: it is only this filled area,
  // partly under the foreground swatch. The frames of the others are their
  // own controls.
  const CRect backRc = ItemRect(IDC_PAL_BACK), foreRc = ItemRect(IDC_PAL_FORE);
  dc.FillRect(&backRc, &back);
  dc.FillRect(&foreRc, &fore);
  for (int i = 0; i < kPaletteCells; ++i) {
    const CRect rc = ItemRect(IDC_PAL_CELL_FIRST + i);
    dc.FillRect(&rc, &cells[i]);
  }

  const CRect pen = ItemRect(IDC_PAL_PEN);
  const int penH = pen.Height();
  if (!ShowsFillChoices()) {
    ComputeWidthRects();
    for (int i = 0; i < 5; ++i)
      if (m_bWidth[i]) dc.FillRect(&m_rcWidth[i], &highlight);
    for (int k = 1; k <= 5; ++k) {
      CPen line(PS_SOLID, k + 1, 0x000000);
      CSelectScope<CPen> select(dc, &line);
      const int y = pen.top + (k * penH) / 6;
      dc.MoveTo(pen.left + 5, y);
      dc.LineTo(pen.right - 6, y);
    }
  } else {
    ComputeFillRects();
    for (int i = 0; i < 3; ++i)
      if (m_bFill[i]) dc.FillRect(&m_rcFill[i], &highlight);
    CPen outline(PS_SOLID, 1, 0x000000), noPen;
    noPen.CreateStockObject(NULL_PEN);
    CBrush hollow;
    hollow.CreateStockObject(NULL_BRUSH);
    struct Sample {
      CPen* pen;
      CBrush* brush;
    };
    const Sample samples[3] = {{&outline, &hollow}, {&outline, &white}, {&noPen, &white}};
    for (int i = 0; i < 3; ++i) {
      const int k = 2 * i + 1;
      CSelectScope<CPen> selectPen(dc, samples[i].pen);
      CSelectScope<CBrush> selectBrush(dc, samples[i].brush);
      dc.Rectangle(pen.left + 7, pen.top + (k * penH) / 8 + 3, pen.right - 7,
                   pen.top + ((k + 2) * penH) / 8 - 3);
    }
  }

  const CRect styles = ItemRect(IDC_PAL_STYLES);
  ComputeStyleRects();
  for (int i = 0; i < 4; ++i)
    if (m_bStyle[i]) dc.FillRect(&m_rcStyle[i], &highlight);
  const int penStyles[4] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT};
  for (int k = 1; k <= 4; ++k) {
    CPen line(penStyles[k - 1], 1, 0x000000);
    CSelectScope<CPen> select(dc, &line);
    const int y = styles.top + (k * styles.Height()) / 5;
    dc.MoveTo(styles.left + 5, y);
    dc.LineTo(styles.right - 5, y);
  }
}
