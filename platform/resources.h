#pragma once
// The program's resources, handed to the platform as data at start-up: the
// platform has none of its own. Pictures are XPM text kept by pointer, so
// they must be static data; strings are copied.
#include <span>
#include <string>
#include <vector>

#include "platform/types.h"

namespace plat {

// A 32 x 32 cursor picture and its hot spot, for LoadCursorResource(id).
void RegisterCursor(UINT id, const char* const* xpm, int hotX, int hotY);
// A tool bar's image strip in button order, for CToolBar::LoadBitmap(id)
// and LoadToolBar(id, ...).
void RegisterToolBarImages(UINT id, std::span<const char* const* const> images);
// A string table entry in UTF-8; a command's is "status text\ntool tip".
void RegisterString(UINT id, std::string utf8);

struct CursorResource {
  const char* const* xpm = nullptr;
  int hotX = 0, hotY = 0;
};
// What was registered under id, or nullptr.
const CursorResource* FindCursorResource(UINT id);
const std::vector<const char* const*>* FindToolBarImages(UINT id);
const char* FindString(UINT id);

}  // namespace plat
