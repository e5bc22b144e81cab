#include "platform/resources.h"

#include <map>
#include <utility>

namespace plat {
namespace {

std::map<UINT, CursorResource>& Cursors() {
  static std::map<UINT, CursorResource> cursors;
  return cursors;
}

std::map<UINT, std::vector<const char* const*>>& ToolBarImages() {
  static std::map<UINT, std::vector<const char* const*>> strips;
  return strips;
}

std::map<UINT, std::string>& Strings() {
  static std::map<UINT, std::string> strings;
  return strings;
}

template <class Map>
const typename Map::mapped_type* Find(const Map& map, UINT id) {
  auto it = map.find(id);
  return it == map.end() ? nullptr : &it->second;
}

}  // namespace

void RegisterCursor(UINT id, const char* const* xpm, int hotX, int hotY) {
  Cursors()[id] = CursorResource{xpm, hotX, hotY};
}

void RegisterToolBarImages(UINT id, std::span<const char* const* const> images) {
  ToolBarImages()[id].assign(images.begin(), images.end());
}

void RegisterString(UINT id, std::string utf8) { Strings()[id] = std::move(utf8); }

const CursorResource* FindCursorResource(UINT id) { return Find(Cursors(), id); }

const std::vector<const char* const*>* FindToolBarImages(UINT id) {
  return Find(ToolBarImages(), id);
}

const char* FindString(UINT id) {
  const std::string* s = Find(Strings(), id);
  return s ? s->c_str() : nullptr;
}

}  // namespace plat
