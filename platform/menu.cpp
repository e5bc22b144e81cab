// Pop-up menus. Item states come from the owner's command-state updates
// (an item without any handler is grayed); the chosen command is posted to
// the owner, so it runs after the menu has closed.
#include <QAction>
#include <QMenu>

#include "platform/codepage.h"
#include "platform/dpi_qt.h"
#include "platform/wnd_widget_qt.h"

bool CMenu::CreatePopupMenu() {
  m_items.clear();
  m_subMenus.clear();
  return true;
}

void CMenu::AppendMenu(UINT flags, UINT id, const std::string& gbk) {
  if (flags & MF_SEPARATOR)
    m_items.push_back({0, {}, MF_SEPARATOR});
  else
    m_items.push_back({id, gbk, flags & (MF_CHECKED | MF_GRAYED)});
}

CMenu* CMenu::GetSubMenu(int pos) {
  if (pos < 0 || pos >= int(m_subMenus.size())) return nullptr;
  return &m_subMenus[size_t(pos)];
}

void CMenu::DestroyMenu() {
  m_items.clear();
  m_subMenus.clear();
}

void CMenu::UpdateItemStates(CWnd* owner) {
  for (Item& item : m_items) {
    if (item.id == 0) continue;
    CCmdUI ui;
    ui.m_nID = item.id;
    ui.m_bEnabled = !(item.flags & MF_GRAYED);
    ui.m_nCheck = (item.flags & MF_CHECKED) ? 1 : 0;
    if (owner) owner->OnCmdMsg(item.id, CN_UPDATE_COMMAND_UI, &ui);
    if (!ui.m_bHandled) ui.m_bEnabled = false;
    item.flags = (ui.m_bEnabled ? 0 : MF_GRAYED) | (ui.m_nCheck ? MF_CHECKED : 0);
  }
}

bool CMenu::TrackPopupMenu(UINT, int x, int y, CWnd* owner) {
  if (m_items.empty()) return false;
  UpdateItemStates(owner);
  QMenu menu;
  for (const Item& item : m_items) {
    if (item.id == 0) {
      menu.addSeparator();
      continue;
    }
    QAction* a = menu.addAction(QString::fromStdString(plat::Utf8FromGbk(item.text)));
    a->setData(item.id);
    a->setEnabled(!(item.flags & MF_GRAYED));
    if (item.flags & MF_CHECKED) {
      a->setCheckable(true);
      a->setChecked(true);
    }
  }
  QAction* chosen = menu.exec(plat::ToLogical(QPoint(x, y), plat::ScreenRatio()));
  if (chosen && owner) owner->PostCommand(chosen->data().toUInt());
  return true;
}
