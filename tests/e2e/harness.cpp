#include "tests/e2e/harness.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

Display* Dpy(void* d) { return static_cast<Display*>(d); }

// Windows come and go while we look at them (the program under test is
// running): a query on a window that just vanished is not an error here.
int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

// Every window looked up is the toolkit's or our own: both carry the UTF-8 name.
std::optional<std::string> WindowTitle(Display* d, Window w) {
  Atom type = None;
  int format = 0;
  unsigned long n = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), 0, 1 << 16, False,
                         XInternAtom(d, "UTF8_STRING", False), &type, &format, &n, &after,
                         &data) != Success)
    return std::nullopt;
  std::optional<std::string> out;
  if (data && type != None && format == 8) out = std::string(reinterpret_cast<char*>(data), n);
  if (data) XFree(data);
  return out;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& cond, int timeoutMs) {
  const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (cond()) return true;
    if (Clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

// ---- processes ----

Process::~Process() { Kill(); }

bool Process::Start(const std::vector<std::string>& argv, const Env& env,
                    const std::string& logPath) {
  logPath_ = logPath;
  const int fd = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const pid_t pid = fork();
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    for (const auto& [k, v] : env) v ? setenv(k.c_str(), v->c_str(), 1) : unsetenv(k.c_str());
    dup2(fd, 1);
    dup2(fd, 2);
    dup2(open("/dev/null", O_RDONLY), 0);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  if (fd >= 0) close(fd);
  if (pid < 0) return false;
  pid_ = pid;
  status_.reset();
  return true;
}

bool Process::Running() {
  if (pid_ < 0 || status_) return false;
  int st = 0;
  const pid_t r = waitpid(pid_, &st, WNOHANG);
  if (r == 0) return true;
  status_ = r != pid_ ? -1 : WIFEXITED(st) ? WEXITSTATUS(st) : WIFSIGNALED(st) ? -WTERMSIG(st) : -1;
  return false;
}

std::optional<int> Process::Wait(int timeoutMs) {
  if (pid_ < 0) return std::nullopt;
  WaitUntil([&] { return !Running(); }, timeoutMs);
  return status_;
}

void Process::Kill() {
  if (!Running()) return;
  kill(pid_, SIGTERM);
  if (!Wait(2000)) {
    kill(pid_, SIGKILL);
    Wait(2000);
  }
}

std::string Process::Log() const {
  std::ifstream in(logPath_);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// ---- the X server ----

XServer::XServer(int width, int height, int depth)
    : width_(width), height_(height), depth_(depth) {}

XServer::~XServer() {
  if (display_) {
    if (rootPixmap_) XFreePixmap(Dpy(display_), rootPixmap_);
    XCloseDisplay(Dpy(display_));
  }
}

bool XServer::Start(std::string* error) {
  // Xvfb picks a free display itself and writes its number to the pipe once
  // it accepts connections.
  int fds[2];
  if (pipe(fds) != 0) {
    *error = "pipe failed";
    return false;
  }
  const std::string screen =
      std::to_string(width_) + "x" + std::to_string(height_) + "x" + std::to_string(depth_);
  const std::string logPath = ArtifactDir() + "/xvfb-" + std::to_string(width_) + ".log";
  const bool started = xvfb_.Start({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                    screen, "-noreset", "-nolisten", "tcp"},
                                   {}, logPath);
  close(fds[1]);
  // The pipe closes if Xvfb ends.
  std::string number;
  pollfd ready{fds[0], POLLIN, 0};
  for (char c = 0;
       started && poll(&ready, 1, kWaitCapMs) > 0 && read(fds[0], &c, 1) == 1 && c != '\n';)
    number += c;
  close(fds[0]);
  if (number.empty()) {
    *error = "Xvfb did not start (see " + logPath + ")";
    return false;
  }
  name_ = ":" + number;
  XSetErrorHandler(IgnoreXErrors);
  display_ = XOpenDisplay(name_.c_str());
  if (!display_) {
    *error = "cannot connect to " + name_;
    return false;
  }
  // Folders of this server's own, gone with it.
  const auto own = [this](const char* name) {
    const std::string dir = own_ / name;
    mkdir(dir.c_str(), 0700);
    return dir;
  };
  xdgDir_ = getenv("XDG_RUNTIME_DIR") ? getenv("XDG_RUNTIME_DIR") : own("xdg");
  chmod(xdgDir_.c_str(), 0700);
  registryDir_ = getenv("POINTER_REGISTRY_DIR") ? getenv("POINTER_REGISTRY_DIR") : own("registry");
  // The program keeps its drawing in the user's data folder: never the real one.
  dataDir_ = own("data");
  return true;
}

void XServer::ShowPattern(int variant) {
  Display* d = Dpy(display_);
  const int scr = DefaultScreen(d);
  const Window root = RootWindow(d, scr);
  const Pixmap pm = XCreatePixmap(d, root, width_, height_, 24);
  XImage* img =
      XCreateImage(d, DefaultVisual(d, scr), 24, ZPixmap, 0, nullptr, width_, height_, 32, 0);
  img->data = static_cast<char*>(std::malloc(static_cast<size_t>(img->bytes_per_line) * height_));
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      const COLORREF c = PatternPixel(variant, x, y, width_, height_);
      XPutPixel(img, x, y, GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
    }
  GC gc = XCreateGC(d, pm, 0, nullptr);
  XPutImage(d, pm, gc, img, 0, 0, 0, 0, width_, height_);
  XFreeGC(d, gc);
  XDestroyImage(img);  // frees the pixel data too
  XSetWindowBackgroundPixmap(d, root, pm);
  XClearWindow(d, root);
  if (rootPixmap_) XFreePixmap(d, rootPixmap_);
  rootPixmap_ = pm;
  XSync(d, False);
}

Picture XServer::Screenshot() {
  Display* d = Dpy(display_);
  XSync(d, False);
  XImage* img = XGetImage(d, DefaultRootWindow(d), 0, 0, width_, height_, AllPlanes, ZPixmap);
  if (!img) return {};
  Picture p = MakePicture(width_, height_, [&](int x, int y) {
    const unsigned long v = XGetPixel(img, x, y);
    return RGB(int(v >> 16), int(v >> 8), int(v));
  });
  XDestroyImage(img);
  return p;
}

std::vector<WindowInfo> XServer::FindWindows(const std::string& utf8Title) {
  Display* d = Dpy(display_);
  XSync(d, False);
  std::vector<WindowInfo> out;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned n = 0;
  if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &n)) return out;
  for (unsigned i = 0; i < n; ++i) {
    const auto title = WindowTitle(d, children[i]);
    if (!title || *title != utf8Title) continue;
    XWindowAttributes a{};
    if (!XGetWindowAttributes(d, children[i], &a)) continue;
    int rx = 0, ry = 0;
    Window child = 0;
    XTranslateCoordinates(d, children[i], root, 0, 0, &rx, &ry, &child);
    out.push_back({{rx, ry, a.width, a.height}, a.map_state == IsViewable});
  }
  if (children) XFree(children);
  return out;
}

std::optional<WindowInfo> XServer::FindWindow(const std::string& utf8Title) {
  auto all = FindWindows(utf8Title);
  std::stable_partition(all.begin(), all.end(), [](const WindowInfo& w) { return w.viewable; });
  if (all.empty()) return std::nullopt;
  return all.front();
}

bool XServer::Viewable(const std::string& utf8Title) {
  const auto w = FindWindow(utf8Title);
  return w && w->viewable;
}

bool XServer::WaitViewable(const std::string& utf8Title, int timeoutMs) {
  return WaitUntil([&] { return Viewable(utf8Title); }, timeoutMs);
}

bool XServer::WaitNotViewable(const std::string& utf8Title, int timeoutMs) {
  return WaitUntil([&] { return !Viewable(utf8Title); }, timeoutMs);
}

unsigned long XServer::CreateTitledWindow(const std::string& utf8Title) {
  Display* d = Dpy(display_);
  const int scr = DefaultScreen(d);
  const Window w = XCreateSimpleWindow(d, RootWindow(d, scr), -100, -100, 20, 20, 0,
                                       BlackPixel(d, scr), BlackPixel(d, scr));
  Xutf8SetWMProperties(d, w, utf8Title.c_str(), utf8Title.c_str(), nullptr, 0, nullptr, nullptr,
                       nullptr);
  XChangeProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), XInternAtom(d, "UTF8_STRING", False),
                  8, PropModeReplace, reinterpret_cast<const unsigned char*>(utf8Title.data()),
                  static_cast<int>(utf8Title.size()));
  XMapWindow(d, w);
  XSync(d, False);
  return w;
}

