// Undo, redo, clear all, temporary exit, tool selection and their command
// states. Steps are drawn as a gesture leaves them: the record appended,
// drawn from its record and the picture taken.
#include <tuple>

#include "platform/app.h"
#include "platform/codepage.h"
#include "tests/support/board_fixture.h"

namespace {

class BoardCommandsTest : public BoardTest {
 protected:
  static void Draw(const DrawRecord& r) {
    CBoardWnd& board = Board();
    ASSERT_TRUE(board.AppendRecord(r));
    board.Replay(board.m_nCount - 1, board.m_nCount, false);
    board.SnapshotBoard();
  }
  static void Line(int y) { Draw(Rec(op::kLine, 100, y, 10, y)); }

  static CCmdUI Update(UINT id) {
    CCmdUI ui;
    ui.m_nID = id;
    EXPECT_TRUE(Board().OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui));
    return ui;
  }
  static bool Enabled(UINT id) { return Update(id).m_bEnabled; }
  static bool Checked(UINT id) { return Update(id).m_nCheck != 0; }
  // Whether undo, redo and clear all are offered.
  static auto Offered() {
    return std::tuple(Enabled(ID_UNDO), Enabled(ID_REDO), Enabled(ID_CLEAR_ALL));
  }
};

TEST_F(BoardCommandsTest, RedoAfterANewStepBringsBackTheOlderUndoneStep) {
  CBoardWnd& board = Board();
  for (int y : {10, 20, 30}) Line(y);
  board.OnUndo();
  board.OnUndo();
  ASSERT_EQ(Count(), 1);
  Line(40);
  ASSERT_TRUE(Enabled(ID_REDO));
  board.OnRedo();
  EXPECT_EQ(std::pair(Count(), Describe(2)), std::pair(3, std::string("'*' 100 30 10 30")));
}

TEST_F(BoardCommandsTest, UndoOfATextOrFontRecordDropsItsTextButAPenRecordStaysForRedo) {
  CBoardWnd& board = Board();
  g_style.faceName = GBK("宋体");
  board.AppendStyleRecord(kStyleFont);
  board.AppendRecord(Rec(op::kText, 10, 10, 200, 60));
  board.m_texts.push_back(GBK("课文"));
  board.OnUndo();
  EXPECT_EQ(std::pair(g_records[1].op, board.m_texts.size()), std::pair(op::kEmpty, 1ul));
  board.OnUndo();
  EXPECT_EQ(std::pair(g_records[0].op, board.m_texts.size()), std::pair(op::kEmpty, 0ul));

  g_style.penColor = 0x00FF00;
  board.AppendStyleRecord(kStylePen);
  board.OnUndo();
  EXPECT_EQ(std::pair(board.m_pen.m_color, Enabled(ID_REDO)), std::pair(0x000000u, true));
}

TEST_F(BoardCommandsTest, CommandStatesFollowTheStoreAndRedoIsRefusedWhereItCannotWork) {
  CBoardWnd& board = Board();
  EXPECT_EQ(Offered(), std::tuple(false, false, false));
  // As after an open of a shorter file: an old text record lies at the count,
  // its text entry gone.
  g_records[0] = Rec(op::kText, 10, 10, 100, 40);
  g_records[1] = Rec(op::kFont, 0, 0, 21, 0);
  EXPECT_FALSE(Enabled(ID_REDO));
  board.OnRedo();
  ASSERT_EQ(Count(), 0);
  board.m_nCount = 1;
  EXPECT_FALSE(Enabled(ID_REDO));

  board.m_nCount = 0;
  board.AppendRecord(Rec(op::kLine, 1, 1, 5, 5));
  EXPECT_EQ(Offered(), std::tuple(true, false, true));
  // At the drawing limit redo would do nothing, so it is not offered.
  g_records[kRecordLimit] = Rec(op::kLine, 1, 1, 5, 5);
  board.m_nCount = kRecordLimit;
  EXPECT_FALSE(Enabled(ID_REDO));
  board.m_nCount = kRecordLimit - 1;
  g_records[kRecordLimit - 1] = Rec(op::kLine, 1, 1, 5, 5);
  EXPECT_TRUE(Enabled(ID_REDO));

  // Undo at a full file steps back into the store.
  for (int i = 0; i < kRecordSlots; ++i) g_records[i] = Rec(op::kLine, 5, 5 + i % 50, 1, 1);
  board.m_nCount = kRecordSlots;
  board.OnUndo();
  EXPECT_EQ(std::pair(Count(), g_records[kRecordLimit].op), std::pair(kRecordLimit, op::kLine));
}

TEST_F(BoardCommandsTest, ClearAllWithOkEmptiesEverySlotAndCancelKeepsRecordsAndBars) {
  CBoardWnd& board = Board();
  Line(10);
  for (bool hidden : {false, true}) {
    Frame().m_barsHidden = hidden;
    m_services.boxAnswers.push_back(IDCANCEL);
    board.OnClearAll();
    EXPECT_EQ(std::pair(Count(), Frame().m_barsHidden), std::pair(1, hidden));
  }
  Frame().m_barsHidden = false;  // the command is chosen from the shown tool bar
  board.OnUndo();
  m_services.boxAnswers.push_back(IDOK);
  board.OnClearAll();
  ASSERT_EQ(m_services.boxes.size(), 3u);
  EXPECT_EQ(std::pair(m_services.boxes[2].text, m_services.boxes[2].type & 0xF),
            std::pair(GBK("删除所有的作图记录？"), UINT(MB_OKCANCEL)));
  // Redo is not offered as every slot is empty.
  EXPECT_EQ(std::tuple(Count(), board.m_texts.empty(), Frame().m_barsHidden, Enabled(ID_REDO)),
            std::tuple(0, true, false, false));
  std::string where;
  EXPECT_EQ(CountDifferences(Snap(), Of(board.m_bmpCaptured), &where), 0) << where;
  EXPECT_EQ(CountDifferences(Of(board.m_bmpCurrent), Of(board.m_bmpCaptured), &where), 0) << where;
}

