// Sharing the board: how long a change takes to reach the viewers' pixels
// (p50/p99 with 1 and 40 viewers) and how many bytes a viewer receives in a
// typical five-minute lesson. Offscreen; the viewers are WebSocket clients
// in this process that decode every PNG, as a page does.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#include "bench/share_board.h"
#include "platform/pixel_block.h"
#include "share/board_stream.h"
#include "share/share_server.h"
#include "tests/share/viewer_client.h"

namespace {

void Latency(CBoardWnd& board, CShareServer& server, int viewers) {
  const std::string url =
      "ws://127.0.0.1:" + std::to_string(server.Port()) + "/" + server.JoinCode() + "/ws";
  std::vector<std::unique_ptr<TestViewer>> clients;
  for (int i = 0; i < viewers; ++i) clients.push_back(std::make_unique<TestViewer>(url));
  PumpUntil([&] {
    return std::all_of(clients.begin(), clients.end(), [](auto& c) { return c->fulls > 0; });
  });
  std::mt19937 random(1);
  std::vector<double> ms;
  for (int round = 0; round < 100; ++round) {
    std::vector<int> before;
    for (auto& c : clients) before.push_back(c->messages);
    std::vector<bool> done(clients.size(), false);
    const int x = int(random() % 700), y = int(random() % 700);
    QElapsedTimer t;
    t.start();
    ShareBenchLine(board, x, y, x + 60, y + 40, RGB(random() % 256, 0, 0));
    size_t left = clients.size();
    while (left > 0 && t.elapsed() < 5000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
      for (size_t i = 0; i < clients.size(); ++i)
        if (!done[i] && clients[i]->messages > before[i]) {
          done[i] = true;
          --left;
          ms.push_back(double(t.nsecsElapsed()) / 1e6);
        }
    }
    // The next change comes after a pause, as a teacher's next line does.
    PumpUntil([] { return false; }, 60);
  }
  std::printf("change to viewer pixels, %2d viewer(s): p50 %.1f ms  p99 %.1f ms  (%zu samples)\n",
              viewers, Percentile(ms, 0.5), Percentile(ms, 0.99), ms.size());
}

// Forty one-second strokes of sixty moves, three undos (a repaint of the
// whole board each) and a clear all: a busy five minutes, its pauses left
// out since they send nothing.
void Lesson(CBoardWnd& board, CShareServer& server) {
  qint64 bytes = 0;
  TestViewer v("ws://127.0.0.1:" + std::to_string(server.Port()) + "/" + server.JoinCode() + "/ws");
  QObject::connect(&v.Socket(), &QWebSocket::binaryMessageReceived,
                   [&bytes](const QByteArray& m) { bytes += m.size(); });
  PumpUntil([&] { return v.fulls > 0; });
  std::mt19937 random(2);
  for (int stroke = 0; stroke < 40; ++stroke) {
    int x = 50 + int(random() % 600), y = 50 + int(random() % 600);
    for (int i = 0; i < 60; ++i) {
      const int nx = std::clamp(x + int(random() % 11) - 5, 0, 799);
      const int ny = std::clamp(y + int(random() % 11) - 5, 0, 799);
      ShareBenchLine(board, x, y, nx, ny, RGB(0, 0, 200));
      x = nx;
      y = ny;
      PumpUntil([] { return false; }, 16);
    }
    if (stroke % 13 == 12) {
      board.Invalidate(true);
      board.UpdateWindow();
    }
  }
  // Clear all: the whole board repainted with the background.
  {
    CClientDC dc(&board);
    const RECT all{0, 0, 800, 800};
    dc.FillSolidRect(&all, RGB(255, 255, 255));
  }
  PumpUntil([] { return false; }, 300);
  std::printf("bytes per viewer, five-minute lesson: %.2f MB (%lld messages)\n",
              double(bytes) / 1e6, static_cast<long long>(v.messages));
}

}  // namespace

int main(int argc, char** argv) {
  StartShareBench(argc, argv);
  ShareBenchFrame frame;
  if (!frame.Show()) return 1;
  CShareServer server(frame.m_board);
  if (!ShareOnLoopback(server, "share_bench")) return 1;
  RECT rc;
  frame.m_board.GetClientRect(&rc);
  std::printf("board %ld x %ld, batches every 40 ms\n", long(rc.right), long(rc.bottom));
  Latency(frame.m_board, server, 1);
  Latency(frame.m_board, server, 40);
  Lesson(frame.m_board, server);
  return 0;
}
