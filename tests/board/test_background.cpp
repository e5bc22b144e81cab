// The background cycle, the background every full redraw paints, and the
// transparent display switch with its records.
#include "platform/codepage.h"
#include "tests/records/data_file_util.h"
#include "tests/support/board_fixture.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);

class Background : public BoardTest {
 protected:
  // Two lines and a text, drawn and taken as the current picture.
  static void DrawSome() {
    CBoardWnd& b = Board();
    b.AppendRecord(Rec(op::kLine, 300, 200, 20, 30));
    b.AppendRecord(Rec(op::kText, 100, 100, 260, 160));
    b.m_texts.push_back(GBK("课文"));
    b.AppendRecord(Rec(op::kLine, 500, 50, 400, 300));
    b.Replay(0, b.m_nCount, false);
    b.SnapshotBoard();
    Frame().m_barsHidden = false;
  }
  void Cycle(int answer) {
    m_services.boxAnswers = {answer};
    Board().SendCommand(ID_BACKGROUND_CYCLE);
  }
  // Every pixel of the board is `colour`, or the captured background when
  // kCaptured; the current picture agrees.
  static bool ShowsBare(COLORREF colour) {
    const Picture shown = Snap();
    const Picture bare = MakePicture(shown.width, shown.height, [&](int x, int y) {
      return colour == kCaptured ? BackgroundAt(x, y) : colour;
    });
    return CountDifferences(shown, bare) == 0 &&
           CountDifferences(shown, Of(Board().m_bmpCurrent)) == 0;
  }
  static CCmdUI Update(UINT id) {
    CCmdUI ui;
    ui.m_nID = id;
    EXPECT_TRUE(Board().OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui));
    return ui;
  }
  static constexpr COLORREF kCaptured = 0xFFFFFFFF;
};

TEST_F(Background, EveryModePaintsItsBackgroundUnderAFullRedrawWhateverTheRecords) {
  CBoardWnd& b = Board();
  DrawSome();
  const COLORREF expected[4] = {kCaptured, kWhite, kBlack, kCaptured};
  for (int mode = 0; mode < 4; ++mode) {
    b.m_nBackMode = mode;
    b.ShowBackground();
    const Picture shown = Snap();
    const Picture bare = MakePicture(shown.width, shown.height, [&](int x, int y) {
      return expected[mode] == kCaptured ? BackgroundAt(x, y) : expected[mode];
    });
    EXPECT_EQ(CountDifferences(shown, bare), 0) << "mode " << mode;
  }
  // Afterwards a repaint shows the drawing again.
  b.Invalidate(true);
  b.UpdateWindow();
  EXPECT_EQ(CountDifferences(Snap(), Of(b.m_bmpCurrent)), 0);
}

TEST_F(Background, WithoutRecordsFourCyclesShowWhiteBlackAndTheCapturedScreenTwiceUnasked) {
  CBoardWnd& b = Board();
  const COLORREF expected[4] = {kWhite, kBlack, kCaptured, kCaptured};
  for (int i = 0; i < 4; ++i) {
    Cycle(IDYES);
    EXPECT_EQ(b.m_nBackMode, (i + 1) % 4);
    EXPECT_TRUE(ShowsBare(expected[i])) << "command " << i + 1;
    EXPECT_FALSE(Frame().m_barsHidden);
  }
  EXPECT_TRUE(m_services.boxes.empty());
  EXPECT_TRUE(b.m_bStart);
}

TEST_F(Background, YesDropsTheRecordsAndTextsButRedoBringsBackTheFirstRecord) {
  CBoardWnd& b = Board();
  DrawSome();
  Cycle(IDYES);
  ASSERT_EQ(m_services.boxes.size(), 1u);
  EXPECT_EQ(plat::Utf8FromGbk(m_services.boxes[0].text),
            "是否清除已有作图记录？如不清除，您仍可在新的屏幕模式下查看！");
  EXPECT_EQ(plat::Utf8FromGbk(m_services.boxes[0].caption), "提示!");
  EXPECT_EQ(m_services.boxes[0].type, UINT(MB_YESNO | MB_ICONQUESTION));
  EXPECT_EQ(Count(), 0);
  EXPECT_TRUE(b.m_texts.empty());
  EXPECT_TRUE(ShowsBare(kWhite));
  EXPECT_TRUE(b.m_bStart);
  EXPECT_FALSE(Update(ID_UNDO).m_bEnabled);

  ASSERT_TRUE(Update(ID_REDO).m_bEnabled);
  b.OnRedo();
  EXPECT_EQ(Count(), 1);
  EXPECT_EQ(Describe(0), "'*' 300 200 20 30");
}

