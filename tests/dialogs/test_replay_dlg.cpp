// The replay dialog on the test clock: ticks are OnTimer calls, pauses and
// pointer moves are recorded, and the board is compared with a plain replay.
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSlider>
#include <functional>
#include <utility>

#include "dialogs/replay_dlg.h"
#include "platform/app.h"
#include "platform/codepage.h"
#include "records/pointer_file.h"
#include "records/replay_timeline.h"
#include "tests/support/board_fixture.h"
#include "tests/support/temp_folder.h"

namespace {

class ReplayDlgTest : public BoardTest {
 protected:
  void TearDown() override {
    if (CBoardReview* open = Board().m_pReplayDlg) open->CloseReview();
    plat::ProcessEvents();
    Board().m_nReplayDelay = kNormalReplayDelayMs;  // the speed outlives a review
    BoardTest::TearDown();
  }
  // Shapes, a pen stroke and style changes; the ellipse is in transparent
  // display, so drawing it twice would invert it back.
  CReplayDlg& DrawAndOpen() {
    for (const DrawRecord& r :
         {Rec(op::kLine, 300, 150, 100, 100), Rec(op::kPen, 0, 0, PS_SOLID, 3),
          Rec(op::kPenSegment, 420, 120, 400, 100), Rec(op::kTransparentOn, 0, 0, 0, 0),
          Rec(op::kEllipse, 600, 300, 480, 180), Rec(op::kTransparentOff, 0, 0, 0, 0),
          Rec(op::kRect, 260, 330, 120, 200), Rec(op::kLine, 760, 560, 650, 80)})
      EXPECT_TRUE(Board().AppendRecord(r));
    g_records[1].f5 = RGB(200, 0, 0);
    ReplayedPicture();
    Board().SnapshotBoard();
    Frame().m_barsHidden = false;
    m_drawing = Snap();
    g_style.penColor = RGB(0, 0, 255);
    Board().m_logFont.lfHeight = 30;
    m_services.pointer = POINT{50, 60};
    OnReplay(Board());
    return *static_cast<CReplayDlg*>(Board().m_pReplayDlg);
  }
  // Slider and position at n, the board showing records [0, n).
  static bool Shows(CReplayDlg& dlg, int n, int drawn = -1) {
    const Picture live = Snap();
    const int count = std::exchange(Board().m_nCount, drawn < 0 ? n : drawn);
    const Picture expected = ReplayedPicture();
    Board().m_nCount = count;
    return dlg.m_position == n && dlg.m_slider->GetPos() == n &&
           CountDifferences(live, expected) == 0;
  }
  // A lesson whose steps end at 2 (a font and its text), 5 (a pen stroke of
  // three segments), 8 (a pen change and a stroke), 9 (a rectangle) and 12
  // (two brush dabs and a trailing brush change).
  CReplayDlg& OpenLesson() {
    for (const DrawRecord& r :
         {Rec(op::kFont, 0, 0, 24, 0), Rec(op::kText, 100, 100, 300, 160),
          Rec(op::kPenSegment, 220, 220, 200, 200), Rec(op::kPenSegment, 240, 230, 220, 220),
          Rec(op::kPenSegment, 260, 260, 240, 230), Rec(op::kPen, 0, 0, PS_SOLID, 3),
          Rec(op::kPenSegment, 420, 420, 400, 400), Rec(op::kPenSegment, 440, 400, 420, 420),
          Rec(op::kRect, 600, 500, 500, 400), Rec(op::kBrushDab, 50, 600, 0, 0),
          Rec(op::kBrushDab, 60, 600, 0, 0), Rec(op::kBrush, 0, 0, 0, 0)})
      EXPECT_TRUE(Board().AppendRecord(r));
    g_records[5].f5 = RGB(200, 0, 0);
    g_records[11].f5 = RGB(0, 160, 0);
    Board().m_texts = {GBK("宋体"), "step"};
    m_services.pointer = POINT{50, 60};
    OnReplay(Board());
    return *static_cast<CReplayDlg*>(Board().m_pReplayDlg);
  }
  // Each key pressed once; the positions after each press.
  static std::vector<int> Walk(CReplayDlg& dlg, const std::vector<Qt::Key>& keys) {
    std::vector<int> at;
    for (Qt::Key k : keys) {
      Key(dlg, k);
      EXPECT_TRUE(Shows(dlg, dlg.m_position)) << "after key " << k;
      at.push_back(dlg.m_position);
    }
    return at;
  }
  // As the window system delivers a press: on the stack, often at the
  // address of the one before, with the loop run in between.
  static void Key(CReplayDlg& dlg, Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    // To the slider itself, which holds the focus.
    QApplication::sendEvent(dlg.m_slider->GetWidget()->findChild<QSlider*>(), &press);
    plat::ProcessEvents();
  }
  bool PointerBack() const { return m_services.pointer.x == 50 && m_services.pointer.y == 60; }
  static bool Gone(QPointer<QWidget> window) {
    for (int i = 0; i < 50 && window; ++i) plat::ProcessEvents(10), plat::ProcessEvents();
    return !window && Board().m_pReplayDlg == nullptr;
  }
  Picture m_drawing;
};

TEST_F(ReplayDlgTest, OpensOnTheBareBackgroundInTheDefaultStyleAndClosingBringsAllBack) {
  CBoardWnd& board = Board();
  InstallReplayCommand(board);
  CCmdUI ui;
  ASSERT_TRUE(board.OnCmdMsg(ID_REPLAY, CN_UPDATE_COMMAND_UI, &ui));
  EXPECT_FALSE(ui.m_bEnabled) << "no records to review";
  CReplayDlg& dlg = DrawAndOpen();
  EXPECT_EQ(std::pair(g_style.penColor, Frame().m_barsHidden), std::pair(0x000000u, true));
  EXPECT_TRUE(Shows(dlg, 0));
  QMenuBar* bar = dlg.GetWidget()->findChild<QMenuBar*>();
  QStringList items;
  for (QAction* a : bar->actions())
    if (bar->actionGeometry(a).right() < bar->width()) items << a->text();
  EXPECT_EQ(items, QStringList({"到记录首", "开始播放", "到记录尾", "速度", " 关闭 "}));
  OnReplay(board);
  EXPECT_EQ(g_styleSaved.penColor, RGB(0, 0, 255)) << "a second review saved its own style";

  dlg.GetWidget()->findChild<QSlider*>()->setValue(5);
  QPointer<QWidget> window = dlg.GetWidget();
  dlg.SendCommand(ID_REPLAY_CLOSE);
  ASSERT_TRUE(Gone(window));
  EXPECT_EQ(std::pair(g_style.penColor, board.m_logFont.lfHeight),
            std::pair(RGB(0, 0, 255), LONG(30)));
}

TEST_F(ReplayDlgTest, PlaysARecordPerTickAnimatedPausesOnEscAndRewindsAtTheEnd) {
  CReplayDlg& dlg = DrawAndOpen();
  dlg.SendCommand(ID_REPLAY_PLAY);
  dlg.OnTimer(1);
  EXPECT_EQ(m_services.pauses, std::vector<unsigned>({2000, 1000}));
  EXPECT_TRUE(m_services.pointerMoves.at(0).x == 100 && Shows(dlg, 1));
  dlg.OnTimer(1);
  Key(dlg, Qt::Key_Escape);
  EXPECT_TRUE(!dlg.IsPlaying() && PointerBack() && Shows(dlg, 2));
  // Paused, neither Esc nor Enter moves the pointer or ends the dialog.
  m_services.pointer = POINT{70, 80};
  Key(dlg, Qt::Key_Escape), Key(dlg, Qt::Key_Return);
  EXPECT_TRUE(m_services.pointer.x == 70 && dlg.IsWindowVisible());

  m_services.pointer = POINT{50, 60};
  dlg.OnPlay();
  dlg.OnTimer(1);
  Key(dlg, Qt::Key_Escape);
  EXPECT_FALSE(dlg.IsPlaying()) << "a second Esc is a press of its own";
  dlg.OnPlay();
  for (int played = 4; played <= 8; ++played) {
    ASSERT_TRUE(dlg.IsPlaying());
    dlg.OnTimer(1);
    ASSERT_TRUE(Shows(dlg, played));
  }
  EXPECT_TRUE(!dlg.IsPlaying() && PointerBack());
  EXPECT_EQ(m_services.pauses.size(), 8u) << "four shapes, two pauses each";
  dlg.OnPlay();
  EXPECT_TRUE(!dlg.IsPlaying() && Shows(dlg, 0)) << "play at the end rewinds";
}

TEST_F(ReplayDlgTest, PlayingFollowsTheTimelineTheAnimatedExportDraws) {
  CReplayDlg& dlg = DrawAndOpen();
  // At a speed other than the normal one, so that the tick and the pauses
  // are both the speed's.
  dlg.SendCommand(ID_REPLAY_SPEED_4X);
  const std::vector<ReplayStep> timeline = PlayTimeline(g_records, Board().m_nCount, 500);
  EXPECT_EQ(timeline.front().atMs, dlg.PlayInterval());
  std::vector<UINT> tools;
  dlg.SendCommand(ID_REPLAY_PLAY);
  while (dlg.IsPlaying()) {
    dlg.OnTimer(1);
    tools.push_back(Board().m_nTool);
  }
  // The export's moves, its waits inside each record, and the tool shown
  // after each record.
  std::vector<POINT> moves;
  std::vector<unsigned> pauses;
  std::vector<UINT> shown;
  UINT tool = Board().m_nTool;
  for (std::size_t i = 0; i < timeline.size(); ++i) {
    const ReplayStep& s = timeline[i];
    if (s.kind == ReplayStep::kMove) moves.push_back(s.pointer);
    if (s.kind == ReplayStep::kTool) tool = s.tool;
    if (i > 0 && timeline[i - 1].record == s.record && s.atMs > timeline[i - 1].atMs)
      pauses.push_back(unsigned(s.atMs - timeline[i - 1].atMs));
    if (s.kind == ReplayStep::kEnd) shown.push_back(tool);
  }
  ASSERT_FALSE(m_services.pointerMoves.empty());
  m_services.pointerMoves.pop_back();  // back where play was pressed
  EXPECT_EQ(std::tuple(m_services.pointerMoves, m_services.pauses, tools),
            std::tuple(moves, pauses, shown));
  EXPECT_TRUE(Shows(dlg, Board().m_nCount));
}

TEST_F(ReplayDlgTest, JumpsAndTheSliderDrawExactlyTheRecordsBeforeTheNewPosition) {
  CReplayDlg& dlg = DrawAndOpen();
  QSlider* slider = dlg.GetWidget()->findChild<QSlider*>();
  for (int to : {3, 5, 7, 2}) {
    slider->setValue(to);
    EXPECT_TRUE(Shows(dlg, to)) << to;
  }
  dlg.OnPlay();
  dlg.OnTimer(1);
  dlg.SendCommand(ID_REPLAY_TO_START);
  EXPECT_TRUE(Shows(dlg, 0));
  dlg.OnTimer(1);
  EXPECT_TRUE(Shows(dlg, 1)) << "a play goes on from the first record";
  dlg.OnPlay();  // pressed again while the pointer is on the line
  slider->setValue(6);
  dlg.SendCommand(ID_REPLAY_TO_END);
  EXPECT_TRUE(Shows(dlg, 8));
  const std::size_t pauses = m_services.pauses.size();
  dlg.OnTimer(1);
  EXPECT_TRUE(!dlg.IsPlaying() && PointerBack() && m_services.pauses.size() == pauses);
}

TEST_F(ReplayDlgTest, TheCloseBoxDuringAPlayStopsItAndTheSliderFillsAResizedDialog) {
  CReplayDlg& dlg = DrawAndOpen();
  dlg.MoveWindow(0, 0, 420, 130);
  RECT client, slider;
  dlg.GetClientRect(&client);
  dlg.m_slider->GetWindowRect(&slider);
  EXPECT_EQ(std::pair(slider.right - slider.left, slider.bottom - slider.top),
            std::pair(client.right, client.bottom));

  dlg.OnPlay();
  dlg.OnTimer(1);
  QPointer<QWidget> window = dlg.GetWidget();
  window->close();
  ASSERT_TRUE(Gone(window));
  const std::size_t moves = m_services.pointerMoves.size();
  plat::ProcessEvents(60);
  EXPECT_TRUE(PointerBack() && m_services.pointerMoves.size() == moves &&
              CountDifferences(m_drawing, Snap()) == 0);
}

// Each command of the board during a review, answered so that it changes
// nothing itself (but undo), and 0 for a pen drag on the board: the review
// is closed first, with the style, the tool, the pointer and the bars of
// before; the drag whose press closed it draws nothing.
TEST_F(ReplayDlgTest, EveryCommandOfTheBoardAndAPressCloseTheReviewFirst) {
  CBoardWnd& board = Board();
  for (UINT id : {ID_OPEN_DATA, ID_SAVE_DATA, ID_CLEAR_ALL, ID_TEMP_EXIT, ID_TOOL_RECT, ID_START,
                  ID_REDO, ID_UNDO, 0u}) {
    SCOPED_TRACE(id);
    board.m_nTool = ID_TOOL_PEN;
    CReplayDlg& dlg = DrawAndOpen();
    dlg.OnPlay();
    dlg.OnTimer(1);  // the animation shows the line tool
    m_services.boxAnswers = {IDCANCEL};
    CCmdUI ui;
    board.OnCmdMsg(ID_UNDO, CN_UPDATE_COMMAND_UI, &ui);
    board.OnCmdMsg(ID_MENU_POPUP, CN_COMMAND, nullptr);  // not the board's
    ASSERT_EQ(board.m_pReplayDlg, &dlg) << "a state update or a foreign command closed it";
    QPointer<QWidget> window = dlg.GetWidget();
    id ? void(board.OnCmdMsg(id, CN_COMMAND, nullptr)) : Drag({500, 500}, {{550, 550}}, {560, 560});
    EXPECT_TRUE(Gone(window) && PointerBack() && !Frame().m_barsHidden);
    EXPECT_EQ(std::pair(board.m_nTool, Count()),
              std::pair(id == ID_TOOL_RECT ? ID_TOOL_RECT : ID_TOOL_PEN, id == ID_UNDO ? 7 : 8));
    EXPECT_TRUE(id == ID_UNDO || g_style.penColor == RGB(0, 0, 255));
    EXPECT_TRUE(ShowsItsReplay());
    SetUp();  // a fresh board for the next command
  }
}

TEST_F(ReplayDlgTest, TheSliderFollowsTheStoreAndNoStepDrawsARecordPastIt) {
  CReplayDlg& dlg = DrawAndOpen();
  QSlider* slider = dlg.GetWidget()->findChild<QSlider*>();
  const std::function<void()> steps[] = {[&] { dlg.OnPlay(), dlg.OnTimer(1); },
                                         [&] { dlg.OnToEnd(); }, [&] { slider->setValue(7); }};
  for (const auto& step : steps) {
    Board().m_nCount = 8;
    dlg.OnToStart();
    slider->setValue(2);
    Board().m_nCount = 3;  // the store shrank under the review
    step();
    // Record 2, the only one left to draw, is a pen segment: no pauses.
    EXPECT_TRUE(Shows(dlg, 3) && dlg.m_slider->GetRangeMax() == 3 && m_services.pauses.empty());
  }
  Board().m_nCount = 8;
}

// A reset keeps the style's width while the pen in force is 2 wide, and the
// review plays with transparent display off: the lines drawn after it must
// still look as their replay will.
TEST_F(ReplayDlgTest, ClosingBringsBackThePenInForceAndTransparentDisplayAsTheRecordsLeftThem) {
  g_style.penWidth = 6;
  Board().ResetStyle(false);
  Board().SendCommand(ID_TRANSPARENT);
  OnReplay(Board());
  ASSERT_NE(Board().m_pReplayDlg, nullptr);
  EXPECT_FALSE(Board().m_bTransparent);
  Board().m_pReplayDlg->CloseReview();
  plat::ProcessEvents();
  EXPECT_EQ(std::tuple(Board().m_pen.m_width, g_style.penWidth, Board().m_bTransparent),
            std::tuple(2, 6, true));
}

}  // namespace

