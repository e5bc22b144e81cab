#pragma once
// Inside res: the whole tables, which RegisterResources hands to the platform.
#include <span>

namespace res {

struct CursorEntry {
  unsigned id;
  int hotX, hotY;
  const char* const* xpm;
};
std::span<const CursorEntry> Cursors();

struct StringEntry {
  unsigned id;
  const char* text;
};
std::span<const StringEntry> Strings();

std::span<const char* const* const> ToolBarImages();
std::span<const char* const* const> FontBarImages();
std::span<const char* const* const> FontTypeImages();

}  // namespace res
