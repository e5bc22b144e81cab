// Per-move cost of the line tool's rubber band, presented on screen, at two
// screen sizes: a move redraws two lines and presents only their rectangle,
// so the cost must not grow with the screen.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "board/board_wnd.h"
#include "platform/app.h"
#include "platform/wnd_widget_qt.h"
#include "res/res.h"
#include "res/resource.h"
#include "tools/gesture.h"

namespace {

void BM_LineRubberBandMove(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  auto board = std::make_unique<CBoardWnd>();
  if (!board->CreateEx(0, WS_POPUP | WS_VISIBLE, std::string(), nullptr, CRect(0, 0, w, h), 0)) {
    state.SkipWithError("the board could not be created");
    return;
  }
  board->ShowWindow(SW_SHOW);
  plat::ProcessEvents(50);  // the window is exposed: presenting paints it
  board->SetTools(MakeBoardTools());
  board->m_nTool = ID_TOOL_LINE;
  const CPoint centre(w / 2, h / 2);
  board->OnLButtonDown(MK_LBUTTON, centre);
  // What reaches the screen: only the band's rectangle, whatever its size.
  double presented = 0;
  plat::WndWidget::SetPresentHook(
      [&presented](CWnd*, const QRect& r) { presented += double(r.width()) * r.height(); });
  int i = 0;
  for (auto _ : state) {
    // The band sweeps around the press point, 300 pixels long.
    const double a = (i++ % 360) * 3.14159265358979 / 180;
    const CPoint p(centre.x + int(300 * std::cos(a)), centre.y + int(300 * std::sin(a)));
    board->OnMouseMove(MK_LBUTTON, p);
    board->PresentNow();
  }
  plat::WndWidget::SetPresentHook(nullptr);
  state.counters["presented_px"] =
      benchmark::Counter(presented, benchmark::Counter::kAvgIterations);
  board->OnLButtonUp(0, centre);
  RECT rc;
  board->GetClientRect(&rc);
  state.SetLabel("board " + std::to_string(rc.right) + "x" + std::to_string(rc.bottom));
  board->DestroyWindow();
}
BENCHMARK(BM_LineRubberBandMove)->Args({1920, 1080})->Args({3840, 2160});

}  // namespace
