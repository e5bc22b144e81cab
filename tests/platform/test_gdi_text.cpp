// Text output and fonts: colours, background box, GBK text and CJK faces.
#include <functional>

#include "platform/codepage.h"
#include "platform/fonts_qt.h"
#include "tests/platform/test_gdi_util.h"

namespace {

using namespace gdi_test;

LOGFONT Font(const char* utf8Face, LONG height, LONG width = 0) {
  LOGFONT lf;
  lf.lfHeight = height, lf.lfWidth = width, lf.lfCharSet = GB2312_CHARSET;
  lf.lfFaceName = GBK(utf8Face);
  return lf;
}

// Makes the font f from lf and selects it into dc.
bool Select(CDC& dc, CFont& f, const LOGFONT& lf) {
  const bool made = f.CreateFontIndirect(&lf);
  dc.SelectObject(&f);
  return made;
}

bool Within(const RECT& r, const RECT& box) {
  return r.left >= box.left && r.top >= box.top && r.right <= box.right && r.bottom <= box.bottom;
}

// The program draws all its text transparent.
TEST(GdiText, TextTakesItsColourUnsmoothedAndChineseUsesACjkFaceOfTheAskedSize) {
  Canvas t(120, 40, kRed);
  t.dc.SetTextColor(kBlue);
  t.dc.SetBkMode(TRANSPARENT);
  const SIZE size = t.dc.GetTextExtent("Hi, 12");
  EXPECT_TRUE(t.dc.TextOut(10, 12, std::string("Hi, 12")));
  EXPECT_GT(t.Count(kBlue), 30);
  EXPECT_EQ(t.Count(kRed) + t.Count(kBlue), 120 * 40) << "no smoothed pixels";
  EXPECT_TRUE(Within(t.Extent(kRed), {10, 12, 10 + size.cx, 12 + size.cy}))
      << testing::PrintToString(t.Extent(kRed));

  Canvas d(100, 40);
  CFont font;
  ASSERT_TRUE(Select(d.dc, font, Font("宋体", 16)));
  EXPECT_NEAR(d.dc.GetTextExtent(GBK("中")).cx, 16, 1);
  TEXTMETRIC tm;
  ASSERT_TRUE(d.dc.GetTextMetrics(&tm));
  EXPECT_EQ(std::pair(tm.tmHeight, tm.tmAscent + tm.tmDescent), std::pair(16, 16));
  EXPECT_NEAR(tm.tmAveCharWidth, 8, 1);

  d.dc.SetBkMode(TRANSPARENT);
  EXPECT_TRUE(d.dc.TextOut(20, 10, GBK("中")));
  const RECT glyph = d.Extent(kWhite);
  EXPECT_TRUE(Within(glyph, {20, 10, 20 + 16, 10 + 16})) << testing::PrintToString(glyph);
  EXPECT_GE(glyph.right - glyph.left, 12) << "a full-width glyph, not a fallback box";
  EXPECT_GT(d.Count(kBlack), 40);

  CDC probe;
  CFont f9;
  Select(probe, f9, Font("宋体", 16, 9));
  EXPECT_NEAR(probe.GetTextExtent("a").cx, 9, 1);
  EXPECT_NEAR(probe.GetTextExtent(GBK("中")).cx, 18, 1);
  EXPECT_NEAR(probe.GetTextExtent("abcdefghij").cx, 90, 5);
}

TEST(GdiText, StylesChangeTheInkAndCutCharactersLongNamesAndAbsurdFontsAreHandled) {
  auto inkOf = [](const std::function<void(LOGFONT&)>& style) {
    Canvas c(120, 30);
    LOGFONT lf = Font("Arial", 20);
    style(lf);
    CFont f;
    Select(c.dc, f, lf);
    c.dc.TextOut(2, 2, "Hello");
    return c.Count(kBlack);
  };
  const int base = inkOf([](LOGFONT&) {});
  EXPECT_GT(base, 50);
  EXPECT_GT(inkOf([](LOGFONT& lf) { lf.lfWeight = FW_BOLD; }), base);
  EXPECT_GT(inkOf([](LOGFONT& lf) { lf.lfUnderline = 1; }), base);
  EXPECT_NE(inkOf([](LOGFONT& lf) { lf.lfItalic = 1; }), base);

  Canvas c(100, 40);
  c.dc.SetBkMode(TRANSPARENT);
  const std::string two = GBK("中文");
  ASSERT_EQ(two.size(), 4u);
  EXPECT_EQ(c.dc.GetTextExtent(two.substr(0, 3)).cx, c.dc.GetTextExtent(GBK("中")).cx)
      << "the cut second character is left out";
  EXPECT_TRUE(c.dc.TextOut(0, 0, two.data(), 3));
  EXPECT_TRUE(c.dc.TextOut(0, 0, two.data(), 0));
  EXPECT_TRUE(c.dc.TextOut(0, 0, "\xFF\xFF\x81", 3)) << "bytes that are no characters";
  EXPECT_EQ(plat::TextFromGbk(GBK("a😀")), QStringLiteral("a😀")) << "four-byte characters whole";

  LOGFONT longName = Font("宋体", 16);
  longName.lfFaceName = std::string(300, 'Q') + GBK("宋体");
  CFont f;
  Select(c.dc, f, longName);
  EXPECT_NEAR(c.dc.GetTextExtent(GBK("中")).cx, 16, 1) << "an unknown face: the default CJK face";

  for (const LONG h : {LONG(INT_MIN), LONG(INT_MAX), LONG(-INT_MAX), LONG(0), LONG(1)}) {
    for (const LONG w : {LONG(0), LONG(INT_MIN), LONG(INT_MAX)}) {
      LOGFONT lf = Font("宋体", h, w);
      lf.lfWeight = w;
      CFont absurd;
      Select(c.dc, absurd, lf);
      TEXTMETRIC tm;
      ASSERT_TRUE(c.dc.GetTextMetrics(&tm));
      EXPECT_TRUE(tm.tmHeight >= 1 && tm.tmHeight <= 1200)
          << h << " x " << w << ": " << tm.tmHeight;
      EXPECT_TRUE(c.dc.TextOut(INT_MAX, INT_MIN, GBK("中文")) &&
                  c.dc.TextOut(INT_MIN, INT_MAX, "abc"));
    }
  }
  c.dc.SelectObject(&f);
  EXPECT_EQ(c.Count(kWhite) + c.Count(kBlack), 100 * 40);
}

// A long line is decoded and measured only as far as the target reaches;
// what shows of it is what the whole line would show, with the background
// box of an opaque line too, from either side of the target.
TEST(GdiText, ALineCutAtTheTargetShowsWhatTheWholeLineShows) {
  std::string line;
  while (line.size() < 1500) line += GBK("勾股定理 a+b=c，");
  Canvas whole(16000, 30), narrow(300, 30);
  for (Canvas* c : {&whole, &narrow}) c->dc.SetBkColor(kGreen);
  const int end = whole.dc.GetTextExtent(line).cx;
  ASSERT_LT(end, 16000 - 300);
  whole.dc.TextOut(0, 5, line);
  for (const int from : {0, 9000, end - 150}) {  // cut on the right, on both sides, on the left
    narrow.Fill(kWhite);
    narrow.dc.TextOut(-from, 5, line);
    int differ = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 300; ++x) differ += narrow.At(x, y) != whole.At(from + x, y);
    EXPECT_EQ(differ, 0) << from;
  }
}

}  // namespace