TEST_F(ReplayDlgTest, StepKeysWalkWholeGesturesAgreeWithTheSliderAndBringBackABlankedDrawing) {
  CReplayDlg& dlg = OpenLesson();
  using Q = Qt::Key;
  EXPECT_EQ(Walk(dlg, {Q::Key_PageDown, Q::Key_Right, Q::Key_Space, Q::Key_PageDown,
                       Q::Key_PageDown, Q::Key_PageDown}),
            std::vector<int>({2, 5, 8, 9, 12, 12}));
  EXPECT_EQ(Walk(dlg, {Q::Key_PageUp, Q::Key_Left, Q::Key_PageUp, Q::Key_PageUp, Q::Key_PageUp,
                       Q::Key_Left}),
            std::vector<int>({9, 8, 5, 2, 0, 0}));
  EXPECT_TRUE(m_services.pauses.empty() && m_services.pointerMoves.empty()) << "not animated";

  // From inside a stroke the slider was dragged to: its end, or the end of
  // the step before.
  QSlider* slider = dlg.GetWidget()->findChild<QSlider*>();
  slider->setValue(4);
  EXPECT_EQ(Walk(dlg, {Q::Key_PageDown}), std::vector<int>({5}));
  slider->setValue(3);
  EXPECT_EQ(Walk(dlg, {Q::Key_PageUp}), std::vector<int>({2}));
  slider->setValue(7);
  EXPECT_EQ(Walk(dlg, {Q::Key_Down, Q::Key_Up}), std::vector<int>({6, 7})) << "records one by one";

  // A step during a play stops it, puts the pointer back and completes the
  // gesture the play was in.
  dlg.OnToStart();
  dlg.OnPlay();
  dlg.OnTimer(1);
  EXPECT_EQ(Walk(dlg, {Q::Key_PageDown}), std::vector<int>({2}));
  EXPECT_TRUE(!dlg.IsPlaying() && PointerBack());

  // With the pointer on the board, the keys reach the review through it.
  Board().OnKeyDown(VK_NEXT, 1, 0);
  EXPECT_TRUE(Shows(dlg, 5));
  Board().OnKeyDown(VK_PRIOR, 1, 0);
  EXPECT_TRUE(Shows(dlg, 2));

  // The blank key shows the bare background and the next key brings the
  // drawing back.
  slider->setValue(5);
  Key(dlg, Qt::Key_B);
  EXPECT_TRUE(dlg.IsBlank() && Shows(dlg, 5, 0));
  Key(dlg, Qt::Key_Period);
  EXPECT_TRUE(!dlg.IsBlank() && Shows(dlg, 5));
  // A step key first only brings the drawing back, as after a blank slide.
  Key(dlg, Qt::Key_B), Key(dlg, Qt::Key_PageDown);
  EXPECT_TRUE(Shows(dlg, 5));
  Key(dlg, Qt::Key_PageDown);
  EXPECT_TRUE(Shows(dlg, 8));
  // The slider and play draw on the whole drawing again, not on the blank.
  Key(dlg, Qt::Key_B);
  slider->setValue(9);
  EXPECT_TRUE(!dlg.IsBlank() && Shows(dlg, 9));
  Key(dlg, Qt::Key_B);
  dlg.OnPlay();
  dlg.OnTimer(1);
  EXPECT_TRUE(Shows(dlg, 10));
}

