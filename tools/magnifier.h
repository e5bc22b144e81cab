#pragma once
// Where the magnifier enlarges from.
#include "platform/types.h"

// The 400 x 300 part of a width x height board around a release at pt,
// moved inside the board at its edges. A board narrower or lower than that
// gives its whole width or height, so the part never leaves the picture.
CRect MagnifierSource(CPoint pt, int width, int height);
