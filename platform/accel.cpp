// Keyboard accelerators: application-wide key combinations that become
// commands of their owner window, whichever of the program's windows has the
// keyboard (not while a modal dialog or a pop-up menu runs).
#include <QApplication>
#include <QKeyEvent>
#include <algorithm>

#include "platform/wnd_widget_qt.h"

namespace {
struct Table {
  CWnd* owner;
  std::vector<ACCEL> entries;
};
std::vector<Table> g_tables;
}  // namespace

void SetAccelerators(CWnd* owner, const std::vector<ACCEL>& table) {
  plat::ForgetAccelerators(owner);
  if (owner && !table.empty()) g_tables.push_back({owner, table});
}

namespace plat {

void ForgetAccelerators(CWnd* owner) {
  g_tables.erase(std::remove_if(g_tables.begin(), g_tables.end(),
                                [owner](const Table& t) { return t.owner == owner; }),
                 g_tables.end());
}

bool TranslateAccelerator(QKeyEvent* e) {
  if (g_tables.empty() || QApplication::activeModalWidget() || QApplication::activePopupWidget())
    return false;
  const int vk = VkFromQtKey(e->key());
  if (!vk) return false;
  UINT mods = 0;
  if (e->modifiers() & Qt::ControlModifier) mods |= MK_CONTROL;
  if (e->modifiers() & Qt::ShiftModifier) mods |= MK_SHIFT;
  if (e->modifiers() & Qt::AltModifier) return false;  // no table entry uses Alt
  for (const Table& t : g_tables) {
    for (const ACCEL& a : t.entries) {
      if (a.vk == vk && a.modifiers == mods) {
        CWnd* owner = t.owner;
        const UINT cmd = a.cmd;
        if (!owner->IsCreated()) return false;
        owner->SendCommand(cmd);
        return true;
      }
    }
  }
  return false;
}

}  // namespace plat
