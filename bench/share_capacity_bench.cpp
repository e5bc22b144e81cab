// How many viewers one machine holds before the teacher's pen slows: a pen
// stroke of mouse moves at 125 Hz through the board (its drawing, the
// watcher's note and the stream's batching, with the server's sending in
// between on the same thread), timed from each move's due time to the end
// of its handling, with 0, 25, 50, 100 ... viewers connected from a second
// process, so their own reading does not land on the board's thread.
// Prints each count's median and 99th percentile, the count past which the
// 99th percentile exceeds twice the no-viewer figure, and the server's
// memory per viewer.
//   share_capacity_bench                    the bench
//   share_capacity_bench --viewers URL N    the viewers' process
#include <sys/resource.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <QWebSocket>
#include <cstdio>
#include <fstream>
#include <memory>
#include <random>

#include "bench/share_board.h"
#include "res/resource.h"
#include "share/share_server.h"
#include "tests/share/viewer_client.h"

namespace {

constexpr int kMoveMs = 8;  // a 125 Hz mouse
constexpr int kStrokes = 10, kMovesPerStroke = 100;
const int kCounts[] = {0, 25, 50, 100, 200, 400, 800, 1600};

// Up to the hard limit: a socket is a descriptor.
void RaiseFileLimit() {
  rlimit r{};
  if (getrlimit(RLIMIT_NOFILE, &r) == 0) {
    r.rlim_cur = r.rlim_max;
    setrlimit(RLIMIT_NOFILE, &r);
  }
}

// The viewers: sockets that read every message and do nothing with it.
int Viewers(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QUrl url(QString::fromLocal8Bit(argv[2]));
  std::vector<std::unique_ptr<QWebSocket>> sockets;
  for (int i = 0, n = std::atoi(argv[3]); i < n; ++i) {
    sockets.push_back(std::make_unique<QWebSocket>());
    sockets.back()->open(url);
  }
  return app.exec();
}

double ResidentMb() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmRSS:") {
      double kb = 0;
      status >> kb;
      return kb / 1024;
    }
    status.ignore(1 << 12, '\n');
  }
  return 0;
}

// Runs the event loop until the moment given, as the program waits for
// its next input.
void RunUntil(const QElapsedTimer& clock, qint64 dueNs) {
  const qint64 left = (dueNs - clock.nsecsElapsed()) / 1000000;
  if (left > 0) {
    QEventLoop loop;
    QTimer::singleShot(int(left), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
  }
  while (clock.nsecsElapsed() < dueNs) QCoreApplication::processEvents();
}

// Milliseconds from each move's due time to the end of its handling.
std::vector<double> Strokes(CBoardWnd& board) {
  std::mt19937 random(5);
  std::vector<double> ms;
  QElapsedTimer clock;
  clock.start();
  for (int s = 0; s < kStrokes; ++s) {
    CPoint p(100 + int(random() % 600), 100 + int(random() % 600));
    board.OnLButtonDown(MK_LBUTTON, p);
    qint64 due = clock.nsecsElapsed();
    for (int i = 0; i < kMovesPerStroke; ++i) {
      due += kMoveMs * 1000000LL;
      RunUntil(clock, due);
      p.x = std::clamp(p.x + int(random() % 13) - 6, 0, 799);
      p.y = std::clamp(p.y + int(random() % 13) - 6, 0, 799);
      board.OnMouseMove(MK_LBUTTON, p);
      ms.push_back(double(clock.nsecsElapsed() - due) / 1e6);
    }
    board.OnLButtonUp(0, p);
    RunUntil(clock, clock.nsecsElapsed() + 300 * 1000000LL);
  }
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  RaiseFileLimit();
  if (argc == 4 && std::string(argv[1]) == "--viewers") return Viewers(argc, argv);
  StartShareBench(argc, argv);
  ShareBenchFrame frame;
  if (!frame.Show()) return 1;
  CBoardWnd& board = frame.m_board;
  board.OnSelectTool(ID_TOOL_PEN);
  ShareLimits limits;
  limits.maxViewers = 100000;
  limits.maxConnections = 100000;
  CShareServer server(board, limits);
  if (!ShareOnLoopback(server, "share_capacity_bench")) return 1;
  const QString url = QStringLiteral("ws://127.0.0.1:%1/%2/ws")
                          .arg(server.Port())
                          .arg(QString::fromStdString(server.JoinCode()));
  std::printf("pen stroke of %d moves at %d ms, %d strokes, viewers in a second process\n",
              kMovesPerStroke, kMoveMs, kStrokes);
  double baseline = 0, baseMb = 0, heldKb = 0;
  int held = 0;
  bool slowed = false;
  for (const int count : kCounts) {
    QProcess viewers;
    viewers.setProcessChannelMode(QProcess::ForwardedChannels);
    if (count > 0) {
      viewers.start(QCoreApplication::applicationFilePath(),
                    {"--viewers", url, QString::number(count)});
      if (!PumpUntil([&] { return server.ViewerCount() == count; }, 60000)) {
        std::printf("%5d viewers: only %d connected\n", count, server.ViewerCount());
        break;
      }
    }
    PumpUntil([] { return false; }, 1000);  // every viewer has its first picture
    const std::vector<double> ms = Strokes(board);
    const double mb = ResidentMb();
    const double p99 = Percentile(ms, 0.99);
    if (count == 0) {
      baseline = p99;
      baseMb = mb;
    }
    std::printf("%5d viewers: move due to handled median %.2f ms, p99 %.2f ms; resident %.1f MB",
                count, Percentile(ms, 0.5), p99, mb);
    const double kb = count > 0 ? (mb - baseMb) * 1024 / count : 0;
    if (count > 0) std::printf(" (%.0f KB per viewer)", kb);
    std::printf("%s\n", server.ViewerCount() < count ? "; some viewers were dropped" : "");
    viewers.kill();
    viewers.waitForFinished();
    PumpUntil([&] { return server.ViewerCount() == 0; }, 30000);
    if (count > 0 && p99 > 2 * baseline) {
      slowed = true;
      break;
    }
    held = count;
    heldKb = kb;
  }
  std::printf("viewers held before a gesture slows (p99 over twice the %.2f ms without): %s%d\n",
              baseline, slowed ? "" : "at least ", held);
  std::printf("server memory per viewer at %d viewers: %.0f KB\n", held, heldKb);
  return 0;
}
