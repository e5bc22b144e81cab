#pragma once
// Command routing: message maps of commands and of command-state updates.
#include <functional>
#include <vector>

#include "platform/types.h"

constexpr int CN_COMMAND = 0, CN_UPDATE_COMMAND_UI = -1;

// Command-state object: enable and check a user-interface element.
class CCmdUI {
 public:
  virtual ~CCmdUI() = default;
  virtual void Enable(bool on = true) { m_bEnabled = on; }
  virtual void SetCheck(int check = 1) { m_nCheck = check; }
  UINT m_nID = 0;
  bool m_bEnabled = true;
  int m_nCheck = 0;
  bool m_bHandled = false;  // set by routing when some handler took the update
};

// A message map for commands: entries registered by the class's constructor.
class CCmdTarget {
 public:
  virtual ~CCmdTarget() = default;
  // Offers a command (nCode CN_COMMAND) or a command-state update
  // (CN_UPDATE_COMMAND_UI, pCmdUI given) to this object's map; true if handled.
  virtual bool OnCmdMsg(UINT nID, int nCode, CCmdUI* pCmdUI);
  // Whether this object's own map has a command handler for nID.
  bool HasCommandHandler(UINT nID) const;

 protected:
  void OnCommand(UINT id, std::function<void()> fn);
  void OnCommandRange(UINT first, UINT last, std::function<void(UINT)> fn);
  void OnUpdateCommand(UINT id, std::function<void(CCmdUI*)> fn);
  void OnUpdateCommandRange(UINT first, UINT last, std::function<void(CCmdUI*)> fn);

 private:
  struct Entry {
    UINT first, last;
    std::function<void(UINT)> cmd;
    std::function<void(CCmdUI*)> update;
  };
  std::vector<Entry> m_map;
};
