// Sharing the board with real browsers: how long a change on the board takes
// to reach the canvas of students' pages in Debian's chromium, median and
// 99th percentile with 1 and with 40 pages. The board and its server run in
// this process, offscreen; the pages in one headless chromium driven by
// bench/share_pages.mjs. The two ends share the machine's wall clock:
// CLOCK_REALTIME here, performance.timeOrigin + performance.now() in the
// page, checked in the page against Date.now() (the system's wall clock).
#include <QEventLoop>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <random>
#include <set>
#include <sstream>

#include "bench/share_board.h"
#include "share/share_server.h"
#include "tests/share/viewer_client.h"

namespace {

constexpr int kProbeX = 400, kProbeY = 300;
constexpr int kRounds = 80;
// Changes before the timed ones: the pages' first pictures warm up the
// browser's decoders and compiled script, as a lesson's first minute does.
constexpr int kWarmupRounds = 10;
constexpr int kRoundMs = 250;  // a teacher's next line comes after a pause

double WallMs() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// Runs the program's own event loop, as the board does between changes.
void Idle(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

class Pages {
 public:
  bool Start(const std::string& url, int count) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PLAYWRIGHT_DIR", POINTER_PLAYWRIGHT_DIR);
    m_node.setProcessEnvironment(env);
    m_node.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_node.start("node", {POINTER_PAGES_SCRIPT, QString::fromStdString(url), QString::number(count),
                          QString::number(kProbeX), QString::number(kProbeY)});
    return m_node.waitForStarted(5000) && Line(120000) == "ready";
  }
  ~Pages() {
    Say("quit");
    if (m_node.waitForFinished(20000)) return;
    m_node.kill();
    m_node.waitForFinished();
  }
  void Say(const std::string& line) { m_node.write(QByteArray::fromStdString(line + "\n")); }
  // The next answer line; "" after ms.
  std::string Line(int ms = 30000) {
    PumpUntil([this] { return m_node.canReadLine() || m_node.state() != QProcess::Running; }, ms);
    return m_node.canReadLine() ? m_node.readLine().trimmed().toStdString() : std::string();
  }

 private:
  QProcess m_node;
};

void Run(CBoardWnd& board, CShareServer& server, int count) {
  Pages pages;
  if (!pages.Start(server.Address(), count)) {
    std::printf("%d page(s): chromium did not show the board\n", count);
    return;
  }
  pages.Say("clock");
  std::istringstream clock(pages.Line());
  std::string word;
  double offset = 0;
  clock >> word >> offset;
  std::mt19937 random(3);
  constexpr int kAll = kWarmupRounds + kRounds;
  std::vector<double> changedAt(kAll + 1);
  for (int k = 1; k <= kAll; ++k) {
    const int dx = 10 + int(random() % 50), dy = 10 + int(random() % 50);
    changedAt[size_t(k)] = WallMs();
    ShareBenchLine(board, kProbeX - dx, kProbeY - dy, kProbeX + dx, kProbeY + dy, RGB(k, 17, 200));
    Idle(kRoundMs);
  }
  Idle(1000);
  pages.Say("collect");
  std::vector<double> ms;
  // Per change, its first and its last page: how much the pages wait for
  // one another on the machine's cores.
  std::vector<double> first(kAll + 1, 1e9), last(kAll + 1, 0);
  std::set<std::pair<int, int>> seen;
  for (std::string line = pages.Line(); !line.empty() && line != "done"; line = pages.Line()) {
    std::istringstream in(line);
    std::string word;
    int page = 0, r = 0, g = 0, b = 0;
    double t = 0;
    in >> word >> page >> r >> g >> b >> t;
    if (word != "seen" || g != 17 || b != 200 || r <= kWarmupRounds || r > kAll) continue;
    if (!seen.insert({page, r}).second) continue;
    const double took = t - changedAt[size_t(r)];
    ms.push_back(took);
    first[size_t(r)] = std::min(first[size_t(r)], took);
    last[size_t(r)] = std::max(last[size_t(r)], took);
  }
  first.erase(first.begin(), first.begin() + kWarmupRounds + 1);
  last.erase(last.begin(), last.begin() + kWarmupRounds + 1);
  std::printf(
      "board change to canvas pixels in chromium, %2d page(s): median %.1f ms, p99 %.1f ms "
      "(%zu of %d changes seen; page clock %+.2f ms from the system's)\n",
      count, Percentile(ms, 0.5), Percentile(ms, 0.99), ms.size(), count * kRounds, offset);
  if (count > 1)
    std::printf("  the first page to show a change: median %.1f ms; the last: median %.1f ms\n",
                Percentile(first, 0.5), Percentile(last, 0.5));
}

}  // namespace

int main(int argc, char** argv) {
  StartShareBench(argc, argv);
  ShareBenchFrame frame;
  if (!frame.Show()) return 1;
  CShareServer server(frame.m_board);
  if (!ShareOnLoopback(server, "share_browser_bench")) return 1;
  RECT rc;
  frame.m_board.GetClientRect(&rc);
  std::printf("board %ld x %ld, a change every %d ms\n", long(rc.right), long(rc.bottom), kRoundMs);
  Run(frame.m_board, server, 1);
  Run(frame.m_board, server, 40);
  return 0;
}
