// The platform looks resources up by id; it learns them all here.
#include "platform/resources.h"
#include "res/res.h"
#include "res/resource.h"
#include "res/tables.h"

namespace res {

void RegisterResources() {
  for (const CursorEntry& c : Cursors()) plat::RegisterCursor(c.id, c.xpm, c.hotX, c.hotY);
  // The main frame's tool bar resource shows the main strip as well.
  plat::RegisterToolBarImages(IDB_TOOLBAR, ToolBarImages());
  plat::RegisterToolBarImages(IDR_MAINFRAME, ToolBarImages());
  plat::RegisterToolBarImages(IDR_FONTBAR, FontBarImages());
  plat::RegisterToolBarImages(IDB_FONTTYPE, FontTypeImages());
  for (const StringEntry& s : Strings()) plat::RegisterString(s.id, s.text);
}

}  // namespace res
