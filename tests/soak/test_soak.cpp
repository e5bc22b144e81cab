// Random gestures, palette and font choices and commands through the board
// with the tools, panels and replay command wired as the program wires
// them, checking the record store after every step and the picture often.
//   POINTER_SOAK_STEPS   steps (default 20000)
//   POINTER_SOAK_SEED    seed of the run (default 25)
//   POINTER_SOAK_REDRAW  compare a full redraw every n steps (default 10)
// A new tool or command is one more row of kActions.
#include <malloc.h>

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QString>
#include <QTextEdit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <vector>

#include "app/picture_commands.h"
#include "board/text_box.h"
#include "dialogs/replay_dlg.h"
#include "panels/font_bar.h"
#include "panels/font_combo.h"
#include "panels/font_sizes.h"
#include "panels/palette_bar.h"
#include "platform/app.h"
#include "platform/codepage.h"
#include "records/recovery.h"
#include "tests/support/board_fixture.h"
#include "tests/support/temp_folder.h"
#include "tools/gesture.h"

namespace {

int EnvInt(const char* name, int fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::atoi(v) : fallback;
}

// Resident memory in kB from the kernel's view of this process: "VmRSS",
// "RssAnon" (heap and other private memory) or "RssFile" (mapped files:
// code, fonts, caches on disk).
long ResidentKb(const char* field = "VmRSS") {
  std::ifstream in("/proc/self/status");
  const std::string key = std::string(field) + ":";
  for (std::string line; std::getline(in, line);)
    if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + key.size());
  return -1;
}

// The width a replay lays every text out in: a font record carries none.
constexpr LONG kReplayedTextWidth = 9;

class Soak : public BoardTest {
 protected:
  void SetUp() override {
    // The offscreen platform warns on every mouse capture: thousands of lines.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
      if (type != QtWarningMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    BoardTest::SetUp();
    CBoardWnd& board = Board();
    board.SetTools(MakeBoardTools());
    // The palette and the font bar as the main frame creates and links them.
    palette.m_pBoard = &board;
    ASSERT_TRUE(
        palette.Create(&Frame(), IDD_PALETTEBAR, WS_CHILD | CBRS_SIZE_FIXED, IDD_PALETTEBAR));
    names.Create(WS_CHILD | CBS_DROPDOWN | CBS_OWNERDRAWFIXED | CBS_SORT | CBS_HASSTRINGS,
                 CRect(0, 0, 160, 300), &Frame(), ID_FONT_NAME);
    names.FillFontList();
    sizes.Create(WS_CHILD | CBS_DROPDOWNLIST, CRect(170, 0, 240, 500), &Frame(), ID_FONT_SIZE);
    for (const FontSize& s : kFontSizes) sizes.AddString(GBK(s.label));
    InstallFontCommands(board, names, sizes);
    // Floating windows of their own in the program: never on the board's picture.
    for (CWnd* w : std::initializer_list<CWnd*>{&palette, &names, &sizes}) w->ShowWindow(SW_HIDE);
    InstallReplayCommand(board);
    InstallPictureCommands(board);
    board.KeepRecovery(std::make_unique<CRecoveryWriter>(dir / "last.zsy"));
    // A lesson that fills all 5000 slots, which only a file may do.
    for (int i = 0; i < kRecordSlots; ++i) g_records[i] = Rec(op::kLine, i % 700, 9, 700, i % 500);
    board.m_nCount = kRecordSlots;
    m_services.fileAnswers = {dir / "full.zsy"};
    board.SendCommand(ID_SAVE_DATA);
    m_services.boxAnswers = {IDOK};
    board.SendCommand(ID_CLEAR_ALL);
  }
  void TearDown() override {
    if (CBoardReview* open = Board().m_pReplayDlg) open->CloseReview();
    Board().KeepRecovery(nullptr);
    qInstallMessageHandler(nullptr);
    BoardTest::TearDown();
  }

  CPoint RandomPoint() {
    const RECT& rc = Board().m_rcDesktop;
    // Now and then just off the board: gestures must clip, not write.
    return CPoint(Uniform(-20, rc.right + 20), Uniform(-20, rc.bottom + 20));
  }
  int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
  // A command as a button sends it: only while its button is enabled.
  bool Command(UINT id) {
    CCmdUI ui;
    ui.m_nID = id;
    if (!Board().OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui) || !ui.m_bEnabled) return false;
    Board().OnCmdMsg(id, CN_COMMAND, nullptr);
    return true;
  }
  // A command whose button is always enabled, answering its message box.
  void Answered(UINT id, int answer) {
    m_services.boxAnswers = {answer};
    Board().SendCommand(id);
  }
  // Moves with random buttons and now and then a modifier-free right drag.
  void Moves(int n) {
    for (int i = 0; i < n; ++i) Move(RandomPoint(), Uniform(0, 9) ? MK_LBUTTON : MK_RBUTTON);
  }
  void Gesture(UINT tool) {
    Board().OnCmdMsg(tool, CN_COMMAND, nullptr);
    if (tool == ID_TOOL_POLYLINE) {
      const int clicks = Uniform(1, 5);
      for (int i = 0; i < clicks; ++i) {
        Click(RandomPoint());
        Moves(Uniform(0, 3));
      }
      DoubleClickAt(RandomPoint());
      return;
    }
    Press(RandomPoint());
    Moves(Uniform(0, 12));
    Release(RandomPoint());
    if (Uniform(0, 4) == 0) Board().OnRButtonUp(0, RandomPoint());
  }
  void Palette() {
    CRect rc;
    palette.GetClientRect(&rc);
    const CPoint p(Uniform(0, rc.right), Uniform(0, rc.bottom));
    Uniform(0, 1) ? palette.OnLButtonDown(MK_LBUTTON, p) : palette.OnRButtonDown(MK_RBUTTON, p);
  }
  void Font() {
    switch (Uniform(0, 4)) {
      case 0:
        names.SetCurSel(Uniform(0, names.GetCount() - 1));
        Command(ID_FONT_NAME);
        break;
      case 1:
        sizes.SetCurSel(Uniform(0, kFontSizeCount - 1));
        Command(ID_FONT_SIZE);
        break;
      default:
        Command(ID_FONT_BOLD + Uniform(0, 2));
    }
  }
  // Undo and clear all redraw the whole picture.
  void ClearAll(int answer) {
    m_services.boxAnswers = {answer};
    redrawMatches |= Command(ID_CLEAR_ALL) && answer == IDOK;
  }

