// Random gestures, palette and font choices and commands through the board
// with the tools, panels and replay command wired as the program wires
// them, checking the record store after every step and the picture often.
//   POINTER_SOAK_STEPS   steps (default 20000)
//   POINTER_SOAK_SEED    seed of the run (default 25)
//   POINTER_SOAK_REDRAW  compare a full redraw every n steps (default 10)
// A new tool or command is one more row of kActions.
#include <malloc.h>

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <vector>

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
  bool Enabled(UINT id) {
    CCmdUI ui;
    ui.m_nID = id;
    return Board().OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui) && ui.m_bEnabled;
  }
  // A command as a button sends it: only while its button is enabled.
  void Command(UINT id) {
    if (Enabled(id)) Board().OnCmdMsg(id, CN_COMMAND, nullptr);
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
        return Command(ID_FONT_NAME);
      case 1:
        sizes.SetCurSel(Uniform(0, kFontSizeCount - 1));
        return Command(ID_FONT_SIZE);
      default:
        return Command(ID_FONT_BOLD + Uniform(0, 2));
    }
  }
  void ClearAll(int answer) {
    m_services.boxAnswers = {answer};
    Command(ID_CLEAR_ALL);
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
    CClientDC dc(&board);
    CBitmap screen;
    screen.CreateCompatibleBitmap(&dc, w, h);
    CDC mem;
    mem.CreateCompatibleDC(&dc);
    CSelectScope<CBitmap> keep(mem, &screen);
    mem.BitBlt(0, 0, w, h, &dc, 0, 0, SRCCOPY);
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
    CBitmap redrawn;
    redrawn.CreateCompatibleBitmap(&dc, w, h);
    {
      CDC copy;
      copy.CreateCompatibleDC(&dc);
      CSelectScope<CBitmap> select(copy, &redrawn);
      copy.BitBlt(0, 0, w, h, &dc, 0, 0, SRCCOPY);
    }
    dc.BitBlt(0, 0, w, h, &mem, 0, 0, SRCCOPY);
    g_style = style;
    board.m_pen = pen, board.m_brush = brush, board.m_font = font, board.m_logFont = logFont;
    board.m_bTransparent = transparent;
    board.m_posText = std::next(board.m_texts.begin(), posText);

    const std::size_t row = (std::size_t(w) * 3 + 3) / 4 * 4;
    std::vector<char> a(row * h), b(row * h);
    redrawn.GetDIBits(0, h, a.data());
    board.m_bmpCurrent.GetDIBits(0, h, b.data());
    if (a == b) return ::testing::AssertionSuccess();
    const std::size_t at =
        std::size_t(std::mismatch(a.begin(), a.end(), b.begin()).first - a.begin());
    return ::testing::AssertionFailure() << "the redraw differs from the current picture first at ("
                                         << at % row / 3 << ", " << h - 1 - int(at / row) << ")";
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
};

std::vector<Soak::Action> Soak::Actions() {
  std::vector<Action> table;
  const auto tool = [&](const char* name, UINT id, int weight) {
    table.push_back({name, weight, [id](Soak& s) { s.Gesture(id); }});
  };
  tool("pen", ID_TOOL_PEN, 12);
  tool("brush", ID_TOOL_BRUSH, 6);
  tool("line", ID_TOOL_LINE, 6);
  tool("arrow", ID_TOOL_ARROW, 6);
  tool("polyline", ID_TOOL_POLYLINE, 5);
  tool("rectangle", ID_TOOL_RECT, 5);
  tool("rounded rectangle", ID_TOOL_ROUNDRECT, 5);
  tool("ellipse", ID_TOOL_ELLIPSE, 5);
  tool("flashing area", ID_TOOL_FLASH_AREA, 2);
  tool("flashing rectangle", ID_TOOL_FLASH_RECT, 2);
  tool("flashing mark", ID_TOOL_FLASH_MARK, 2);
  tool("pointer", ID_TOOL_POINTER, 1);
  table.push_back({"palette", 12, [](Soak& s) { s.Palette(); }});
  table.push_back({"font bar", 8, [](Soak& s) { s.Font(); }});
  table.push_back({"undo", 8, [](Soak& s) { s.Command(ID_UNDO); }});
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
      ASSERT_TRUE(RedrawIsCurrentPicture()) << where();
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
    }
  }
  std::printf("soak: %d steps, seed %d\n", steps, seed);
  for (std::size_t i = 0; i < actions.size(); ++i)
    std::printf("  %-20s %6d\n", actions[i].name, runs[i]);
}

}  // namespace
