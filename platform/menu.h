#pragma once
// Pop-up menus.
#include <string>
#include <vector>

#include "platform/types.h"

class CWnd;

constexpr UINT MF_STRING = 0, MF_SEPARATOR = 0x800, MF_CHECKED = 0x8, MF_GRAYED = 0x1;
constexpr UINT TPM_LEFTALIGN = 0, TPM_RIGHTBUTTON = 0x2;

class CMenu {
 public:
  struct Item {
    UINT id;           // 0: separator
    std::string text;  // GBK
    UINT flags = 0;    // MF_GRAYED / MF_CHECKED, refreshed by UpdateItemStates
  };
  bool CreatePopupMenu();
  void AppendMenu(UINT flags, UINT id = 0, const std::string& gbk = {});
  CMenu* GetSubMenu(int pos);
  // Runs the menu modally at (x, y); the chosen command goes to owner. Item
  // states come from the owner's command-state updates first.
  bool TrackPopupMenu(UINT flags, int x, int y, CWnd* owner);
  void DestroyMenu();
  // Asks owner's command-state updates for every item (an item without a
  // handler is grayed); TrackPopupMenu does this before showing.
  void UpdateItemStates(CWnd* owner);
  const std::vector<Item>& Items() const { return m_items; }
  std::vector<CMenu> m_subMenus;

 private:
  std::vector<Item> m_items;
};
