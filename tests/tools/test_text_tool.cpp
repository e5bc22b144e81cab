// The text tool on the test clock: a tick is an OnTimer(2) call, the commit's
// pause is recorded by the scripted services, and typing is the box's text.
#include <algorithm>

#include "board/text_box.h"
#include "platform/codepage.h"
#include "records/pointer_file.h"
#include "tests/tools/tools_fixture.h"

namespace {

class TextToolTest : public ToolsTest {
 protected:
  static CTextBox& Box() { return *Board().m_textBox; }
  static CRect BoxRect() {
    CRect rc;
    Box().GetWindowRect(&rc);
    return rc;
  }
  static void RightClick(CPoint p) { Board().OnRButtonUp(0, p); }
  static int Pauses(const plat::ScriptedServices& s, unsigned ms) {
    return int(std::count(s.pauses.begin(), s.pauses.end(), ms));
  }
  // Pixels of the pen colour well inside r, clear of the text's box frame.
  static int Ink(const CRect& r) {
    const Picture shot = Snap();
    int n = 0;
    for (int y = r.top + 2; y < r.bottom - 4; ++y)
      for (int x = r.left + 2; x < r.right - 4; ++x) n += shot.At(x, y) == g_style.penColor;
    return n;
  }
};

TEST_F(TextToolTest, ADragEitherWayOpensTheSameBoxAndAClickCommitsTheTextWithoutTrailingSpace) {
  UseTool(ID_TOOL_TEXT);
  Drag({100, 100}, {{200, 130}, {300, 160}}, {300, 160});
  ASSERT_TRUE(Box().IsWindowVisible());
  EXPECT_EQ(BoxRect(), CRect(100, 100, 300, 160));
  EXPECT_TRUE(Board().HasTimer(2));
  // The release committed the empty box first: nothing recorded.
  EXPECT_EQ(Count(), 0);
  EXPECT_EQ(Pauses(m_services, 500), 1);

  Click({600, 600});
  EXPECT_FALSE(Box().IsWindowVisible());
  Drag({300, 160}, {{200, 120}, {100, 100}}, {100, 100});
  ASSERT_TRUE(Box().IsWindowVisible());
  EXPECT_EQ(BoxRect(), CRect(100, 100, 300, 160));

  Box().SetWindowText("abc  \t \r\n\r\n");
  Click({600, 600});
  EXPECT_FALSE(Box().IsWindowVisible());
  EXPECT_FALSE(Board().HasTimer(2));
  EXPECT_EQ(Box().GetWindowText(), "");
  ASSERT_EQ(Count(), 1);
  EXPECT_EQ(Describe(0), Describe(Rec(op::kText, 100, 100, 300, 160)));
  EXPECT_EQ(Board().m_texts, (std::list<std::string>{"abc"}));
  EXPECT_GT(Ink(CRect(100, 100, 300, 160)), 20);
  // The band is gone and the picture is the record's replay.
  EXPECT_TRUE(ShowsItsReplay());

  // A drag of 10 pixels in one direction opens no box.
  Drag({400, 400}, {}, {410, 500});
  EXPECT_FALSE(Box().IsWindowVisible());
  Drag({400, 400}, {}, {411, 411});
  EXPECT_TRUE(Box().IsWindowVisible());
}

TEST_F(TextToolTest, ARightClickCommitsAMultiLineTextWhoseCharactersAndLinesSurviveTheSideFile) {
  UseTool(ID_TOOL_TEXT);
  Drag({100, 200}, {}, {400, 300});
  // "𠮷" lies outside GBK: it is kept in its four GB18030 bytes.
  const std::string typed = GBK("第一行 \r\n𠮷 x");
  Box().SetWindowText(typed + "\r\n ");
  const bool barsHidden = Frame().m_barsHidden;
  RightClick({700, 700});
  EXPECT_NE(Frame().m_barsHidden, barsHidden);
  ASSERT_EQ(Count(), 1);
  ASSERT_EQ(Board().m_texts, (std::list<std::string>{typed}));
  EXPECT_EQ(plat::Utf8FromGbk(typed), "第一行 \r\n𠮷 x");
  EXPECT_TRUE(ShowsItsReplay());
  EXPECT_EQ(datafile::DecodeTexts(datafile::EncodeTexts(Board().m_texts), true), Board().m_texts);
}

TEST_F(TextToolTest, TheBoxGrowsToItsLinesEachTickAlsoAfterTheToolIsLeftWhichKeepsItOpen) {
  UseTool(ID_TOOL_TEXT);
  Drag({100, 100}, {}, {300, 130});
  Box().SetWindowText("1\r\n2\r\n3\r\n4");
  UseTool(ID_TOOL_PEN);
  EXPECT_FALSE(Frame().m_fontBarShown);
  EXPECT_TRUE(Box().IsWindowVisible());
  Board().OnTimer(2);
  const int needed = 4 * (Board().m_logFont.lfHeight + 5);
  EXPECT_GE(BoxRect().Height(), needed);
  EXPECT_EQ(BoxRect().TopLeft(), CPoint(100, 100));
  // Never smaller: a box made taller by hand stays so.
  Box().MoveWindow(100, 100, 200, needed + 50);
  Board().OnTimer(2);
  EXPECT_EQ(BoxRect().Height(), needed + 50);

  // A pen stroke leaves the box and its text alone; the text tool commits it.
  Drag({500, 500}, {{520, 520}}, {540, 540});
  EXPECT_EQ(Box().GetWindowText(), "1\r\n2\r\n3\r\n4");
  UseTool(ID_TOOL_TEXT);
  const int before = Count();
  Click({700, 700});
  EXPECT_EQ(Count(), before + 1);
  EXPECT_EQ(Board().m_texts.back(), "1\r\n2\r\n3\r\n4");
}

TEST_F(TextToolTest, WithTheStoreFullACommitIsRefusedAndTheBoxKeepsItsText) {
  UseTool(ID_TOOL_TEXT);
  Board().m_nCount = kRecordLimit - 1;
  Drag({100, 100}, {}, {300, 160});
  Box().SetWindowText("abc");
  Board().m_nCount = kRecordLimit;
  m_services.pauses.clear();
  RightClick({700, 700});
  EXPECT_EQ(Count(), kRecordLimit);
  EXPECT_TRUE(Board().m_texts.empty());
  EXPECT_TRUE(Box().IsWindowVisible());
  EXPECT_EQ(Box().GetWindowText(), "abc");
  EXPECT_TRUE(Board().HasTimer(2));
  EXPECT_EQ(Pauses(m_services, 500), 0);

  // One record short of full, the same commit goes through.
  Board().m_nCount = kRecordLimit - 1;
  RightClick({700, 700});
  EXPECT_EQ(Count(), kRecordLimit);
  EXPECT_EQ(g_records[kRecordLimit - 1].op, op::kText);
  EXPECT_EQ(Board().m_texts, (std::list<std::string>{"abc"}));
  EXPECT_FALSE(Box().IsWindowVisible());
}

}  // namespace
