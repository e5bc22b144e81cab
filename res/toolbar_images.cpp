// The main tool bar strip: 24 images of 16 x 15 pixels in the 16-colour
// palette, one per button in tool bar order. Unused parts are transparent
// so the button face shows through.
#include "res/res.h"
#include "res/tables.h"

namespace res {
namespace {

// Pop-up menu: a menu with its highlighted item.
const char* const kMenuPopup[] = {
    "16 15 5 1",        "  c None",         ". c #000000",      "# c #808080",
    "w c #FFFFFF",      "B c #000080",      "                ", "  ..........    ",
    "  .wwwwwwww.#   ", "  .w......w.#   ", "  .wwwwwwww.#   ", "  .BBBBBBBB.#   ",
    "  .BwwwwwwB.#   ", "  .BBBBBBBB.#   ", "  .wwwwwwww.#   ", "  .w####www.#   ",
    "  .wwwwwwww.#   ", "  .w.....ww.#   ", "  .wwwwwwww.#   ", "  ..........#   ",
    "   ##########   ",
};

// Transparent display: a glass pane over a red block.
const char* const kTransparent[] = {
    "16 15 6 1",        "  c None",         ". c #000000",      "r c #FF0000",
    "B c #000080",      "c c #00FFFF",      "M c #800080",      "                ",
    " .........      ", " .rrrrrrr.      ", " .rrrrrrr.      ", " .rrrrrrr.      ",
    " .rrrBBBBBBBBBB ", " .rrrBMMMBccccB ", " .rrrBMMMBccccB ", " .rrrBMMMBccccB ",
    " ....BBBBBccccB ", "     BccccccccB ", "     BccccccccB ", "     BccccccccB ",
    "     BBBBBBBBBB ", "                ",
};

// Temporary exit: an open door and an arrow leaving it.
const char* const kTempExit[] = {
    "16 15 5 1",        "  c None",         ". c #000000",      "R c #800000",
    "g c #00FF00",      "Y c #808000",      " RRRRRRRR       ", " RY.....R       ",
    " RYY....R       ", " RYYYR..R .     ", " RYYYR..R ..    ", " RYY......g.    ",
    " RYY.gggggggg.  ", " RYY.ggggggggg. ", " RYY.gggggggg.  ", " RYY......g.    ",
    " RYYYR..R ..    ", " RYYYR..R .     ", " RYYYR..R       ", " RYYYR..R       ",
    " RYYYR..R       ",
};

// Standard pointer: the plain arrow.
const char* const kPointer[] = {
    "16 15 3 1",        "  c None",         ". c #000000",      "w c #FFFFFF",
    "    .           ", "    ..          ", "    .w.         ", "    .ww.        ",
    "    .www.       ", "    .wwww.      ", "    .wwwww.     ", "    .wwwwww.    ",
    "    .wwwwwww.   ", "    .wwww....   ", "    .w.ww.      ", "    .. .ww.     ",
    "    .   .ww.    ", "        .ww.    ", "         ..     ",
};

// Background cycle: white, black, last and first picture.
const char* const kBackgroundCycle[] = {
    "16 15 7 1",        "  c None",         ". c #000000",      "w c #FFFFFF",
    "r c #FF0000",      "G c #008000",      "y c #FFFF00",      "c c #00FFFF",
    "....... ....... ", ".wwwww. ....... ", ".wwwww. ....... ", ".wwwww. ....... ",
    ".wwwww. ....... ", ".wwwww. ....... ", "....... ....... ", "                ",
    "....... ....... ", ".ccccc. .ccccr. ", ".cccyc. .crcrc. ", ".ccccc. .ccrcc. ",
    ".GGGGG. .GGGGG. ", ".GGGGG. .GGGGG. ", "....... ....... ",
};

// Flashing irregular block: a highlighted blob with a marching outline.
const char* const kFlashArea[] = {
    "16 15 4 1",        "  c None",         ". c #000000",      "r c #FF0000",
    "y c #FFFF00",      "                ", "      .      r. ", "    rry.r  .ry. ",
    "   .yyyyyr.yyyr ", "  .yyyyyyyyyyyr ", "  ryyyyyyyyyy.  ", "  ryyyyyyyyyy.  ",
    " .yyyyyyyyyyyr  ", " .yyyyyyyyyyy.  ", "  ryyyyyyyyy.   ", "  ryyyyyyyyr    ",
    "   .yyyyyyyr    ", "    ..ryyy.     ", "       r..      ", "                ",
};

// Flashing rectangle block: a highlighted box with a marching outline.
const char* const kFlashRect[] = {
    "16 15 4 1",        "  c None",         ". c #000000",      "r c #FF0000",
    "y c #FFFF00",      "                ", "                ", " ..rr..rr..rr.. ",
    " .yyyyyyyyyyyyr ", " .yyyyyyyyyyyyr ", " ryyyyyyyyyyyy. ", " ryyyyyyyyyyyy. ",
    " .yyyyyyyyyyyyr ", " .yyyyyyyyyyyyr ", " ryyyyyyyyyyyy. ", " ryyyyyyyyyyyy. ",
    " .yyyyyyyyyyyyr ", " .rr..rr..rr..r ", "                ", "                ",
};

// Magnifier: a lens with a plus sign and a handle.
const char* const kMagnify[] = {
    "16 15 6 1",        "  c None",         ". c #000000",      "w c #FFFFFF",
    "R c #800000",      "c c #00FFFF",      "C c #008080",      "   .....        ",
    "  .CCCCC.       ", " .CcwwwcC.      ", ".Ccwc.cccC.     ", ".Cwcc.ccwC.     ",
    ".Cw.....wC.     ", ".Cwcc.ccwC.     ", ".Cccc.cccC.     ", " .CcwwwcC.      ",
    "  .CCCCC. R.    ", "   ..... .RR.   ", "          .RR.  ", "           .RR. ",
    "            .RR.", "             .R.",
};

// Fill: a tipped bucket pouring paint.
const char* const kFill[] = {
    "16 15 5 1",        "  c None",         ". c #000000",      "# c #808080",
    "w c #FFFFFF",      "b c #0000FF",      "         ....   ", "        .    .  ",
    "       .b.   .  ", "      .bbw.   . ", "     .bbwww.  . ", "    .bbwwwww.   ",
    " bbbbbwwwwwww.  ", " bbb.wwwwwwwww. ", " bb  .wwwwwww#  ", " bb   .wwwww#   ",
    " bb    .www#    ", " bb     .w#     ", " b       #      ", "                ",
    "                ",
};

// Area brush: a broad brush at the end of its stroke.
const char* const kBrush[] = {
    "16 15 6 1",        "  c None",         ". c #000000",      "# c #808080",
    "b c #0000FF",      "B c #000080",      "Y c #808000",      "          ...   ",
    "          .Y.   ", "          .Y.   ", "          .Y.   ", "          .Y.   ",
    "          .Y.   ", "        ....... ", "        .#####. ", "        ....... ",
    "        ....... ", "        .BBBBB. ", " bbbbbbb.BBBBB. ", "bbbbbbbb....... ",
    "bbbbbbbbbb      ", " bbbbbbbbb      ",
};

// Pen: a pencil with its point at the lower left.
const char* const kPen[] = {
    "16 15 7 1",        "  c None",         ". c #000000",      "# c #808080",
    "w c #FFFFFF",      "r c #FF0000",      "y c #FFFF00",      "Y c #808000",
    "           ..   ", "          .rr.  ", "         .rrrr. ", "        .#rr#.  ",
    "       .yy##y.  ", "      .yyyyy.   ", "     .yyyyY.    ", "    .yyyyY.     ",
    "   .wyyyY.      ", "   .wwyY.       ", "  .wwwY.        ", "  ..ww.         ",
    " ...w.          ", " ...            ", "                ",
};

// Line: a straight segment.
const char* const kLine[] = {
    "16 15 2 1",        "  c None",         ". c #000000",      "                ",
    "              . ", "             .  ", "            .   ", "           .    ",
    "          .     ", "         .      ", "       ..       ", "      .         ",
    "     .          ", "    .           ", "   .            ", "  .             ",
    " .              ", "                ",
};

// Arrow line: a segment with a head at its end.
const char* const kArrow[] = {
    "16 15 2 1",        "  c None",         ". c #000000",      "                ",
    "         ...... ", "          ..... ", "           .... ", "          . ... ",
    "         .   .. ", "        .     . ", "       .        ", "      .         ",
    "     .          ", "    .           ", "   .            ", "  .             ",
    " .              ", "                ",
};

// Polyline: connected segments with their vertices.
const char* const kPolyline[] = {
    "16 15 3 1",        "  c None",         ". c #000000",      "b c #0000FF",
    "                ", "          bbb   ", "   bbb    b.b   ", "   b.b    bbb   ",
    "   bbb    . .   ", "   . .    . .   ", "   .  .   .  .  ", "   .  .  .   .  ",
    "  .    . .   bbb", "  .    bbb   b.b", "  .    b.b   bbb", "bbb    bbb      ",
    "b.b             ", "bbb             ", "                ",
};

// Rectangle: a hollow box.
const char* const kRect[] = {
    "16 15 2 1",        "  c None",         ". c #000000",      "                ",
    "                ", " .............. ", " .            . ", " .            . ",
    " .            . ", " .            . ", " .            . ", " .            . ",
    " .            . ", " .            . ", " .            . ", " .............. ",
    "                ", "                ",
};

// Rounded rectangle: a hollow box with round corners.
const char* const kRoundRect[] = {
    "16 15 2 1",        "  c None",         ". c #000000",      "                ",
    "                ", "   ..........   ", "  .          .  ", " .            . ",
    " .            . ", " .            . ", " .            . ", " .            . ",
    " .            . ", " .            . ", "  .          .  ", "   ..........   ",
    "                ", "                ",
};

// Ellipse: a hollow ellipse.
const char* const kEllipse[] = {
    "16 15 2 1",        "  c None",         ". c #000000",      "                ",
    "     ......     ", "   ..      ..   ", "  .          .  ", " .            . ",
    ".              .", ".              .", ".              .", ".              .",
    ".              .", " .            . ", "  .          .  ", "   ..      ..   ",
    "     ......     ", "                ",
};

// Flashing mark: four crossing strokes, lit at the ends.
const char* const kFlashMark[] = {
    "16 15 3 1",        "  c None",         "r c #FF0000",      "y c #FFFF00",
    "       y        ", " y     r     y  ", "  r    r    r   ", "   r   r   r    ",
    "    r  r  r     ", "     r r r      ", "      rrr       ", "yrrrrrryrrrrrry ",
    "      rrr       ", "     r r r      ", "    r  r  r     ", "   r   r   r    ",
    "  r    r    r   ", " y     r     y  ", "       y        ",
};

// Colour picker: an eyedropper with a drop of colour.
const char* const kPickColor[] = {
    "16 15 5 1",        "  c None",         ". c #000000",      "w c #FFFFFF",
    "r c #FF0000",      "c c #00FFFF",      "           ...  ", "          ..... ",
    "         .......", "        ....... ", "          ....  ", "        .w...   ",
    "       .wcw.    ", "      .wcc.     ", "     .wcc.      ", "    .wcc.       ",
    "   .wcc.        ", "   .cc.         ", "  .rr.          ", "  .r.           ",
    "  r             ",
};

// Text input: a letter and the text caret.
const char* const kText[] = {
    "16 15 3 1",        "  c None",         ". c #000000",      "B c #000080",
    "                ", "      ..        ", "      ..        ", "     ....    BBB",
    "     . ..     B ", "    ..  ..    B ", "    .   ..    B ", "   ........   B ",
    "   .     ..   B ", "  ..     ..   B ", "  .       ..  B ", " ....    .... B ",
    "             BBB", "                ", "                ",
};

// Undo: an arrow turning back to the left.
const char* const kUndo[] = {
    "16 15 2 1",        "  c None",         "B c #000080",      "     B          ",
    "    BB          ", "   BBB          ", "  BBBB          ", " BBBBBBBBBBB    ",
    " BBBBBBBBBBBB   ", "  BBBB     BBB  ", "   BBB      BBB ", "    BB       BB ",
    "     B       BB ", "             BB ", "            BBB ", "           BBB  ",
    "    BBBBBBBBB   ", "    BBBBBBBB    ",
};

// Redo: an arrow turning forward to the right.
const char* const kRedo[] = {
    "16 15 2 1",        "  c None",         "B c #000080",      "          B     ",
    "          BB    ", "          BBB   ", "          BBBB  ", "    BBBBBBBBBBB ",
    "   BBBBBBBBBBBB ", "  BBB     BBBB  ", " BBB      BBB   ", " BB       BB    ",
    " BB       B     ", " BB             ", " BBB            ", "  BBB           ",
    "   BBBBBBBBB    ", "    BBBBBBBB    ",
};

// Clear all: a drawn sheet struck through.
const char* const kClearAll[] = {
    "16 15 5 1",        "  c None",         ". c #000000",      "# c #808080",
    "w c #FFFFFF",      "r c #FF0000",      "  .........     ", "  .wwwwwwww#    ",
    " rrwwwwwwwww.rr ", "  rrwwwwwwwwrr  ", "  .rrwwwwwwrr   ", "  .wrrrwwrrr.   ",
    "  .wwwrrrrww.   ", "  .wwwwrrwww.   ", "  .wwwrrrrww.   ", "  .wwrrwwrrw.   ",
    "  .rrrwwwwrrr   ", "  rrwwwwwwwwrr  ", " rrwwwwwwwww.rr ", "  .wwwwwwwww.   ",
    "  ...........   ",
};

// Replay: a film strip with a play sign.
const char* const kReplay[] = {
    "16 15 5 1",        "  c None",         ". c #000000",      "w c #FFFFFF",
    "g c #00FF00",      "C c #008080",      "                ", "................",
    ".ww.ww.ww.ww.ww.", "................", ".CCCCggCCCCCCCC.", ".CCCCggggCCCCCC.",
    ".CCCCgggggCCCCC.", ".CCCCgggggggCCC.", ".CCCCgggggCCCCC.", ".CCCCggggCCCCCC.",
    ".CCCCggCCCCCCCC.", "................", ".ww.ww.ww.ww.ww.", "................",
    "                ",
};

const char* const* const kImages[] = {
    kMenuPopup, kTransparent, kTempExit,  kPointer,   kBackgroundCycle,
    kFlashArea, kFlashRect,   kMagnify,   kFill,      kBrush,
    kPen,       kLine,        kArrow,     kPolyline,  kRect,
    kRoundRect, kEllipse,     kFlashMark, kPickColor, kText,
    kUndo,      kRedo,        kClearAll,  kReplay,
};

}  // namespace

std::span<const char* const* const> ToolBarImages() { return kImages; }

const char* const* ToolBarImageXpm(int index) {
  if (index < 0 || index >= static_cast<int>(sizeof kImages / sizeof kImages[0])) return nullptr;
  return kImages[index];
}

}  // namespace res
