// The font bar strip (five 16 x 15 images) and the font name list's
// pictures (bitmap 234).
#include "res/res.h"
#include "res/tables.h"

namespace res {
namespace {

// Places 0 and 1 lie under the two lists and are never shown.
const char* const kBlank[] = {
    "16 15 1 1",        "  c None",         "                ", "                ",
    "                ", "                ", "                ", "                ",
    "                ", "                ", "                ", "                ",
    "                ", "                ", "                ", "                ",
    "                ",
};

// Bold: a heavy B.
const char* const kBold[] = {
    "16 15 2 1",        "  c None",         ". c #000000",      "                ",
    "                ", "                ", "   ........     ", "    ...  ...    ",
    "    ...  ...    ", "    ...  ...    ", "    .......     ", "    ...  ...    ",
    "    ...   ...   ", "    ...   ...   ", "    ...  ...    ", "   ........     ",
    "                ", "                ",
};

// Italic: a slanted I.
const char* const kItalic[] = {
    "16 15 2 1",        "  c None",         ". c #000000",      "                ",
    "                ", "                ", "       ......   ", "         ..     ",
    "         ..     ", "        ..      ", "        ..      ", "       ..       ",
    "       ..       ", "      ..        ", "      ..        ", "    ......      ",
    "                ", "                ",
};

// Underline: a U standing on a rule.
const char* const kUnderline[] = {
    "16 15 2 1",        "  c None",         ". c #000000",      "                ",
    "                ", "    ...  ...    ", "     .    .     ", "     .    .     ",
    "     .    .     ", "     .    .     ", "     .    .     ", "     .    .     ",
    "      .  .      ", "       ..       ", "                ", "   ..........   ",
    "                ", "                ",
};

// Printer, 15 x 12 (never shown: the list marks TrueType faces only).
const char* const kPrinter[] = {
    "15 12 3 1",       "  c None",        ". c #000000",     "# c #C0C0C0",
    "   .........   ", "   .#######.   ", "   .#######.   ", " ............. ",
    ".#############.", ".#############.", ".#############.", ".#############.",
    " ............. ", "   .#######.   ", "   .........   ", "               ",
};

// TrueType mark, 15 x 12: two overlapping letters T.
const char* const kTrueTypeMark[] = {
    "15 12 3 1",       "  c None",        ". c #000000",     "# c #808080",
    "#########      ", "#  ###  #      ", "   ###         ", "   ###.........",
    "   ###.  ...  .", "   ###   ...   ", "   ###   ...   ", "  #####  ...   ",
    "         ...   ", "         ...   ", "         ...   ", "        .....  ",
};

const char* const* const kImages[] = {kBlank, kBlank, kBold, kItalic, kUnderline};
const char* const* const kFontTypes[] = {kPrinter, kTrueTypeMark};

}  // namespace

std::span<const char* const* const> FontBarImages() { return kImages; }

const char* const* FontBarImageXpm(int index) {
  if (index < 0 || index >= static_cast<int>(sizeof kImages / sizeof kImages[0])) return nullptr;
  return kImages[index];
}

std::span<const char* const* const> FontTypeImages() { return kFontTypes; }

const char* const* FontTypeImageXpm(int index) {
  if (index < 0 || index >= static_cast<int>(sizeof kFontTypes / sizeof kFontTypes[0]))
    return nullptr;
  return kFontTypes[index];
}

}  // namespace res