TEST_F(BoardCommandsTest, TemporaryExitAsksFirstAndTakesEveryBarAlong) {
  CBoardWnd& board = Board();
  Line(10);
  Frame().m_barsHidden = false;  // the command is chosen from the shown tool bar
  m_services.boxAnswers = {IDCANCEL, IDYES};
  board.OnTempExit();
  EXPECT_EQ(std::tuple(Frame().IsWindowVisible(), Frame().m_barsHidden, Frame().m_tempExits),
            std::tuple(true, false, 0));

  Frame().m_fontBarShown = true;
  board.OnTempExit();
  ASSERT_EQ(m_services.boxes.size(), 2u);
  EXPECT_EQ(std::pair(m_services.boxes[1].text, m_services.boxes[1].type & 0xF),
            std::pair(GBK("是否保存当前画面，以待激活时重现？"), UINT(MB_YESNOCANCEL)));
  EXPECT_EQ(std::pair(Frame().m_tempExits, Count()), std::pair(1, 1));
  EXPECT_TRUE(Frame().m_barsShownAtExit) << "told before the bars are hidden";
  // The floating bars do not stay behind over the desktop.
  EXPECT_EQ(std::pair(Frame().m_barsHidden, Frame().m_fontBarShown), std::pair(true, false));
}

// The desktop the board is hidden from: offscreen, a screen capture is the
// picture of a screen-sized window.
class CDesktopStandIn : public CWnd {
 public:
  bool OnEraseBkgnd(CDC* pDC) override {
    const CRect all(0, 0, 8192, 8192);
    pDC->FillSolidRect(&all, RGB(10, 90, 200));
    return true;
  }
};

TEST_F(BoardCommandsTest, AFreshCaptureShowsTheScreenWithTheBarsAndUndoRedrawsTheRestOverIt) {
  CBoardWnd& board = Board();
  g_style.penColor = 0x00FFFF;
  board.AppendStyleRecord(kStylePen);
  Draw(Rec(op::kLine, 200, 100, 10, 10));
  Draw(Rec(op::kRect, 300, 260, 50, 150));
  Frame().ShowWindow(SW_HIDE);
  Frame().m_barsHidden = true;
  CDesktopStandIn desktop;
  const CRect all(0, 0, board.m_rcDesktop.right, board.m_rcDesktop.bottom);
  ASSERT_TRUE(desktop.CreateEx(0, WS_POPUP | WS_VISIBLE, std::string(), nullptr, all, 0));
  plat::ProcessEvents(50);
  board.CaptureScreen();
  desktop.DestroyWindow();
  EXPECT_EQ(std::tuple(Count(), Frame().IsWindowVisible(), Frame().m_barsHidden),
            std::tuple(3, true, false));
  const Picture screen = Of(board.m_bmpCaptured);
  EXPECT_EQ(screen.At(20, 20), RGB(10, 90, 200));
  std::string where;
  EXPECT_EQ(CountDifferences(screen, Snap(), &where), 0) << where;
  EXPECT_EQ(CountDifferences(screen, Of(board.m_bmpCurrent), &where), 0) << where;

  // Undo draws the remaining records over the fresh capture.
  board.OnUndo();
  EXPECT_EQ(CountDifferences(Snap(), Of(board.m_bmpCurrent), &where), 0) << where;
  EXPECT_TRUE(ShowsItsReplay());
  EXPECT_EQ(std::pair(board.m_bRedrawing, Frame().m_barsHidden), std::pair(false, false))
      << "the bars are shown again after the redraw hid them";
}

TEST_F(BoardCommandsTest, ExactlyTheCurrentToolsButtonIsCheckedAndStartFlips) {
  CBoardWnd& board = Board();
  for (UINT id : {ID_TOOL_PEN, ID_TOOL_FILL, ID_TOOL_ELLIPSE, ID_TOOL_POINTER}) {
    board.SendCommand(id);
    ASSERT_EQ(board.m_nTool, id);
    for (UINT other = ID_TOOL_FILL; other <= ID_TOOL_PICKCOLOR; ++other)
      EXPECT_EQ(Checked(other), other == id) << other;
  }
  board.m_bStart = true;
  for (bool expected : {false, true}) {
    board.SendCommand(ID_START);
    EXPECT_EQ(std::pair(Enabled(ID_START), Checked(ID_START)), std::pair(true, expected));
  }
}

HCURSOR ShownCursor() {
  const HCURSOR shown = ::SetCursor(nullptr);
  ::SetCursor(shown);
  return shown;
}

TEST_F(BoardCommandsTest, EveryMoveShowsTheCursorOfTheToolOrOfAFullStore) {
  CBoardWnd& board = Board();
  UseTool(ID_TOOL_LINE);
  board.OnMouseMove(0, {10, 10});
  EXPECT_TRUE(ShownCursor() && ShownCursor() == LoadCursorResource(IDC_LINE));
  for (int full : {kRecordLimit, -1}) {  // a damaged negative count is as full
    board.m_nCount = full;
    board.OnMouseMove(0, {11, 10});
    EXPECT_EQ(ShownCursor(), LoadCursorResource(IDC_FULL));
  }
}

}  // namespace
