#include <gtest/gtest.h>

#include <QImage>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "res/res.h"

namespace {

// A parsed XPM: the pixel rows as colour names ("None" for transparent).
struct Xpm {
  int width = 0, height = 0;
  std::map<std::string, std::string> colours;  // key -> colour
  std::vector<std::string> rows;
  int charsPerPixel = 1;

  std::string At(int x, int y) const {
    return colours.at(rows[y].substr(x * charsPerPixel, charsPerPixel));
  }
};

// Parses and checks the XPM's structure; failures are reported as test
// failures so every malformed line is named.
Xpm ParseXpm(const char* const* xpm, const std::string& what) {
  Xpm out;
  int ncolours = 0;
  EXPECT_EQ(
      std::sscanf(xpm[0], "%d %d %d %d", &out.width, &out.height, &ncolours, &out.charsPerPixel), 4)
      << what;
  for (int i = 0; i < ncolours; ++i) {
    const std::string line = xpm[1 + i];
    const std::string key = line.substr(0, out.charsPerPixel);
    const std::string rest = line.substr(out.charsPerPixel);
    EXPECT_EQ(rest.substr(0, 3), " c ") << what << " colour line " << i;
    const std::string value = rest.substr(3);
    const bool hex = value.size() == 7 && value[0] == '#' &&
                     value.find_first_not_of("0123456789ABCDEFabcdef", 1) == std::string::npos;
    EXPECT_TRUE(hex || value == "None") << what << ": colour " << value;
    EXPECT_TRUE(out.colours.emplace(key, value).second) << what << ": key used twice";
  }
  for (int y = 0; y < out.height; ++y) {
    const std::string row = xpm[1 + ncolours + y];
    EXPECT_EQ(static_cast<int>(row.size()), out.width * out.charsPerPixel) << what << " row " << y;
    for (size_t i = 0; i + out.charsPerPixel <= row.size(); i += out.charsPerPixel) {
      EXPECT_TRUE(out.colours.count(row.substr(i, out.charsPerPixel)))
          << what << " row " << y << " uses an undeclared colour";
    }
    out.rows.push_back(row);
  }
  return out;
}

int CountDrawn(const Xpm& x) {
  int n = 0;
  for (int y = 0; y < x.height; ++y)
    for (int i = 0; i < x.width; ++i) n += x.At(i, y) != "None";
  return n;
}

// The picture as the toolkit reads it, so a file the parser accepts but the
// platform would reject is caught too.
QImage LoadWithToolkit(const char* const* xpm) { return QImage(xpm); }

struct CursorCase {
  unsigned id;
  int hotX, hotY;
};
const CursorCase kCursorTable[] = {
    {166, 0, 0}, {178, 2, 13}, {176, 0, 0},  {165, 0, 0},  {159, 15, 15}, {240, 0, 0},
    {241, 9, 9}, {242, 9, 9},  {243, 9, 9},  {244, 0, 0},  {239, 0, 0},   {171, 10, 10},
    {246, 5, 5}, {245, 5, 5},  {184, 13, 1}, {177, 3, 29}, {247, 17, 15}, {191, 16, 15},
};

TEST(CursorResources, EveryCursorIsADistinct32By32PictureDrawnAtItsHotSpotInBlackAndWhite) {
  std::set<std::vector<std::string>> seen;
  for (const CursorCase& c : kCursorTable) {
    SCOPED_TRACE(c.id);
    int hx = -1, hy = -1;
    const char* const* xpm = res::CursorXpm(c.id, &hx, &hy);
    ASSERT_NE(xpm, nullptr);
    EXPECT_EQ(hx, c.hotX);
    EXPECT_EQ(hy, c.hotY);
    const Xpm x = ParseXpm(xpm, "cursor " + std::to_string(c.id));
    ASSERT_EQ(x.width, 32);
    ASSERT_EQ(x.height, 32);
    EXPECT_EQ(LoadWithToolkit(xpm).size(), QSize(32, 32));
    // The user sees where the tool acts.
    EXPECT_NE(x.At(hx, hy), "None");
    std::set<std::string> used;
    for (int y = 0; y < x.height; ++y)
      for (int i = 0; i < x.width; ++i) used.insert(x.At(i, y));
    // Black and white both present: the cursor stays visible on any picture.
    EXPECT_TRUE(used.count("None") && used.count("#000000") && used.count("#FFFFFF"));
    EXPECT_LE(used.size(), 4u);
    seen.insert(x.rows);
  }
  EXPECT_EQ(seen.size(), std::size(kCursorTable));
  int hx = 77, hy = 88;
  EXPECT_EQ(res::CursorXpm(0, &hx, &hy), nullptr);
  EXPECT_EQ(res::CursorXpm(167, &hx, &hy), nullptr);
  EXPECT_EQ(hx * 100 + hy, 7788) << "an unknown id leaves the hot spot alone";
}

TEST(CursorResources, TheBrushCursorIsAHollow17By12Rectangle) {
  const Xpm x = ParseXpm(res::CursorXpm(176, nullptr, nullptr), "brush");
  ASSERT_EQ(x.width, 32);
  for (int y = 0; y < 32; ++y) {
    for (int i = 0; i < 32; ++i) {
      const bool border = (i <= 16 && y <= 11) && (i == 0 || i == 16 || y == 0 || y == 11);
      EXPECT_EQ(x.At(i, y) != "None", border) << i << "," << y;
    }
  }
}

// The 16 colours of the 4-bit palette; silver is the button face, so the
// strip draws it as transparent.
const std::set<std::string> kSixteenColours = {
    "None",    "#000000", "#800000", "#008000", "#808000", "#000080", "#800080", "#008080",
    "#808080", "#FF0000", "#00FF00", "#FFFF00", "#0000FF", "#FF00FF", "#00FFFF", "#FFFFFF"};

TEST(ToolBarImages, TheStripHas24DistinctImagesOf16By15InTheSixteenColourPalette) {
  std::set<std::vector<std::string>> seen;
  for (int i = 0; i < 24; ++i) {
    SCOPED_TRACE(i);
    const char* const* xpm = res::ToolBarImageXpm(i);
    ASSERT_NE(xpm, nullptr);
    const Xpm x = ParseXpm(xpm, "tool bar image");
    EXPECT_EQ(x.width, 16);
    EXPECT_EQ(x.height, 15);
    for (const auto& [key, value] : x.colours) EXPECT_TRUE(kSixteenColours.count(value)) << value;
    EXPECT_GT(CountDrawn(x), 10);
    EXPECT_EQ(LoadWithToolkit(xpm).size(), QSize(16, 15));
    seen.insert(x.rows);
  }
  EXPECT_EQ(seen.size(), 24u);
  EXPECT_EQ(res::ToolBarImageXpm(-1), nullptr);
  EXPECT_EQ(res::ToolBarImageXpm(24), nullptr);
}

TEST(FontBarImages, BoldItalicAndUnderlineAreDrawnAndTheTwoPlacesUnderTheListsAreBlank) {
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    const char* const* xpm = res::FontBarImageXpm(i);
    ASSERT_NE(xpm, nullptr);
    const Xpm x = ParseXpm(xpm, "font bar image");
    EXPECT_EQ(x.width, 16);
    EXPECT_EQ(x.height, 15);
    if (i < 2)
      EXPECT_EQ(CountDrawn(x), 0);
    else
      EXPECT_GT(CountDrawn(x), 10);
    EXPECT_EQ(LoadWithToolkit(xpm).size(), QSize(16, 15));
  }
  EXPECT_NE(ParseXpm(res::FontBarImageXpm(2), "B").rows,
            ParseXpm(res::FontBarImageXpm(3), "I").rows);
  EXPECT_NE(ParseXpm(res::FontBarImageXpm(3), "I").rows,
            ParseXpm(res::FontBarImageXpm(4), "U").rows);
  EXPECT_EQ(res::FontBarImageXpm(5), nullptr);
  EXPECT_EQ(res::FontBarImageXpm(-1), nullptr);
}

