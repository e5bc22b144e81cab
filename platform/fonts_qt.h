#pragma once
// Fonts of the device contexts: a LOGFONT resolved to a QFont, and the
// Windows face names the program and its files use mapped to installed faces.
#include <QFont>
#include <QString>
#include <cstdint>
#include <string_view>

#include "platform/types.h"

namespace plat {

// Maps "宋体", "SimSun", "黑体", "Arial", "Courier New" ... to installed CJK
// faces (QFont substitutions). Call once the application object exists.
void InstallFontSubstitutions();

struct ResolvedFont {
  QFont font;
  std::uint64_t id = 0;  // differs between any two distinct resolutions
  int ascent = 0, descent = 0, aveCharWidth = 0, maxCharWidth = 0;
};

// The font a LOGFONT describes, sized in device pixels:
//   lfHeight > 0: cell height (ascent + descent); < 0: character height (em);
//   0: the 16-pixel default. Heights are limited to 1..1000 pixels.
//   lfWidth: average character width (an ASCII letter; a Chinese character
//   is twice as wide), 0 natural; limited to 1..1000 pixels.
//   lfWeight 0 is normal; lfItalic, lfUnderline, lfStrikeOut as given.
//   lfFaceName is GBK; an empty or unknown face gives the default CJK face.
// Text is drawn without antialiasing, as the platform's bitmap-like faces are.
ResolvedFont ResolveFont(const LOGFONT& lf);

// GBK (GB18030) bytes as text; an incomplete trailing character is left out.
QString TextFromGbk(std::string_view gbk);

// The part of a line of GBK text drawn at x that can reach columns [0, width)
// of a target, glyphs reaching at most slack beyond their advance: whole
// pieces wholly left of the target are dropped (x moves past them), and
// nothing past its right edge is decoded or measured. A line that starts on
// the target is a prefix of itself, laid out exactly as the whole line.
struct VisibleRun {
  QString text;
  std::int64_t x;
};
VisibleRun VisibleTextRun(const ResolvedFont& font, std::string_view gbk, std::int64_t x,
                          std::int64_t width, std::int64_t slack);

}  // namespace plat
