#pragma once
// The mouse pointer and the cursor shown over the program's windows.
#include "platform/types.h"

using HCURSOR = const struct CursorData*;

bool SetCursorPos(int x, int y);
bool GetCursorPos(POINT* p);
HCURSOR SetCursor(HCURSOR cursor);
// The cursor the program registered as id (plat::RegisterCursor), nullptr when none.
HCURSOR LoadCursorResource(UINT id);