TEST_F(ReplayDlgTest, TheSpeedMenuScalesTheTickAndThePausesAndShowsTheChoiceChecked) {
  CReplayDlg& dlg = DrawAndOpen();
  QMenu* speeds = nullptr;
  for (QAction* a : dlg.GetWidget()->findChild<QMenuBar*>()->actions())
    if (a->menu() && a->text() == "速度") speeds = a->menu();
  ASSERT_NE(speeds, nullptr);
  auto checked = [&] {
    emit speeds->aboutToShow();
    QStringList on;
    for (QAction* a : speeds->actions())
      if (a->isChecked()) on << a->text();
    return on;
  };
  EXPECT_EQ(checked(), QStringList({"1 倍"}));
  EXPECT_EQ(speeds->actions().size(), 4);
  // The open drop-down keeps its keys: no step is taken.
  QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
  QApplication::sendEvent(speeds, &right);
  EXPECT_EQ(dlg.m_position, 0);
  const struct {
    int entry;
    const char* label;
    UINT interval;
    std::vector<unsigned> pauses;
  } speedsWanted[] = {
      {3, "4 倍", 5, {500, 250}}, {0, "0.5 倍", 40, {4000, 2000}}, {1, "1 倍", 20, {2000, 1000}}};
  for (const auto& want : speedsWanted) {
    SCOPED_TRACE(want.label);
    speeds->actions().at(want.entry)->trigger();
    EXPECT_EQ(checked(), QStringList({want.label}));
    dlg.OnToStart();
    m_services.pauses.clear();
    dlg.OnPlay();
    dlg.OnTimer(1);  // the line
    EXPECT_EQ(std::pair(dlg.PlayInterval(), m_services.pauses),
              std::pair(want.interval, want.pauses));
    dlg.Pause();
  }
}

