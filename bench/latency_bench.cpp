// Input-to-pixels latency of the pen on a private Xvfb, at 1920x1080 and
// 3840x2160, without and with a compositor (xcompmgr): the real program,
// the pen chosen on its tool bar and the left button held through XTest;
// each move injected through XTest is timed until the middle of its new
// segment reads back black from the root window. A figure includes the
// injection, the program's handling and drawing, its present, the
// compositor's repaint when there is one, and up to one read-back round
// trip of polling, which is printed too.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/harness.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kMoves = 3000, kWarmUp = 50;
constexpr int kStep = 4, kRowGap = 8, kMargin = 200;
constexpr int kPenImage = 10;  // the pen's button image on the tool bar
constexpr unsigned long kPen = 0x000000;
constexpr char kFrameTitle[] = "Corvale_Tavix", kToolsBarTitle[] = "多媒体工具";

double MsSince(Clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

unsigned long Pixel(Display* d, int x, int y) {
  XImage* img = XGetImage(d, DefaultRootWindow(d), x, y, 1, 1, AllPlanes, ZPixmap);
  if (!img) return ~0ul;
  const unsigned long p = XGetPixel(img, 0, 0) & 0xFFFFFF;
  XDestroyImage(img);
  return p;
}

void MoveTo(Display* d, int x, int y) {
  XTestFakeMotionEvent(d, -1, x, y, CurrentTime);
  XFlush(d);
}

struct Figures {
  double median = 0, p99 = 0, max = 0;
};

Figures Summary(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  if (ms.empty()) return {};
  return {ms[ms.size() / 2], ms[std::min(ms.size() - 1, ms.size() * 99 / 100)], ms.back()};
}

// The snake through fresh pixels: rows kRowGap apart, left to right and back,
// kStep pixels a move, and a move down at each row's end.
class Path {
 public:
  Path(int w) : left_(kMargin), right_(w - kMargin) {}
  std::pair<int, int> Start() const { return {left_, kMargin}; }
  std::pair<int, int> Next() {
    if (down_ > 0) {
      y_ += kStep, down_ -= kStep;
    } else if ((dir_ > 0 && x_ + kStep > right_) || (dir_ < 0 && x_ - kStep < left_)) {
      dir_ = -dir_, down_ = kRowGap - kStep, y_ += kStep;
    } else {
      x_ += dir_ * kStep;
    }
    return {x_, y_};
  }

 private:
  int left_, right_, x_ = kMargin, y_ = kMargin, dir_ = 1, down_ = 0;
};

// Whether xcompmgr holds the compositing manager selection of screen 0.
bool Composited(Display* d) {
  return XGetSelectionOwner(d, XInternAtom(d, "_NET_WM_CM_S0", False)) != None;
}

bool ChoosePen(e2e::XServer* x) {
  const auto bar = x->FindWindow(kToolsBarTitle);
  if (!bar) return false;
  std::map<int, std::pair<int, int>> at;
  if (!e2e::WaitUntil([&] {
        at = e2e::FindToolBarImages(e2e::Crop(x->Screenshot(), bar->rect), kPenImage + 1);
        return at.count(kPenImage) > 0;
      }))
    return false;
  const int px = bar->rect.x + at[kPenImage].first + 8, py = bar->rect.y + at[kPenImage].second + 7;
  return x->Xdotool({"mousemove", std::to_string(px), std::to_string(py), "click", "1"}) == 0;
}

bool Measure(int w, int h, bool compositor) {
  const std::string tag =
      std::to_string(w) + "x" + std::to_string(h) +
      (compositor ? ": pen move to pixels, xcompmgr" : ": pen move to pixels, no compositor");
  const auto fail = [&](const std::string& why, const e2e::Process* p = nullptr) {
    std::printf("%s: %s\n%s", tag.c_str(), why.c_str(), p ? p->Log().c_str() : "");
    return false;
  };
  std::string error;
  e2e::XServer* x = e2e::SharedServer(w, h, &error);
  if (!x) return fail("no X server: " + error);
  x->ShowPattern(0);
  Display* d = XOpenDisplay(x->name().c_str());
  if (!d) return fail("cannot connect to " + x->name());
  struct Close {
    Display* d;
    ~Close() { XCloseDisplay(d); }
  } close{d};
  int ev, er, major, minor;
  if (!XTestQueryExtension(d, &ev, &er, &major, &minor)) return fail("no XTEST on the server");

  e2e::Process manager, pointer;
  if (compositor) {
    if (!manager.Start({"xcompmgr"}, x->ChildEnv(), e2e::ArtifactDir() + "/xcompmgr.log"))
      return fail("xcompmgr did not start (Debian package xcompmgr)");
    if (!e2e::WaitUntil([&] { return Composited(d) || !manager.Running(); }) || !Composited(d))
      return fail("xcompmgr never took the screen", &manager);
  }
  if (!x->StartPointer(&pointer)) return fail("the program did not start");
  if (!x->WaitViewable(kFrameTitle) || !x->WaitViewable(kToolsBarTitle))
    return fail("the board never appeared", &pointer);
  if (!ChoosePen(x)) return fail("no pen button on the tool bar", &pointer);

  Path path(w);
  auto [sx, sy] = path.Start();
  MoveTo(d, sx, sy);
  XTestFakeButtonEvent(d, 1, True, CurrentTime);
  XFlush(d);
  // The press hides the bars; their repaint is not part of a move.
  if (!x->WaitNotViewable(kToolsBarTitle)) return fail("the press kept the bars", &pointer);
  e2e::WaitUntil([] { return false; }, 200);

  std::vector<double> moves, trips;
  int untimed = 0;
  for (int i = 0; i < kWarmUp + kMoves; ++i) {
    const auto [nx, ny] = path.Next();
    // A pixel inside the new segment that the pen changes, read beforehand.
    int px = nx, py = ny;
    unsigned long before = kPen;
    for (int k = 1; k < kStep && before == kPen; ++k) {
      px = sx + (nx - sx) * k / kStep, py = sy + (ny - sy) * k / kStep;
      const auto t = Clock::now();
      before = Pixel(d, px, py);
      trips.push_back(MsSince(t));
    }
    const auto t0 = Clock::now();
    MoveTo(d, nx, ny);
    unsigned long now = before;
    while ((now = Pixel(d, px, py)) != kPen && MsSince(t0) < 2000) {
    }
    const double ms = MsSince(t0);
    if (now != kPen) {
      char what[160];
      std::snprintf(what, sizeof what, "move %d to (%d, %d): (%d, %d) still 0x%06lx after %.0f ms",
                    i, nx, ny, px, py, now, ms);
      return fail(what, &pointer);
    }
    if (before == kPen)
      ++untimed;  // the pattern is black all along the segment
    else if (i >= kWarmUp)
      moves.push_back(ms);
    sx = nx, sy = ny;
  }
  XTestFakeButtonEvent(d, 1, False, CurrentTime);
  XFlush(d);
  x->Xdotool({"key", "F12"});
  pointer.Wait(5000);
  pointer.Kill();
  manager.Kill();
  e2e::WaitUntil([&] { return !Composited(d); }, 2000);

  const Figures f = Summary(moves), rt = Summary(trips);
  std::printf(
      "%s: median %.3f ms, p99 %.3f ms, max %.2f ms over %zu moves (%d untimed; target p99 < "
      "0.5 ms)\n%dx%d: one 1x1 read-back round trip%s: median %.3f ms\n",
      tag.c_str(), f.median, f.p99, f.max, moves.size(), untimed, w, h,
      compositor ? ", xcompmgr" : "", rt.median);
  return true;
}

}  // namespace

int main() {
  bool ok = true;
  for (auto [w, h] : {std::pair{1920, 1080}, std::pair{3840, 2160}})
    for (bool compositor : {false, true}) ok = Measure(w, h, compositor) && ok;
  return ok ? 0 : 1;
}
