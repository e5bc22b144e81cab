// From the right click that commits a typed text of 200 characters to the
// text on the board's pixels and in its current picture. The commit's
// mandated 500 ms pause goes to scripted services and is not counted.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "board/board_wnd.h"
#include "board/text_box.h"
#include "platform/app.h"
#include "platform/codepage.h"
#include "platform/services.h"
#include "res/res.h"
#include "res/resource.h"
#include "tools/gesture.h"

namespace {

void BM_TextCommitToPixels(benchmark::State& state) {
  plat::ScriptedServices services;
  plat::ScopedServices scope(&services);
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  auto board = std::make_unique<CBoardWnd>();
  if (!board->CreateEx(0, WS_POPUP | WS_VISIBLE, std::string(), nullptr, CRect(0, 0, w, h), 0)) {
    state.SkipWithError("the board could not be created");
    return;
  }
  board->CreateSurfaces();
  board->ShowWindow(SW_SHOW);
  plat::ProcessEvents(50);
  board->SetTools(MakeBoardTools());
  board->OnSelectTool(ID_TOOL_TEXT);
  // 200 characters of mixed Chinese and Latin, as a teacher types them.
  std::string utf8;
  for (int i = 0; i < 20; ++i) utf8 += "勾股定理：a+b=c";
  const std::string typed = GBK(utf8);
  for (auto _ : state) {
    state.PauseTiming();
    board->m_nCount = 0;
    board->m_texts.clear();
    board->OnLButtonDown(MK_LBUTTON, CPoint(50, 50));
    board->OnLButtonUp(0, CPoint(w - 50, 300));
    board->m_textBox->SetWindowText(typed);
    state.ResumeTiming();
    board->OnRButtonUp(0, CPoint(w / 2, h - 50));
    board->PresentNow();
  }
  if (board->m_texts.size() != 1 || board->m_texts.front() != typed)
    state.SkipWithError("the text was not committed");
  // The commit repaints and snapshots the whole board: its size counts.
  state.SetLabel("board " + std::to_string(w) + "x" + std::to_string(h));
  board->DestroyWindow();
}
BENCHMARK(BM_TextCommitToPixels)->Unit(benchmark::kMillisecond);

}  // namespace