TEST_F(Background, NoKeepsTheRecordsSavedAndTheLastPictureModeReplaysThem) {
  CBoardWnd& b = Board();
  DrawSome();
  Cycle(IDNO);
  EXPECT_EQ(Count(), 3);
  EXPECT_FALSE(b.m_bStart);
  EXPECT_TRUE(ShowsBare(kWhite));
  // The bare board stays so when repainted: the picture is the white one.
  b.Invalidate(true);
  b.UpdateWindow();
  EXPECT_TRUE(ShowsBare(kWhite));

  TempFolder dir;
  m_services.fileAnswers = {dir / "kept.zsy"};
  b.SendCommand(ID_SAVE_DATA);
  EXPECT_EQ(ReadBytes(dir / "kept.zsy").size(), 3 * sizeof(DrawRecord));

  Cycle(IDNO);
  EXPECT_TRUE(ShowsBare(kBlack));
  EXPECT_FALSE(b.m_bStart);
  Cycle(IDNO);
  EXPECT_EQ(b.m_nBackMode, 3);
  EXPECT_EQ(Count(), 3);
  EXPECT_TRUE(ShowsItsReplay());
  EXPECT_EQ(CountDifferences(Snap(), Of(b.m_bmpCurrent)), 0);
  EXPECT_FALSE(Frame().m_barsHidden);
}

TEST_F(Background, AnUndoAfterNoRedrawsTheRemainingRecordsOverTheWhiteBoard) {
  CBoardWnd& b = Board();
  DrawSome();
  Cycle(IDNO);
  b.OnUndo();
  ASSERT_EQ(Count(), 2);
  const Picture shown = Snap();
  // White beside the drawing; the text box's frame is drawn.
  EXPECT_EQ(shown.At(20, 300), kWhite);
  EXPECT_EQ(shown.At(160, 98), kBlack);
  b.m_nBackMode = 1;
  b.ShowBackground();
  b.Replay(0, Count(), false);
  EXPECT_EQ(CountDifferences(shown, Snap()), 0);
}

TEST_F(Background, TheTransparentSwitchRecordsItselfChecksItsButtonAndDrawsNothing) {
  CBoardWnd& b = Board();
  DrawSome();
  const Picture before = Snap();
  g_records[3].f1 = 77;
  b.SendCommand(ID_TRANSPARENT);
  EXPECT_TRUE(b.m_bTransparent);
  EXPECT_EQ(g_records[3].op, op::kTransparentOn);
  EXPECT_EQ(g_records[3].f1, 77) << "only the opcode is written";
  CCmdUI on = Update(ID_TRANSPARENT);
  EXPECT_EQ(on.m_nCheck, 1);
  EXPECT_TRUE(on.m_bEnabled);
  b.SendCommand(ID_TRANSPARENT);
  EXPECT_FALSE(b.m_bTransparent);
  EXPECT_EQ(g_records[4].op, op::kTransparentOff);
  EXPECT_EQ(Update(ID_TRANSPARENT).m_nCheck, 0);
  EXPECT_EQ(Count(), 5);
  EXPECT_EQ(CountDifferences(before, Snap()), 0);
  EXPECT_TRUE(Update(ID_BACKGROUND_CYCLE).m_bEnabled);
}

// Drawing stops at 4999 records; a file may fill all 5000 slots.
TEST_F(Background, TheTransparentSwitchIsRefusedWhenTheStoreCannotRecordIt) {
  CBoardWnd& b = Board();
  b.m_nCount = kRecordLimit - 1;
  b.OnTransparent();
  EXPECT_EQ(Count(), kRecordLimit);
  EXPECT_EQ(g_records[kRecordLimit - 1].op, op::kTransparentOn);
  EXPECT_TRUE(b.m_bTransparent);

  for (int count : {kRecordLimit, kRecordSlots}) {
    b.m_nCount = count;
    b.OnTransparent();
    EXPECT_EQ(Count(), count);
    EXPECT_TRUE(b.m_bTransparent) << "the mode stays as the records say";
    EXPECT_EQ(g_records[kRecordSlots - 1].op, op::kEmpty);
  }
}

}  // namespace
