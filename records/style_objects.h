#pragma once
// Builds the board's style objects from style values. Values read from a
// damaged file are bounded here (the style keeps them as read), so a pen or
// font never asks the platform for absurd sizes.
#include <cstdint>

#include "platform/gdi.h"

// Deletes the pen and creates it anew.
void CreateStylePen(CPen& pen, std::int64_t style, std::int64_t width, COLORREF color);
// Deletes the font and creates it anew from lf.
void CreateStyleFont(CFont& font, const LOGFONT& lf);
