#pragma once
// End-to-end harness: a private Xvfb with a known picture on its root, the
// program under test started as a child process, window lookup by title,
// screenshots and xdotool input. Every wait polls with a cap; nothing sleeps
// for a fixed long time.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/picture.h"
#include "tests/support/temp_folder.h"

namespace e2e {

constexpr int kWaitCapMs = 10000;

// Polls cond every few milliseconds until it holds or timeoutMs passes.
bool WaitUntil(const std::function<bool()>& cond, int timeoutMs = kWaitCapMs);

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
  int right() const { return x + w; }
  int bottom() const { return y + h; }
};

// The part of p inside r; p with the excluded rectangles blacked out, so
// that two pictures compare equal there.
Picture Crop(const Picture& p, const Rect& r);
Picture Masked(Picture p, const std::vector<Rect>& excluded);
// A picture file of the type its extension names; an empty picture when
// it does not load.
bool SaveImage(const Picture& p, const std::string& path);
Picture LoadImage(const std::string& path);

// The deterministic test picture: eight colour bands with gradients and a
// fine texture, so a shift by one pixel changes almost every pixel. Variant 1
// differs from variant 0 in every pixel.
COLORREF PatternPixel(int variant, int x, int y, int width, int height);
Picture MakePattern(int variant, int width, int height);

// Where the enabled tool bar images 0 .. count-1 are drawn in bar (top-left
// corners), each pixel a times-by-times block; a greyed button shows none.
std::map<int, std::pair<int, int>> FindToolBarImages(const Picture& bar, int count, int times = 1);

// Variables to set (value) or remove (nullopt) on top of the inherited ones.
using Env = std::map<std::string, std::optional<std::string>>;

// A child process with its output in a log file.
class Process {
 public:
  Process() = default;
  ~Process();  // kills it if still running
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  bool Start(const std::vector<std::string>& argv, const Env& env, const std::string& logPath);
  bool Running();
  // The exit code (or -signal) once it ended within timeoutMs.
  std::optional<int> Wait(int timeoutMs = kWaitCapMs);
  void Kill();
  std::string Log() const;  // what it printed so far
  int pid() const { return pid_; }

 private:
  int pid_ = -1;
  std::optional<int> status_;
  std::string logPath_;
};

struct WindowInfo {
  Rect rect;  // root coordinates, without any border
  bool viewable = false;
};

// One private X server of a fixed size and depth and our own connection to
// it.
class XServer {
 public:
  XServer(int width, int height, int depth = 24);
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  // Starts Xvfb on a free display and connects; the error says why not.
  bool Start(std::string* error);
  int width() const { return width_; }
  int height() const { return height_; }
  const std::string& name() const { return name_; }  // ":N"

  // Puts pattern variant v on the root window (its background pixmap).
  void ShowPattern(int variant);
  Picture Screenshot();

  // Top-level windows whose _NET_WM_NAME is exactly utf8Title.
  std::vector<WindowInfo> FindWindows(const std::string& utf8Title);
  // The viewable one if any, else the first one found.
  std::optional<WindowInfo> FindWindow(const std::string& utf8Title);
  bool Viewable(const std::string& utf8Title);
  bool WaitViewable(const std::string& utf8Title, int timeoutMs = kWaitCapMs);
  bool WaitNotViewable(const std::string& utf8Title, int timeoutMs = kWaitCapMs);

  // A mapped top-level window of our own with the given title, placed off
  // the screen so the picture stays as it is.
  unsigned long CreateTitledWindow(const std::string& utf8Title);
  void DestroyWindow(unsigned long id);
  // The X resources programs read at start ("Xft.dpi:\t192\n"); empty
  // removes them.
  void SetResources(const std::string& text);

  // Environment for children: our display, Qt on xcb scaled as the server says,
  // runtime and settings folders from ours (or private ones).
  Env ChildEnv() const;

  // Runs xdotool with these arguments on this display; its exit code.
  int Xdotool(const std::vector<std::string>& args);
  // The program under test, started with args and env on top of ChildEnv()
  // (log beside the test's files).
  bool StartPointer(Process* p, const std::vector<std::string>& args = {}, const Env& env = {});
  // Runs the program to its end; its exit code, nullopt on a time-out, and
  // what it printed.
  std::optional<int> RunPointer(const std::vector<std::string>& args, const Env& env = {},
                                std::string* output = nullptr);

  // Saves a screenshot for a failed test; returns the file's path.
  std::string SaveScreenshot(const std::string& tag);

 private:
  int width_, height_, depth_;
  std::string name_;
  Process xvfb_;
  void* display_ = nullptr;  // Display*
  unsigned long rootPixmap_ = 0;
  TempFolder own_{"pointer-e2e-server"};
  std::string xdgDir_, registryDir_, dataDir_;
  int runs_ = 0;
};

// The servers live for the whole run, one per screen size, and stop at exit.
XServer* SharedServer(int width, int height, std::string* error);

// Folder for logs and screenshots of this run.
const std::string& ArtifactDir();

}  // namespace e2e