TEST(FontBarImages, TheTrueTypeMarkIsA15By12PictureOnATransparentGround) {
  const char* const* xpm = res::TrueTypeMarkXpm();
  ASSERT_NE(xpm, nullptr);
  const Xpm x = ParseXpm(xpm, "TrueType mark");
  EXPECT_EQ(x.width, 15);
  EXPECT_EQ(x.height, 12);
  EXPECT_GT(CountDrawn(x), 20);
  EXPECT_LT(CountDrawn(x), 15 * 12);
  EXPECT_EQ(LoadWithToolkit(xpm).size(), QSize(15, 12));
}

TEST(StringTable, EveryToolBarCommandHasItsStatusTextAndToolTipSeparatedByOneLineBreak) {
  const unsigned kButtonIds[] = {32831, 32833, 32832, 32011, 32811, 32013, 32014, 32012,
                                 32001, 32002, 32003, 32004, 32005, 32006, 32007, 32008,
                                 32009, 32015, 32016, 32010, 32804, 32842, 32806, 32807};
  for (unsigned id : kButtonIds) {
    SCOPED_TRACE(id);
    const char* s = res::String(id);
    ASSERT_NE(s, nullptr);
    const std::string text = s;
    const size_t nl = text.find('\n');
    ASSERT_NE(nl, std::string::npos);
    EXPECT_GT(nl, 0u);
    EXPECT_EQ(text.find('\n', nl + 1), std::string::npos);
    // Only the magnifier's tool tip differs from its status text.
    EXPECT_EQ(text.substr(0, nl) == text.substr(nl + 1), id != 32012);
  }
  EXPECT_STREQ(res::String(32012), "放大[左点击]\n放大/缩小[左/右键]");
  EXPECT_STREQ(res::String(32832), "临时退出 [ALT+1]\n临时退出 [ALT+1]");
}

TEST(StringTable, TheFrameTitleAndThePictureFilterAreStoredExactly) {
  ASSERT_NE(res::String(128), nullptr);
  EXPECT_STREQ(res::String(128), "Corvale_Tavix");
  ASSERT_NE(res::String(61204), nullptr);
  EXPECT_STREQ(res::String(61204),
               "JPEG 格式图片文件 (*.jpg;*.jpeg)|*.jpg;* .jpeg|"
               "BMP 格式图片文件(*.bmp;*.dib)|*.bmp; *.dib||");
}

TEST(StringTable, IdsWithoutAnEntryGiveNothing) {
  // The font bar's commands have no status text or tool tip.
  for (unsigned id : {0u, 32824u, 32825u, 32826u, 32827u, 32828u, 57665u})
    EXPECT_EQ(res::String(id), nullptr) << id;
}

}  // namespace
