#pragma once
// A viewer as a student's page is one: a WebSocket client that puts every
// picture it receives into a mirror of the board.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QWebSocket>
#include <functional>
#include <string>

#include "platform/pixel_block.h"
#include "share/board_stream.h"
#include "tests/support/picture.h"

// Runs the event loop until done() or ms pass; done()'s last answer.
inline bool PumpUntil(const std::function<bool()>& done, int ms = 15000) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
  return true;
}

class TestViewer {
 public:
  explicit TestViewer(const std::string& url) {
    QObject::connect(&m_ws, &QWebSocket::binaryMessageReceived,
                     [this](const QByteArray& m) { Apply(m); });
    QObject::connect(&m_ws, &QWebSocket::disconnected, [this] {
      closed = true;
      closeCode = int(m_ws.closeCode());
    });
    m_ws.open(QUrl(QString::fromStdString(url)));
  }
  QWebSocket& Socket() { return m_ws; }

  Picture mirror;
  int messages = 0, fulls = 0, badMessages = 0;
  bool closed = false;
  int closeCode = -1;

 private:
  void Apply(const QByteArray& m) {
    ++messages;
    int w = 0, h = 0;
    std::vector<COLORREF> px;
    if (m.size() < kFrameHeaderSize ||
        !plat::DecodePng(m.mid(kFrameHeaderSize).toStdString(), &w, &h, &px)) {
      ++badMessages;
      return;
    }
    auto u16 = [&m](int at) { return int(uchar(m[at])) | int(uchar(m[at + 1])) << 8; };
    if (m[0] == 'F') ++fulls;
    const int bw = u16(1), bh = u16(3), x = u16(5), y = u16(7);
    if (mirror.width != bw || mirror.height != bh)
      mirror = Picture{bw, bh, std::vector<COLORREF>(size_t(bw) * bh, 0)};
    for (int j = 0; j < h && y + j < bh; ++j)
      for (int i = 0; i < w && x + i < bw; ++i)
        mirror.pixels[size_t(y + j) * bw + x + i] = px[size_t(j) * w + i];
  }
  QWebSocket m_ws;
};
