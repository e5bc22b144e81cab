// Command maps: the first entry registered for an id takes its command or
// its state update.
#include "platform/cmdtarget.h"

#include <utility>

bool CCmdTarget::OnCmdMsg(UINT nID, int nCode, CCmdUI* pCmdUI) {
  if (nCode == CN_COMMAND) {
    for (const Entry& e : m_map) {
      if (nID >= e.first && nID <= e.last && e.cmd) {
        e.cmd(nID);
        return true;
      }
    }
    return false;
  }
  if (nCode != CN_UPDATE_COMMAND_UI || !pCmdUI) return false;
  for (const Entry& e : m_map) {
    if (nID >= e.first && nID <= e.last && e.update) {
      pCmdUI->m_nID = nID;
      e.update(pCmdUI);
      pCmdUI->m_bHandled = true;
      return true;
    }
  }
  // A command handler without a state handler: the element is enabled.
  for (const Entry& e : m_map) {
    if (nID >= e.first && nID <= e.last && e.cmd) {
      pCmdUI->Enable(true);
      pCmdUI->m_bHandled = true;
      return true;
    }
  }
  return false;
}

bool CCmdTarget::HasCommandHandler(UINT nID) const {
  for (const Entry& e : m_map)
    if (nID >= e.first && nID <= e.last && e.cmd) return true;
  return false;
}

void CCmdTarget::OnCommand(UINT id, std::function<void()> fn) {
  m_map.push_back({id, id, [fn = std::move(fn)](UINT) { fn(); }, nullptr});
}

void CCmdTarget::OnCommandRange(UINT first, UINT last, std::function<void(UINT)> fn) {
  m_map.push_back({first, last, std::move(fn), nullptr});
}

void CCmdTarget::OnUpdateCommand(UINT id, std::function<void(CCmdUI*)> fn) {
  m_map.push_back({id, id, nullptr, std::move(fn)});
}

void CCmdTarget::OnUpdateCommandRange(UINT first, UINT last, std::function<void(CCmdUI*)> fn) {
  m_map.push_back({first, last, nullptr, std::move(fn)});
}
