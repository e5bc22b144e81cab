#include "platform/session.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>

// X11 last: its macros would clash with other names.
#include <X11/Xlib.h>

namespace plat {

namespace {

const char* Env(const char* name) {
  const char* v = std::getenv(name);
  return v && *v ? v : nullptr;
}

// The display the program would open, without its screen number: ":1" and
// ":1.0" are the same board.
std::string DisplayKey() {
  std::string display = Env("DISPLAY") ? Env("DISPLAY") : "";
  const std::size_t colon = display.rfind(':');
  const std::size_t dot = display.find('.', colon == std::string::npos ? 0 : colon);
  if (colon != std::string::npos && dot != std::string::npos) display.resize(dot);
  return display;
}

}  // namespace

std::string DisplayProblem() {
  const char* platform = Env("QT_QPA_PLATFORM");
  if (platform && std::strncmp(platform, "xcb", 3) != 0) return {};
  const char* name = Env("DISPLAY");
  if (!name) return "no display: DISPLAY is not set";
  Display* d = XOpenDisplay(name);
  if (!d) return std::string("cannot open display '") + name + "'";
  const int depth = DefaultDepth(d, DefaultScreen(d));
  XCloseDisplay(d);
  if (depth < 15)
    return "display '" + std::string(name) + "' has " + std::to_string(depth) +
           " bits per pixel; at least 15 are needed";
  return {};
}

bool TakeInstanceLock() {
  // A socket in the abstract namespace: binding is atomic, and the name is
  // free again the moment the process ends, however it ends.
  static int held = -1;
  if (held >= 0) return true;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return true;  // no lock to take: do not refuse to start
  const std::string name = "pointer-instance-" + std::to_string(::getuid()) + "-" + DisplayKey();
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const std::size_t length = std::min(name.size(), sizeof addr.sun_path - 1);
  std::memcpy(addr.sun_path + 1, name.data(), length);
  const socklen_t size = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + length);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), size) != 0) {
    const bool taken = errno == EADDRINUSE;
    ::close(fd);
    return !taken;
  }
  held = fd;
  return true;
}

}  // namespace plat
