// The text tool on the test clock: a tick is an OnTimer(2) call, the commit's
// pause is recorded by the scripted services, and typing is the box's text.
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
  static void RightClick() { Board().OnRButtonUp(0, {700, 700}); }
};

TEST_F(TextToolTest, ADragEitherWayOpensTheBoxAndAReleaseOrARightClickCommitsTheTrimmedText) {
  UseTool(ID_TOOL_TEXT);
  Drag({300, 160}, {{200, 120}}, {100, 100});
  ASSERT_TRUE(Box().IsWindowVisible());
  EXPECT_EQ(std::pair(BoxRect(), Count()), std::pair(CRect(100, 100, 300, 160), 0));
  Box().SetWindowText("abc  \t \r\n\r\n");
  Drag({100, 100}, {{200, 130}}, {300, 160});  // commits, then opens the same box
  EXPECT_EQ(std::tuple(BoxRect(), m_services.pauses, Count(), Describe(0)),
            std::tuple(CRect(100, 100, 300, 160), std::vector<unsigned>{500, 500}, 1,
                       Describe(Rec(op::kText, 100, 100, 300, 160))));

  // "𠮷" lies outside GBK: it keeps its four GB18030 bytes, and the lines
  // stay one entry of the side file.
  const std::string typed = GBK("第一行 \r\n𠮷 x");
  Box().SetWindowText(typed + "\r\n ");
  RightClick();
  EXPECT_FALSE(Box().IsWindowVisible() || Board().HasTimer(2));
  ASSERT_EQ(Board().m_texts, (std::list<std::string>{"abc", typed}));
  EXPECT_EQ(plat::Utf8FromGbk(Board().m_texts.back()), "第一行 \r\n𠮷 x");
  EXPECT_EQ(datafile::DecodeTexts(datafile::EncodeTexts(Board().m_texts), true), Board().m_texts);
  EXPECT_TRUE(ShowsItsReplay());  // the band is gone and both texts are drawn

  Drag({400, 400}, {}, {410, 500});  // 10 pixels wide: no box
  EXPECT_FALSE(Box().IsWindowVisible());
}

TEST_F(TextToolTest, TheBoxGrowsToItsLinesEachTickAndStaysOpenWhenTheToolIsLeft) {
  UseTool(ID_TOOL_TEXT);
  Drag({100, 100}, {}, {300, 130});
  Box().SetWindowText("1\r\n2\r\n3\r\n4");
  UseTool(ID_TOOL_PEN);
  Board().OnTimer(2);
  EXPECT_TRUE(Box().IsWindowVisible());
  EXPECT_EQ(BoxRect(), CRect(100, 100, 300, 100 + 4 * (Board().m_logFont.lfHeight + 5)));
  Box().MoveWindow(100, 100, 200, 200);  // made taller by hand, it stays so
  Board().OnTimer(2);
  EXPECT_EQ(BoxRect().Height(), 200);
  UseTool(ID_TOOL_TEXT);
  RightClick();
  EXPECT_EQ(Board().m_texts, (std::list<std::string>{"1\r\n2\r\n3\r\n4"}));
}

TEST_F(TextToolTest, WithTheStoreFullACommitIsRefusedAndTheBoxKeepsItsText) {
  UseTool(ID_TOOL_TEXT);
  Board().m_nCount = kRecordLimit - 1;
  Drag({100, 100}, {}, {300, 160});
  Box().SetWindowText("abc");
  Board().m_nCount = kRecordLimit;
  RightClick();
  EXPECT_TRUE(Board().m_texts.empty() && Box().IsWindowVisible() && Board().HasTimer(2) &&
              Box().GetWindowText() == "abc");

  Board().m_nCount = kRecordLimit - 1;
  RightClick();
  EXPECT_EQ(std::tuple(Count(), g_records[kRecordLimit - 1].op, Board().m_texts),
            std::tuple(kRecordLimit, op::kText, std::list<std::string>{"abc"}));
}

}  // namespace