  // The live fill paints with the pen colour and its record replays with
  // the brush colour.
  void Fill() {
    const int before = Count();
    Gesture(ID_TOOL_FILL);
    if (Count() != before && g_style.penColor != g_style.brushColor) redrawMatches = false;
  }

  // A box dragged open, typed into as the keyboard and the input method
  // deliver text to it, and committed by a right click or a left click.
  void Text() {
    const int before = Count();
    Board().OnCmdMsg(ID_TOOL_TEXT, CN_COMMAND, nullptr);
    Press(RandomPoint());
    Moves(Uniform(0, 4));
    Release(RandomPoint());
    CTextBox& box = *Board().m_textBox;
    if (box.IsWindowVisible()) {
      auto* edit = box.GetWidget()->findChild<QTextEdit*>();
      ASSERT_NE(edit, nullptr);
      for (int i = Uniform(0, 12); i > 0; --i) Type(edit);
    }
    const CPoint at = RandomPoint();
    Uniform(0, 1) ? Board().OnRButtonUp(0, at) : Click(at);
    // A font record does not carry the width: a replay lays a text out in
    // the default width whatever size the font bar chose.
    if (Count() != before && Board().m_logFont.lfWidth != kReplayedTextWidth) redrawMatches = false;
  }
  void Type(QTextEdit* edit) {
    static const char16_t* const kComposed[] = {u"中文", u"第一行", u"\U00020BB7", u"，。"};
    const int kind = Uniform(0, 9);
    if (kind < 2) {
      QInputMethodEvent typed;
      typed.setCommitString(QString::fromUtf16(kComposed[Uniform(0, 3)]));
      QCoreApplication::sendEvent(edit, &typed);
      return;
    }
    int key = Qt::Key_A + Uniform(0, 25);
    QString text(QChar('a' + (key - Qt::Key_A)));
    if (kind == 2) key = Qt::Key_Return, text = "\r";
    if (kind == 3) key = Qt::Key_Backspace, text = "\b";
    if (kind == 4) key = Qt::Key_Space, text = " ";
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(edit, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(edit, &release);
  }

  // Enter, up to three enlargements (the third does nothing), and out by a
  // right click, which shows the current picture again, or by another
  // tool, which keeps the enlarged picture with the records over it.
  void Magnify() {
    Board().OnCmdMsg(ID_TOOL_MAGNIFY, CN_COMMAND, nullptr);
    for (int i = Uniform(0, 3); i > 0; --i) Click(RandomPoint());
    if (Uniform(0, 1)) return Board().OnRButtonUp(0, RandomPoint());
    Board().OnCmdMsg(ID_TOOL_PEN + Uniform(0, 6), CN_COMMAND, nullptr);
    redrawMatches = false;
  }

  // Without records, or when they are cleared, the new mode shows its bare
  // background; kept records are drawn again only in the last mode.
  void BackgroundCycle() {
    const bool asked = Count() > 0;
    const int answer = Uniform(0, 1) ? IDYES : IDNO;
    Answered(ID_BACKGROUND_CYCLE, answer);
    redrawMatches = !asked || answer == IDYES || Board().m_nBackMode == 3;
  }

  void SavePicture() {
    m_services.fileAnswers = {dir / (Uniform(0, 1) ? "board.bmp" : "board.jpg")};
    Answered(ID_SAVE_PICTURE, IDOK);
  }
  // A loaded picture is the new background with the records kept: the
  // records are drawn over it only by the next full redraw. A lesson file
  // given as a picture is refused with a message.
  void LoadPicture() {
    const char* const names[] = {"board.bmp", "board.jpg", "full.zsy"};
    m_services.fileAnswers = {dir / names[Uniform(0, 2)]};
    Answered(ID_LOAD_PICTURE, IDOK);
    if (m_services.boxes.empty()) redrawMatches = Count() == 0;
  }

  // The temporary exit, answered "keep the picture", "capture afresh" or
  // cancelled, and Alt+1 bringing the board back as the main frame does.
  void TempExit() {
    const int answers[] = {IDYES, IDNO, IDCANCEL};
    const int answer = answers[Uniform(0, 2)];
    Answered(ID_TEMP_EXIT, answer);
    if (answer == IDCANCEL) return;
    Board().PrepareForCommand();
    if (Frame().m_tempExited) {
      Board().CaptureScreen();
      Frame().m_tempExited = false;
      redrawMatches = Count() == 0;
    }
    Frame().ShowWindow(SW_SHOW);
  }
  void Save() {
    m_services.fileAnswers = {dir / "lesson.zsy"};
    saved = {std::vector<DrawRecord>(g_records, g_records + Count()), Board().m_texts};
    Board().SendCommand(ID_SAVE_DATA);
  }
  void Open() {
    const bool full = Uniform(0, 3) == 0;
    m_services.fileAnswers = {full ? dir / "full.zsy" : dir / "lesson.zsy"};
    Board().SendCommand(ID_OPEN_DATA);
    redrawMatches = true;
    if (full || saved.first.empty()) return;
    ASSERT_TRUE(Count() == int(saved.first.size()) && Board().m_texts == saved.second &&
                std::memcmp(g_records, saved.first.data(), saved.first.size() * 24) == 0)
        << "the lesson opened is not the one saved: " << Count() << " records of "
        << saved.first.size() << ", " << Board().m_texts.size() << " texts of "
        << saved.second.size();
  }
  void Review() {
    Command(ID_REPLAY);
    auto* dlg = static_cast<CReplayDlg*>(Board().m_pReplayDlg);
    if (!dlg) return;
    for (int i = Uniform(0, 3); i > 0; --i) dlg->OnTimer(1);
    if (Uniform(0, 1)) dlg->OnToEnd();
    dlg->CloseReview();
    plat::ProcessEvents();
  }

  // The text list holds one entry per text and font record in use.
  ::testing::AssertionResult TextsMatchRecords() {
    std::size_t n = 0;
    for (int i = 0; i < Count(); ++i)
      n += g_records[i].op == op::kText || g_records[i].op == op::kFont;
    if (n == Board().m_texts.size()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << n << " text and font records, " << Board().m_texts.size() << " texts";
  }

  // Whether a full redraw paints the current picture; the screen and the
  // style in force are left exactly as they were.
  ::testing::AssertionResult RedrawIsCurrentPicture() {
    CBoardWnd& board = Board();
    const int w = board.m_rcDesktop.right, h = board.m_rcDesktop.bottom;
    CBitmap screen, redrawn;
    screen.CreateCompatibleBitmap(nullptr, w, h);
    redrawn.CreateCompatibleBitmap(nullptr, w, h);
    CopyScreen(screen, true);
    const DrawStyle style = g_style;
    const CPen pen = board.m_pen;
    const CBrush brush = board.m_brush;
    const CFont font = board.m_font;
    const LOGFONT logFont = board.m_logFont;
    const bool transparent = board.m_bTransparent;
    const auto posText = std::distance(board.m_texts.begin(), board.m_posText);

    board.m_bRedrawing = true;
    board.Invalidate(true);
    board.UpdateWindow();
    board.m_bRedrawing = false;
    board.Replay(0, Count(), false);
    CopyScreen(redrawn, true);
    CopyScreen(screen, false);
    g_style = style;
    board.m_pen = pen, board.m_brush = brush, board.m_font = font, board.m_logFont = logFont;
    board.m_bTransparent = transparent;
    board.m_posText = std::next(board.m_texts.begin(), posText);

    std::string where;
    if (CountDifferences(Of(redrawn), Of(board.m_bmpCurrent), &where) == 0)
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the redraw differs from the current picture: " << where;
  }

  struct Action {
    const char* name;
    int weight;
    std::function<void(Soak&)> run;
    // Only opening a file fills slot 4999 and only clear all empties it.
    bool lastSlot = false;
  };
  static std::vector<Action> Actions();

  TempFolder dir{"pointer-soak"};
  std::mt19937 rng;
  CPaletteBar palette;
  CFontCombo names;
  CComboBox sizes;
  std::pair<std::vector<DrawRecord>, std::list<std::string>> saved;
  // Whether the program makes a full redraw equal to the current picture
  // now; some commands leave a picture that only the next full redraw
  // (undo, open, clear all) brings back in step with the records.
  bool redrawMatches = true;
};

std::vector<Soak::Action> Soak::Actions() {
  std::vector<Action> table;
  for (const auto& [name, id, weight] : {std::tuple("pen", ID_TOOL_PEN, 12),
                                         {"brush", ID_TOOL_BRUSH, 6},
                                         {"line", ID_TOOL_LINE, 6},
                                         {"arrow", ID_TOOL_ARROW, 6},
                                         {"polyline", ID_TOOL_POLYLINE, 5},
                                         {"rectangle", ID_TOOL_RECT, 5},
                                         {"rounded rectangle", ID_TOOL_ROUNDRECT, 5},
                                         {"ellipse", ID_TOOL_ELLIPSE, 5},
                                         {"flashing area", ID_TOOL_FLASH_AREA, 2},
                                         {"flashing rectangle", ID_TOOL_FLASH_RECT, 2},
                                         {"flashing mark", ID_TOOL_FLASH_MARK, 2},
                                         {"pointer", ID_TOOL_POINTER, 1}})
    table.push_back({name, weight, [id](Soak& s) { s.Gesture(id); }});
  table.push_back({"flood fill", 3, [](Soak& s) { s.Fill(); }});
  table.push_back({"colour picker", 2, [](Soak& s) { s.Gesture(ID_TOOL_PICKCOLOR); }});
  table.push_back({"text", 5, [](Soak& s) { s.Text(); }});
  table.push_back({"magnifier", 2, [](Soak& s) { s.Magnify(); }});
  table.push_back({"background cycle", 1, [](Soak& s) { s.BackgroundCycle(); }});
  table.push_back({"transparent", 2, [](Soak& s) { s.Board().SendCommand(ID_TRANSPARENT); }});
  table.push_back({"start", 1, [](Soak& s) { s.Board().SendCommand(ID_START); }});
  table.push_back({"temporary exit", 1, [](Soak& s) { s.TempExit(); }});
  table.push_back({"save picture", 1, [](Soak& s) { s.SavePicture(); }});
  table.push_back({"load picture", 1, [](Soak& s) { s.LoadPicture(); }});
  table.push_back({"palette", 12, [](Soak& s) { s.Palette(); }});
  table.push_back({"font bar", 8, [](Soak& s) { s.Font(); }});
  table.push_back({"undo", 8, [](Soak& s) { s.redrawMatches |= s.Command(ID_UNDO); }});
  table.push_back({"redo", 5, [](Soak& s) { s.Command(ID_REDO); }});
  table.push_back({"clear all, OK", 1, [](Soak& s) { s.ClearAll(IDOK); }, true});
  table.push_back({"clear all, Cancel", 1, [](Soak& s) { s.ClearAll(IDCANCEL); }});
  table.push_back({"save", 1, [](Soak& s) { s.Save(); }});
  table.push_back({"open", 1, [](Soak& s) { s.Open(); }, true});
  table.push_back({"replay dialog", 1, [](Soak& s) { s.Review(); }});
  return table;
}

TEST_F(Soak, RandomStepsKeepTheStoreTheTextListAndThePictureConsistent) {
  const int steps = EnvInt("POINTER_SOAK_STEPS", 20000), seed = EnvInt("POINTER_SOAK_SEED", 25),
            redrawEvery = std::max(1, EnvInt("POINTER_SOAK_REDRAW", 10));
  rng.seed(unsigned(seed));
  const std::vector<Action> actions = Actions();
  std::vector<int> weights;
  for (const Action& a : actions) weights.push_back(a.weight);
  std::discrete_distribution<int> pick(weights.begin(), weights.end());
  std::vector<int> runs(actions.size());
  DrawRecord lastSlot{};
  int compared = 0, skipped = 0;
  // Anonymous memory after a trim once the run is warm (every tool, font
  // and dialog used), and the most it may grow from there: a leak of a
  // kilobyte a step exceeds it.
  long warmAnonKb = -1;
  constexpr long kGrowthBudgetKb = 16 * 1024;

  for (int step = 0; step < steps; ++step) {
    const int a = pick(rng);
    std::memcpy(&lastSlot, &g_records[kRecordLimit], sizeof lastSlot);
    actions[size_t(a)].run(*this);
    // The message loop runs between two inputs: repaints, posted tasks.
    plat::ProcessEvents();
    ++runs[size_t(a)];
    // The scripted services keep a log of every request: not our memory.
    m_services.boxes.clear(), m_services.fileRequests.clear(), m_services.pauses.clear();
    m_services.pointerMoves.clear(), m_services.colorRequests.clear();
    if (HasFatalFailure()) return;
    const auto where = [&] {
      return ::testing::Message() << "step " << step << " (" << actions[size_t(a)].name
                                  << "), seed " << seed;
    };
    ASSERT_TRUE(TextsMatchRecords()) << where();
    ASSERT_TRUE(Count() >= 0 && Count() <= kRecordSlots) << where() << ": count " << Count();
    ASSERT_TRUE(actions[size_t(a)].lastSlot ||
                std::memcmp(&lastSlot, &g_records[kRecordLimit], sizeof lastSlot) == 0)
        << where() << ": slot 4999 was written";
    if (step % redrawEvery == 0) {
      if (!redrawMatches) {
        ++skipped;
      } else {
        ASSERT_TRUE(RedrawIsCurrentPicture()) << where();
        ++compared;
      }
    }
    // Resident memory at ten points of the run, before and after giving
    // freed heap back: growth that a trim takes away is no leak.
    if ((step + 1) % std::max(1, steps / 10) == 0) {
      const long rss = ResidentKb(), anon = ResidentKb("RssAnon");
      malloc_trim(0);
      std::printf(
          "soak: step %6d, %4d records: %ld kB resident, %ld kB of it files, %ld kB "
          "anonymous (%ld kB after a trim)\n",
          step + 1, Count(), rss, ResidentKb("RssFile"), anon, ResidentKb("RssAnon"));
      const int sample = (step + 1) / std::max(1, steps / 10);
      if (sample == 3) warmAnonKb = ResidentKb("RssAnon");
#if !defined(__SANITIZE_ADDRESS__)  // its quarantine holds freed memory back
      if (sample > 3 && warmAnonKb > 0) {
        EXPECT_LE(ResidentKb("RssAnon") - warmAnonKb, kGrowthBudgetKb)
            << "anonymous memory grew from " << warmAnonKb << " kB once warm, step " << step + 1;
      }
#endif
    }
  }
  std::printf(
      "soak: %d steps, seed %d; the redraw compared %d times, %d times not where a command "
      "had left a picture the records do not give\n",
      steps, seed, compared, skipped);
  for (std::size_t i = 0; i < actions.size(); ++i)
    std::printf("  %-20s %6d\n", actions[i].name, runs[i]);
}

}  // namespace
