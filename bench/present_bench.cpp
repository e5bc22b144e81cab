// Presenting the board on a real X server: how long a whole-screen present
// takes (an undo, a clear) and a small one (a rubber band), at 1920x1080 and
// 3840x2160. The parent starts a private Xvfb per size and runs itself on it.
#include <xcb/xcb.h>

#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/app.h"
#include "platform/gdi.h"
#include "platform/wnd.h"
#include "platform/x11_qt.h"
#include "tests/e2e/harness.h"

namespace {

using Clock = std::chrono::steady_clock;

// Draws rc in a new colour and waits until the server has it on the screen.
double TimePresent(CWnd& pane, const CRect& rc, int i) {
  const auto t0 = Clock::now();
  {
    CClientDC dc(&pane);
    dc.FillSolidRect(&rc, RGB(i * 37, 255 - i * 11, i * 5));
  }
  pane.PresentNow();
  xcb_connection_t* c = plat::x11::Connection();
  std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

int Measure(int argc, char** argv) {
  plat::InitApplication(argc, argv);
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  CWnd frame, pane;
  if (!frame.CreateEx(0, WS_POPUP, "frame", nullptr, CRect(0, 0, w, h), 0) ||
      !pane.CreateEx(0, WS_CHILD | WS_VISIBLE, {}, &frame, CRect(0, 0, w, h), 1)) {
    return 1;
  }
  frame.ShowWindow(SW_SHOW);
  for (int i = 0; i < 500 && !pane.GetWidget()->windowHandle()->isExposed(); ++i)
    plat::ProcessEvents(10);
  const double first = TimePresent(pane, CRect(0, 0, w, h), 0);
  for (int i = 0; i < 300 && !plat::x11::SharedMemoryPuts(); ++i) plat::ProcessEvents(10);
  double whole = 1e9, small = 1e9, wholeSum = 0;
  constexpr int kRuns = 20;
  for (int i = 1; i <= kRuns; ++i) {
    const double t = TimePresent(pane, CRect(0, 0, w, h), i);
    whole = std::min(whole, t);
    wholeSum += t;
    small = std::min(small, TimePresent(pane, CRect(100, 100, 400, 300), i));
  }
  std::printf(
      "%dx%d: whole-screen present: first (through the socket) %.1f ms; shared memory "
      "%s: best %.1f ms, mean %.1f ms; 300x200 present best %.2f ms\n",
      w, h, first, plat::x11::SharedMemoryPuts() ? "in use" : "NOT IN USE", whole, wholeSum / kRuns,
      small);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--measure") == 0) return Measure(argc, argv);
  bool ok = true;
  for (auto [w, h] : {std::pair{1920, 1080}, std::pair{3840, 2160}}) {
    std::string error;
    e2e::XServer* x = e2e::SharedServer(w, h, &error);
    if (!x) {
      std::printf("%dx%d: no X server: %s\n", w, h, error.c_str());
      ok = false;
      continue;
    }
    e2e::Process p;
    const std::string log = e2e::ArtifactDir() + "/present_bench.log";
    if (!p.Start({argv[0], "--measure"}, x->ChildEnv(), log) || p.Wait(60000) != 0) ok = false;
    std::printf("%s", p.Log().c_str());
  }
  return ok ? 0 : 1;
}
