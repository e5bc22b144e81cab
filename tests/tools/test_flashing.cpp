// The flashing marks on the test clock: a tick is an OnTimer(4) call, and
// what each tick shows is read from the board's pixels.
#include "tests/tools/tools_fixture.h"

namespace {

class FlashingTest : public ToolsTest {
 protected:
  static void Tick() { Board().OnTimer(4); }
  static bool Flashing() { return Board().HasTimer(4); }
  static COLORREF Pixel(int x, int y) { return CClientDC(&Board()).GetPixel(x, y); }
  // Whether (x, y) shows the inverse of the untouched picture.
  static bool Inverted(int x, int y) {
    return Pixel(x, y) == (~Board().m_bmpCurrent.GetPixel(x, y) & 0xFFFFFF);
  }
  static bool Untouched(int x, int y) { return Pixel(x, y) == Board().m_bmpCurrent.GetPixel(x, y); }
  // Whether the flashing stopped and the board shows its current picture
  // and nothing else.
  static ::testing::AssertionResult ShowsThePicture() {
    if (Flashing()) return ::testing::AssertionFailure() << "still flashing";
    Board().UpdateWindow();
    std::string where;
    if (CountDifferences(Snap(), Of(Board().m_bmpCurrent), &where) == 0)
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << where;
  }
};

TEST_F(FlashingTest, ARectangleSwapsInsideAndOutlineEachTickThenRepaintsAfterThirteen) {
  UseTool(ID_TOOL_FLASH_RECT);
  Drag({100, 100}, {{150, 120}, {200, 160}}, {200, 160});
  ASSERT_TRUE(Flashing() && Inverted(150, 130) && Untouched(100, 130));
  for (int tick = 1; tick <= 12; ++tick) {
    Tick();
    EXPECT_EQ(std::tuple(Inverted(150, 130), Inverted(100, 130), Flashing()),
              std::tuple(tick % 2 == 0, tick % 2 == 1, true))
        << "tick " << tick;
  }
  Tick();
  EXPECT_TRUE(ShowsThePicture());
  EXPECT_EQ(Count(), 0);

  // A double click stops it at once, and a tick after that draws nothing.
  Drag({300, 300}, {{400, 380}}, {400, 380});
  Tick();
  Board().OnLButtonDblClk(MK_LBUTTON, {400, 380});
  EXPECT_TRUE(ShowsThePicture());
  Tick();
  EXPECT_TRUE(ShowsThePicture());
}

TEST_F(FlashingTest, AnAreaFlashesItsClickedOutlineAndAPressWhileItFlashesAddsNoVertex) {
  UseTool(ID_TOOL_FLASH_AREA);
  Click({100, 100});
  Move({300, 100}, 0);
  Click({300, 100});
  Move({300, 300}, 0);
  DoubleClickAt({300, 300});
  ASSERT_TRUE(Flashing());
  const Picture started = Snap();
  Tick();
  EXPECT_TRUE(Inverted(250, 200) && Untouched(150, 250));  // inside the triangle, outside it
  Click({120, 400});
  Move({130, 500}, 0);
  Tick();
  EXPECT_EQ(CountDifferences(started, Snap()), 0);
  for (int tick = 3; tick <= 12; ++tick) Tick();
  EXPECT_TRUE(Flashing());
  Tick();
  EXPECT_TRUE(ShowsThePicture());
}

// Each click adds its press and its release point; the double click's
// first click brings the total to exactly 50 after 24 clicks, and one
// click more leaves no room for the double click's point.
TEST_F(FlashingTest, TheAreaTakesFiftyVerticesAndNoneAfterThem) {
  for (int clicks : {24, 25}) {
    SCOPED_TRACE(clicks);
    SetUp();
    UseTool(ID_TOOL_FLASH_AREA);
    Click({100, 100});
    for (int i = 1; i < clicks; ++i) Click({300, 100});
    DoubleClickAt({200, 300});
    Tick();
    EXPECT_EQ(Inverted(200, 200), clicks == 24);
    UseTool(ID_TOOL_PEN);
  }
}

TEST_F(FlashingTest, AMarkBlinksTwelveTicksAndASecondReleaseMovesIt) {
  UseTool(ID_TOOL_FLASH_MARK);
  Press({300, 200});
  Release({300, 200});
  EXPECT_TRUE(Inverted(300, 195) && Inverted(295, 200));
  Tick();
  EXPECT_TRUE(Untouched(300, 195));
  Tick();
  EXPECT_TRUE(Inverted(300, 195));
  // The first mark shows: the second release erases it.
  Release({500, 300});
  EXPECT_TRUE(Untouched(300, 195) && Inverted(500, 295));
  // Within its first second as well.
  Release({600, 400});
  EXPECT_TRUE(Untouched(500, 295) && Inverted(600, 395));
  for (int tick = 1; tick <= 11; ++tick) Tick();
  EXPECT_TRUE(Flashing() && Untouched(600, 395));
  Tick();
  EXPECT_TRUE(ShowsThePicture());

  // A right click stops a flashing and toggles the bars as ever.
  Release({300, 200});
  const bool barsHidden = Frame().m_barsHidden;
  Board().OnRButtonUp(0, {300, 200});
  EXPECT_EQ(Frame().m_barsHidden, !barsHidden);
  EXPECT_TRUE(ShowsThePicture());
}

// Whatever a flashing tool shows, in any phase, goes with the tool.
TEST_F(FlashingTest, AToolChangeOrARedoLeavesNothingInverted) {
  for (int ticks : {0, 1, 2}) {
    for (UINT tool : {ID_TOOL_FLASH_RECT, ID_TOOL_FLASH_MARK, ID_TOOL_FLASH_AREA}) {
      SCOPED_TRACE(testing::Message() << tool << " after " << ticks << " ticks");
      UseTool(tool);
      Drag({100, 100}, {{220, 180}}, {220, 180});
      if (tool == ID_TOOL_FLASH_AREA) DoubleClickAt({100, 250});
      for (int i = 0; i < ticks; ++i) Tick();
      UseTool(ID_TOOL_PEN);
      Tick();
      EXPECT_TRUE(ShowsThePicture());
    }
  }
  // An area still being clicked leaves no band behind either.
  UseTool(ID_TOOL_FLASH_AREA);
  Click({100, 100});
  Move({250, 300}, 0);
  UseTool(ID_TOOL_LINE);
  EXPECT_TRUE(ShowsThePicture());

  // A redo while a mark shows keeps the mark out of the picture.
  Drag({10, 300}, {{200, 300}}, {200, 300});
  Board().OnUndo();
  const COLORREF under = Board().m_bmpCurrent.GetPixel(400, 195);
  UseTool(ID_TOOL_FLASH_MARK);
  Click({400, 200});
  ASSERT_TRUE(Inverted(400, 195));
  Board().OnRedo();
  EXPECT_EQ(std::pair(Count(), Board().m_bmpCurrent.GetPixel(400, 195)), std::pair(1, under));
}

}  // namespace
