#pragma once
// Desktop services: top-level window lookup, machine-wide settings (in place
// of the registry) and the command channel between two instances.
#include <cstdio>
#include <string>

#include "platform/files.h"
#include "platform/types.h"

class CWnd;

namespace plat {
// Whether a top-level window titled exactly utf8Title exists (X11:
// _NET_WM_NAME or WM_NAME). False without a display.
bool FindTopLevelWindow(const std::string& utf8Title);

// Delivers command id (1..0xFFFF) to the running instance's frame on the same
// display, as a command message (the frame's SendCommand, on its thread);
// false if none runs or the id is out of range.
bool SendCommandToRunningInstance(unsigned id);
// The frame that receives commands sent by other instances (its window is
// marked for them); nullptr stops listening.
void ListenForCommands(CWnd* frame);
}  // namespace plat

// Registry, machine scope only (HKEY_LOCAL_MACHINE), backed by a system-wide
// settings store (POINTER_REGISTRY_DIR overrides its folder, for tests).
using HKEY = struct RegKey*;
extern HKEY const HKEY_LOCAL_MACHINE;
constexpr LONG ERROR_SUCCESS = 0, ERROR_ACCESS_DENIED = 5, ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_INVALID_HANDLE = 6, ERROR_INVALID_DATA = 13, ERROR_WRITE_FAULT = 29,
               ERROR_INVALID_PARAMETER = 87, ERROR_MORE_DATA = 234;
constexpr DWORD KEY_READ = 0x20019, KEY_WRITE = 0x20006, REG_SZ = 1, REG_DWORD = 4;
LONG RegOpenKeyEx(HKEY root, const std::string& subKey, DWORD options, DWORD access, HKEY* out);
LONG RegCreateKey(HKEY root, const std::string& subKey, HKEY* out);
LONG RegQueryValueEx(HKEY key, const std::string& name, DWORD* type, void* data, DWORD* size);
LONG RegSetValueEx(HKEY key, const std::string& name, DWORD type, const void* data, DWORD size);
LONG RegCloseKey(HKEY key);