// The command line's lesson: opened as the open command does, walked from
// the bare background; a file that cannot be opened is said so and leaves
// the board as it started, and an empty one has nothing to review.
TEST_F(ReplayDlgTest, ALessonFromTheCommandLineOpensInTheReviewAtItsBareBackground) {
  TempFolder folder("pointer-step");
  const DrawRecord lesson[] = {Rec(op::kLine, 300, 150, 100, 100),
                               Rec(op::kRect, 260, 330, 120, 200)};
  for (int n : {2, 0})
    ASSERT_EQ(datafile::SavePointerData(folder / (n ? "two.zsy" : "empty.zsy"), lesson, n, {}),
              datafile::SaveStatus::kSaved);

  EXPECT_FALSE(OpenLessonInSteps(Board(), folder / "missing.zsy"));
  ASSERT_EQ(m_services.boxes.size(), 1u);
  EXPECT_EQ(m_services.boxes[0].text.rfind(GBK("文件不存在或打不开！"), 0), 0u);
  EXPECT_TRUE(Board().m_pReplayDlg == nullptr && Count() == 0);

  EXPECT_TRUE(OpenLessonInSteps(Board(), folder / "empty.zsy") && !Board().m_pReplayDlg);

  ASSERT_TRUE(OpenLessonInSteps(Board(), folder / "two.zsy") && Board().m_pReplayDlg);
  CReplayDlg& dlg = *static_cast<CReplayDlg*>(Board().m_pReplayDlg);
  EXPECT_TRUE(Shows(dlg, 0) && Count() == 2 && Frame().m_barsHidden);
  Key(dlg, Qt::Key_PageDown);
  EXPECT_TRUE(Shows(dlg, 1));
}
