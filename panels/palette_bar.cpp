#include "panels/palette_bar.h"

#include "platform/codepage.h"
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
        {1000, 37, 6, 15, 15, black}, {1001, 43, 10, 15, 15, SS_BLACKFRAME},
        {1004, 1, 2, 30, 47, grey},   {1003, 1, 52, 30, 31, grey},
        {1005, 34, 31, 13, 7, black}, {1006, 49, 31, 13, 7, black},
        {1007, 34, 40, 13, 7, black}, {1008, 49, 40, 13, 7, black},
        {1011, 34, 49, 13, 7, black}, {1015, 49, 49, 13, 7, black},
        {1009, 34, 58, 13, 7, black}, {1010, 49, 58, 13, 7, black},
        {1012, 34, 67, 13, 7, black}, {1016, 49, 67, 13, 7, black},
        {1013, 34, 76, 13, 7, black}, {1014, 49, 76, 13, 7, black},
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

CPaletteBar::CPaletteBar() = default;

bool CPaletteBar::Create(CWnd* parent, UINT templateId, DWORD barStyle, UINT id) {
  if (!FindDialogTemplate(templateId)) RegisterDialogTemplate(templateId, PaletteBarTemplate());
  return CDialogBar::Create(parent, templateId, barStyle, id);
}
