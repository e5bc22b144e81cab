#pragma once
// Font enumeration in the platform's terms: the installed faces, each once
// per character set it covers.
#include <functional>

#include "platform/types.h"

class CDC;

constexpr DWORD RASTER_FONTTYPE = 0x1, DEVICE_FONTTYPE = 0x2, TRUETYPE_FONTTYPE = 0x4;
constexpr BYTE SHIFTJIS_CHARSET = 128, HANGUL_CHARSET = 129, CHINESEBIG5_CHARSET = 136,
               GREEK_CHARSET = 161, RUSSIAN_CHARSET = 204;

// Called with a logical font of one face (lfFaceName in GBK, characters
// outside GBK as GB18030; lfCharSet) and its font type; 0 stops.
using FONTENUMPROC = std::function<int(const LOGFONT& lf, DWORD fontType)>;

// With lf's character set DEFAULT_CHARSET and an empty face name: every
// face in every character set it covers; otherwise only the faces and sets
// lf names. Faces that also write vertically (Chinese, Japanese, Korean)
// come with their "@" twin, and the Chinese Windows faces ("宋体", "黑体"
// ...) are listed where an installed face stands in for them. Returns the
// last value proc returned (1 when it was never called).
int EnumFontFamiliesEx(CDC* dc, const LOGFONT* lf, const FONTENUMPROC& proc, DWORD flags);
