#pragma once
// The main tool bar: a tool bar that wraps its entries into rows.
#include "platform/controls.h"

class CToolBarEx : public CToolBar {
 public:
  CToolBarEx();
  // Ends a row after every n-th entry (separators count).
  void SetEntriesPerRow(UINT n);
  // The palette bar floats with its caption over the tool bar's bottom
  // strip, so the bar keeps that strip free of buttons.
  SIZE CalcFixedLayout() override;
  static constexpr int kPaletteOverlap = 17;
  int m_entriesPerRow = 7;
};