void XServer::SetResources(const std::string& text) {
  Display* d = Dpy(display_);
  const Atom rm = XInternAtom(d, "RESOURCE_MANAGER", False);
  if (text.empty()) {
    XDeleteProperty(d, DefaultRootWindow(d), rm);
  } else {
    XChangeProperty(d, DefaultRootWindow(d), rm, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text.data()), int(text.size()));
  }
  XSync(d, False);
}

void XServer::DestroyWindow(unsigned long id) {
  XDestroyWindow(Dpy(display_), id);
  XSync(Dpy(display_), False);
}

Env XServer::ChildEnv() const {
  return {{"DISPLAY", name_},
          {"QT_QPA_PLATFORM", std::nullopt},
          {"QT_ENABLE_HIGHDPI_SCALING", std::nullopt},
          {"QT_SCALE_FACTOR", std::nullopt},
          {"XDG_RUNTIME_DIR", xdgDir_},
          {"POINTER_REGISTRY_DIR", registryDir_},
          {"XDG_DATA_HOME", dataDir_}};
}

int XServer::Xdotool(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {"xdotool"};
  argv.insert(argv.end(), args.begin(), args.end());
  Process p;
  if (!p.Start(argv, ChildEnv(), ArtifactDir() + "/xdotool.log")) return -1;
  return p.Wait().value_or(-1);
}

