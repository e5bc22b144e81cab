// The background cycle, the background full redraws paint, and the
// transparent display switch.
#include "platform/codepage.h"
#include "tests/records/data_file_util.h"
#include "tests/support/board_fixture.h"

namespace {

constexpr COLORREF kWhite = 0xFFFFFF, kBlack = 0, kCaptured = 0xFFFFFFFF;

class Background : public BoardTest {
 protected:
  // Two lines and a text, shown and taken as the current picture.
  static void DrawSome() {
    CBoardWnd& b = Board();
    b.AppendRecord(Rec(op::kLine, 300, 200, 20, 30));
    b.AppendRecord(Rec(op::kText, 100, 100, 260, 160));
    b.m_texts.push_back(GBK("课文"));
    b.AppendRecord(Rec(op::kLine, 500, 50, 400, 300));
    b.Replay(0, b.m_nCount, false);
    b.SnapshotBoard();
  }
  void Cycle(int answer) {
    m_services.boxAnswers = {answer};
    Board().SendCommand(ID_BACKGROUND_CYCLE);
  }
  // The board and its current picture show only `colour` (or the capture).
  static bool ShowsBare(COLORREF colour) {
    const Picture shown = Snap();
    const Picture bare = MakePicture(shown.width, shown.height, [&](int x, int y) {
      return colour == kCaptured ? BackgroundAt(x, y) : colour;
    });
    return CountDifferences(shown, bare) == 0 &&
           CountDifferences(shown, Of(Board().m_bmpCurrent)) == 0;
  }
};

TEST_F(Background, WithoutRecordsFourCyclesShowWhiteBlackAndTheCaptureTwiceUnasked) {
  const COLORREF expected[4] = {kWhite, kBlack, kCaptured, kCaptured};
  for (int i = 0; i < 4; ++i) {
    Cycle(IDYES);
    EXPECT_TRUE(Board().m_nBackMode == (i + 1) % 4 && ShowsBare(expected[i]) &&
                !Frame().m_barsHidden)
        << "command " << i + 1;
  }
  EXPECT_TRUE(m_services.boxes.empty());
}

TEST_F(Background, YesDropsRecordsTextsAndStyleYetRedoBringsBackTheFirstRecordNoKeepsThem) {
  DrawSome();
  Cycle(IDYES);
  ASSERT_EQ(m_services.boxes.size(), 1u);
  const auto& box = m_services.boxes[0];
  EXPECT_EQ(std::tuple(box.text, box.caption, box.type),
            std::tuple(GBK("是否清除已有作图记录？如不清除，您仍可在新的屏幕模式下查看！"),
                       GBK("提示!"), UINT(MB_YESNO | MB_ICONQUESTION)));
  EXPECT_TRUE(Count() == 0 && Board().m_texts.empty() && ShowsBare(kWhite));
  Board().OnRedo();
  EXPECT_EQ(Count(), 1);

  // Drawing after the records are dropped starts from the style a replay of
  // them starts from; kept records keep the style they left.
  for (int answer : {IDNO, IDYES}) {
    DrawSome();
    g_style.penColor = 0x0000FF, g_style.brushColor = 0x00FF00;
    Board().AppendStyleRecord(kStylePen);
    Board().AppendStyleRecord(kStyleBrush);
    const int repaints = Frame().m_paletteRepaints;
    Cycle(answer);
    EXPECT_EQ(std::tuple(g_style.penColor, g_style.brushColor, Board().m_pen.m_color,
                         Frame().m_paletteRepaints - repaints),
              answer == IDYES
                  ? std::tuple(kBlack, kWhite, kBlack, 1)
                  : std::tuple(COLORREF(0x0000FF), COLORREF(0x00FF00), COLORREF(0x0000FF), 0));
  }
}

TEST_F(Background, NoKeepsTheRecordsForUndoAndSavingAndTheLastModeReplaysThem) {
  CBoardWnd& b = Board();
  DrawSome();
  Cycle(IDNO);
  EXPECT_TRUE(!b.m_bStart && ShowsBare(kWhite));
  TempFolder dir;
  m_services.fileAnswers = {dir / "kept.zsy"};
  b.SendCommand(ID_SAVE_DATA);
  EXPECT_EQ(ReadBytes(dir / "kept.zsy").size(), 3 * sizeof(DrawRecord));
  // The undo redraws the two records left over white.
  b.OnUndo();
  const Picture undone = Snap();  // (160, 98) is on the text box's frame
  EXPECT_EQ(std::pair(undone.At(20, 300), undone.At(160, 98)), std::pair(kWhite, kBlack));

  Cycle(IDNO);
  EXPECT_TRUE(ShowsBare(kBlack));
  Cycle(IDNO);
  EXPECT_TRUE(Count() == 2 && ShowsItsReplay());
}

// Drawing stops at 4999 records; a file may fill all 5000 slots.
TEST_F(Background, TheTransparentSwitchRecordsItsOpcodeOnlyAndIsRefusedWhenFull) {
  CBoardWnd& b = Board();
  g_records[0].f1 = 77;
  b.SendCommand(ID_TRANSPARENT);
  b.SendCommand(ID_TRANSPARENT);
  EXPECT_EQ(std::pair(Describe(0), g_records[1].op),
            std::pair(std::string("'i' 77 0 0 0"), op::kTransparentOff));
  b.m_nCount = kRecordLimit - 1;
  b.SendCommand(ID_TRANSPARENT);
  CCmdUI ui;
  b.OnCmdMsg(ID_TRANSPARENT, CN_UPDATE_COMMAND_UI, &ui);
  EXPECT_EQ(ui.m_nCheck, 1);
  for (int count : {kRecordLimit, kRecordSlots}) {
    b.m_nCount = count;
    b.SendCommand(ID_TRANSPARENT);
    // The mode stays as the records say.
    EXPECT_EQ(std::tuple(Count(), b.m_bTransparent, g_records[kRecordSlots - 1].op),
              std::tuple(count, true, op::kEmpty));
  }
}

}  // namespace
