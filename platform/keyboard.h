#pragma once
// Keyboard state, accelerators and the global hot key.
#include <vector>

#include "platform/types.h"

class CWnd;

// Current keyboard state at the time of the message being handled (high bit
// set when down, as on the platform).
short GetKeyState(int vk);

// Keyboard accelerators of a top-level window, translated for keyboard input
// to any of the program's windows.
struct ACCEL {
  UINT modifiers;  // MK_CONTROL / MK_SHIFT
  int vk;          // 'O', 'S', 'Z', VK_F12 ...
  UINT cmd;
};
void SetAccelerators(CWnd* owner, const std::vector<ACCEL>& table);

// Global hot key (Alt+1 only is asked for); the owner gets OnHotKey.
constexpr UINT MOD_ALT = 0x1, MOD_CONTROL = 0x2, MOD_SHIFT = 0x4;
bool RegisterHotKey(CWnd* owner, int id, UINT modifiers, UINT vk);
bool UnregisterHotKey(CWnd* owner, int id);