bool XServer::StartPointer(Process* p, const std::vector<std::string>& args, const Env& env) {
  std::vector<std::string> argv = {POINTER_BINARY};
  argv.insert(argv.end(), args.begin(), args.end());
  Env all = ChildEnv();
  for (const auto& [k, v] : env) all[k] = v;
  const std::string log =
      ArtifactDir() + "/pointer-" + std::to_string(width_) + "-" + std::to_string(++runs_) + ".log";
  return p->Start(argv, all, log);
}

std::optional<int> XServer::RunPointer(const std::vector<std::string>& args, const Env& env,
                                       std::string* output) {
  Process p;
  if (!StartPointer(&p, args, env)) return std::nullopt;
  const std::optional<int> status = p.Wait();
  if (output) *output = p.Log();
  return status;
}

std::string XServer::SaveScreenshot(const std::string& tag) {
  std::string safe = tag;
  std::replace(safe.begin(), safe.end(), '/', '_');  // parameterised tests are "Name/0"
  const std::string path = ArtifactDir() + "/" + safe + ".png";
  SaveImage(Screenshot(), path);
  return path;
}

// ---- shared servers ----

XServer* SharedServer(int width, int height, std::string* error) {
  static std::map<std::pair<int, int>, std::unique_ptr<XServer>> servers;
  auto& slot = servers[{width, height}];
  if (!slot) {
    auto s = std::make_unique<XServer>(width, height);
    if (!s->Start(error)) return nullptr;
    slot = std::move(s);
  }
  return slot.get();
}

const std::string& ArtifactDir() {
  static const std::string dir = TempFolder::Make("pointer-e2e");
  return dir;
}

}  // namespace e2e
