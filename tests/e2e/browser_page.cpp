#include "tests/e2e/browser_page.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tests/e2e/harness.h"

namespace e2e {

BrowserPage::~BrowserPage() {
  if (pid_ <= 0) return;
  Ask("quit", 100);
  close(to_);
  close(from_);
  // Chromium goes with its driver; a driver that hangs is ended.
  if (!WaitUntil([this] { return waitpid(pid_, nullptr, WNOHANG) == pid_; }, 5000)) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

bool BrowserPage::Start(std::string* error) {
  if (access(POINTER_PLAYWRIGHT_DIR "/package.json", R_OK) != 0) {
    *error =
        "playwright-core is not installed in " POINTER_PLAYWRIGHT_DIR " (scripts/test does it)";
    return false;
  }
  int in[2], out[2];
  if (pipe(in) != 0 || pipe(out) != 0) return false;
  pid_ = fork();
  if (pid_ == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    close(in[1]);
    close(out[0]);
    setenv("PLAYWRIGHT_DIR", POINTER_PLAYWRIGHT_DIR, 1);
    const std::string log = ArtifactDir() + "/browser.log";
    const int err = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (err >= 0) dup2(err, 2);
    execlp("node", "node", POINTER_VIEWER_SCRIPT, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  to_ = in[1];
  from_ = out[0];
  return pid_ > 0;
}

std::string BrowserPage::Ask(const std::string& command, int timeoutMs) {
  const std::string line = command + "\n";
  if (write(to_, line.data(), line.size()) != ssize_t(line.size())) return {};
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const size_t nl = pending_.find('\n');
    if (nl != std::string::npos) {
      std::string answer = pending_.substr(0, nl);
      pending_.erase(0, nl + 1);
      return answer;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    if (left.count() <= 0) return {};
    pollfd p{from_, POLLIN, 0};
    if (poll(&p, 1, int(left.count())) <= 0) continue;
    char buf[4096];
    const ssize_t n = read(from_, buf, sizeof buf);
    if (n <= 0) return {};
    pending_.append(buf, size_t(n));
  }
}

Picture BrowserPage::Pixels() {
  const std::string path = ArtifactDir() + "/page-" + std::to_string(pid_) + ".rgba";
  std::istringstream answer(Ask("pixels " + path));
  Picture p;
  answer >> p.width >> p.height;
  std::ifstream file(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), {});
  if (p.width <= 0 || bytes.size() != size_t(p.width) * p.height * 4) return {};
  p.pixels.reserve(size_t(p.width) * p.height);
  for (size_t i = 0; i < bytes.size(); i += 4)
    p.pixels.push_back(RGB(uint8_t(bytes[i]), uint8_t(bytes[i + 1]), uint8_t(bytes[i + 2])));
  return p;
}

}  // namespace e2e
