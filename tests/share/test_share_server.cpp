#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRandomGenerator>
#include <QTcpSocket>
#include <memory>

#include "share/board_stream.h"
#include "share/share_server.h"
#include "tests/share/viewer_client.h"
#include "tests/support/board_fixture.h"

namespace {

class ShareTest : public BoardTest {
 protected:
  void SetUp() override {
    BoardTest::SetUp();
    Start({});
  }
  void TearDown() override {
    m_server.reset();
    PumpUntil([] { return false; }, 50);
    BoardTest::TearDown();
  }
  void Start(ShareLimits limits) {
    m_server = std::make_unique<CShareServer>(Board(), limits);
    std::string error;
    ASSERT_TRUE(m_server->Start(QHostAddress::LocalHost, 0, &error)) << error;
  }
  std::string Host() const { return "http://127.0.0.1:" + std::to_string(m_server->Port()); }
  // The join code with one letter changed.
  std::string WrongCode() const {
    std::string wrong = m_server->JoinCode();
    wrong.back() = wrong.back() == 'z' ? 'y' : 'z';
    return wrong;
  }
  std::string Base() const { return Host() + "/" + m_server->JoinCode() + "/"; }
  QByteArray Path() const { return "/" + QByteArray::fromStdString(m_server->JoinCode()) + "/"; }
  std::string SocketUrl(const std::string& code) const {
    return "ws://127.0.0.1:" + std::to_string(m_server->Port()) + "/" + code + "/ws";
  }
  std::string SocketUrl() const { return SocketUrl(m_server->JoinCode()); }
  // The request a page's WebSocket opens with.
  QByteArray Upgrade() const {
    return "GET " + Path() +
           "ws HTTP/1.1\r\nHost: x\r\nUpgrade: websocket\r\nConnection: "
           "Upgrade\r\n"
           "Sec-WebSocket-Key: "
           "dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n";
  }

  // Status and body of a request; status 0 when no answer came.
  std::pair<int, QByteArray> Get(const std::string& url, const QByteArray& method = "GET",
                                 QByteArray* cacheControl = nullptr) {
    QNetworkAccessManager net;
    QNetworkRequest request{QUrl(QString::fromStdString(url))};
    // As a custom verb, HEAD would wait for the body its length announces.
    QNetworkReply* reply =
        method == "HEAD" ? net.head(request) : net.sendCustomRequest(request, method);
    PumpUntil([reply] { return reply->isFinished(); });
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray body = reply->readAll();
    if (cacheControl) *cacheControl = reply->rawHeader("Cache-Control");
    delete reply;
    return {status, body};
  }

  // Sends bytes on a connection of its own; what came back before the
  // server closed it (or waitMs passed).
  QByteArray Raw(const QByteArray& bytes, int waitMs = 2000, bool* closed = nullptr) {
    QTcpSocket s;
    s.connectToHost(QHostAddress::LocalHost, m_server->Port());
    PumpUntil([&s] { return s.state() == QAbstractSocket::ConnectedState; });
    s.write(bytes);
    QByteArray answer;
    PumpUntil(
        [&] {
          answer += s.readAll();
          return s.state() == QAbstractSocket::UnconnectedState;
        },
        waitMs);
    if (closed) *closed = s.state() == QAbstractSocket::UnconnectedState;
    return answer;
  }

  static void DrawLine(CPoint a, CPoint b, COLORREF color) {
    CClientDC dc(&Board());
    CPen pen(PS_SOLID, 3, color);
    CSelectScope<CPen> select(dc, &pen);
    dc.MoveTo(a.x, a.y);
    dc.LineTo(b.x, b.y);
  }
  static bool Mirrors(TestViewer& v) {
    return PumpUntil([&v] { return CountDifferences(v.mirror, Snap()) == 0; });
  }

  std::unique_ptr<CShareServer> m_server;
};

TEST_F(ShareTest, ServesThePageAndItsAssetsOnlyUnderTheJoinCodeAndHeadWithoutTheBody) {
  auto [status, body] = Get(Base());
  EXPECT_EQ(status, 200);
  EXPECT_TRUE(body.contains("<canvas id=\"board\""));
  for (const char* asset : {"page.js", "page.css"}) EXPECT_EQ(Get(Base() + asset).first, 200);
  for (const std::string& url :
       {Host() + "/", Host() + "/" + WrongCode() + "/", Host() + "/" + WrongCode() + "/page.js",
        Host() + "/" + m_server->JoinCode(), Base() + "index.html", Base() + "../../etc/passwd",
        Base() + "page.js/x", Host() + "/etc/passwd"})
    EXPECT_EQ(Get(url).first, 404) << url;
  EXPECT_EQ(Get(Base(), "POST").first, 404);

  // HEAD answers as GET without the body, so the connection goes on.
  const QByteArray answer = Raw("HEAD " + Path() + " HTTP/1.1\r\nHost: x\r\n\r\nGET " + Path() +
                                    "page.css HTTP/1.1\r\nHost: x\r\n\r\n",
                                500);
  EXPECT_TRUE(answer.startsWith("HTTP/1.1 200"));
  EXPECT_TRUE(answer.contains("Content-Length: " + QByteArray::number(body.size()) + "\r\n"));
  EXPECT_FALSE(answer.contains("<canvas"));
  // The next answer starts right after the first one's headers.
  const qsizetype second = answer.indexOf("\r\n\r\nHTTP/1.1 200");
  ASSERT_GT(second, 0);
  EXPECT_TRUE(answer.mid(second).contains("#board"));
  EXPECT_EQ(Get(Base() + "board.png", "HEAD").first, 503);  // not polled before
  EXPECT_EQ(Get(Host() + "/" + WrongCode() + "/", "HEAD").first, 404);
}

TEST_F(ShareTest, ThePolledPictureIsTheWholeBoardOnlyUnderTheJoinCode) {
  auto showsTheBoard = [this] {
    return PumpUntil([this] {
      QByteArray cache;
      auto [status, png] = Get(Base() + "board.png", "GET", &cache);
      Picture p;
      return status == 200 && cache == "max-age=1" &&
             plat::DecodePng(png.toStdString(), &p.width, &p.height, &p.pixels) &&
             CountDifferences(p, Snap()) == 0;
    });
  };
  DrawLine({10, 10}, {300, 200}, RGB(255, 0, 0));
  EXPECT_TRUE(showsTheBoard());
  DrawLine({10, 700}, {700, 10}, RGB(0, 0, 255));
  EXPECT_TRUE(showsTheBoard()) << "after a change";
  EXPECT_EQ(Get(Host() + "/" + WrongCode() + "/board.png").first, 404);
}

// Every viewer in the room follows the board; the one past the limit hears
// the room is full.
TEST_F(ShareTest, AViewerPastTheLimitHearsTheRoomIsFull) {
  Start({.maxViewers = 2});
  TestViewer a(SocketUrl()), b(SocketUrl());
  ASSERT_TRUE(Mirrors(a) && Mirrors(b));
  TestViewer late(SocketUrl());
  ASSERT_TRUE(PumpUntil([&] { return late.closed; }));
  EXPECT_EQ(std::tuple(late.closeCode, late.messages, m_server->ViewerCount()),
            std::tuple(CShareServer::kFullCloseCode, 0, 2));
  DrawLine({0, 0}, {799, 799}, RGB(0, 128, 0));
  EXPECT_TRUE(Mirrors(a) && Mirrors(b));
}

TEST_F(ShareTest, ALateViewerSeesTheWholeBoardAndThenEveryChange) {
  DrawLine({10, 10}, {300, 200}, RGB(255, 0, 0));
  TestViewer v(SocketUrl());
  ASSERT_TRUE(Mirrors(v));

  // A fast stroke: many changes between two batches become few messages.
  const int before = v.messages;
  for (int i = 0; i < 200; ++i) DrawLine({20 + i, 300}, {21 + i, 302 + i % 7}, RGB(0, 0, 255));
  ASSERT_TRUE(Mirrors(v));
  EXPECT_LT(v.messages - before, 20);

  Board().OnClearAll();
  EXPECT_TRUE(Mirrors(v));
  EXPECT_EQ(std::pair(v.badMessages, v.fulls), std::pair(0, 1));
}

TEST_F(ShareTest, ChangesNobodyWatchesAreNotEncodedButAWholeBoardAskedForIs) {
  m_server.reset();  // the board has one watcher
  bool watched = false;
  int parts = 0, fulls = 0;
  CBoardStream stream(
      Board(),
      [&](const QByteArray& full, const std::vector<QByteArray>& p, quint64) {
        parts += int(p.size()), fulls += !full.isEmpty();
      },
      40, [&] { return watched; });
  DrawLine({10, 10}, {100, 100}, RGB(255, 0, 0));
  PumpUntil([] { return false; }, 150);
  EXPECT_EQ(parts, 0);
  stream.RequestFull();
  EXPECT_TRUE(PumpUntil([&] { return fulls == 1; }));
  watched = true;
  DrawLine({10, 100}, {100, 10}, RGB(255, 0, 0));
  EXPECT_TRUE(PumpUntil([&] { return parts > 0; }));
}

TEST_F(ShareTest, ASocketWithoutTheJoinCodeIsRefusedAndAViewerThatSendsAnythingIsDropped) {
  TestViewer bad(SocketUrl(WrongCode()));
  TestViewer none("ws://127.0.0.1:" + std::to_string(m_server->Port()) + "/ws");
  EXPECT_TRUE(PumpUntil([&] { return bad.closed && none.closed; }));
  DrawLine({5, 5}, {50, 50}, RGB(1, 2, 3));
  PumpUntil([] { return false; }, 200);
  EXPECT_EQ(std::pair(bad.messages + none.messages, m_server->ViewerCount()), std::pair(0, 0));

  // The board stays untouched.
  TestViewer v(SocketUrl());
  ASSERT_TRUE(Mirrors(v));
  const Picture before = Snap();
  v.Socket().sendTextMessage("{\"undo\":1}");
  EXPECT_TRUE(PumpUntil([&v] { return v.closed; }));
  EXPECT_EQ(std::pair(CountDifferences(before, Snap()), m_server->ViewerCount()), std::pair(0, 0));
}

TEST_F(ShareTest, StoppingTellsEveryPageThatSharingStopped) {
  TestViewer a(SocketUrl()), b(SocketUrl());
  ASSERT_TRUE(Mirrors(a) && Mirrors(b));
  const quint16 port = m_server->Port();
  m_server->Stop();
  EXPECT_TRUE(PumpUntil([&] { return a.closed && b.closed; }));
  EXPECT_EQ(std::pair(a.closeCode, b.closeCode),
            std::pair(CShareServer::kStoppedCloseCode, CShareServer::kStoppedCloseCode));
  // Nothing listens any more.
  QTcpSocket s;
  s.connectToHost(QHostAddress::LocalHost, port);
  EXPECT_FALSE(s.waitForConnected(1000));
}

TEST_F(ShareTest, MalformedAndOversizedRequestsGetNothingButAnErrorOrAClose) {
  // What each sends, and whether it is upgraded to a WebSocket first.
  const std::tuple<const char*, QByteArray, bool> requests[] = {
      {"garbage", QByteArray("\x00\xff\x13 garbage\r\n\r\n", 15), false},
      {"a huge header",
       "GET " + Path() + " HTTP/1.1\r\nHost: x\r\nX-Big: " + QByteArray(100000, 'a') + "\r\n\r\n",
       false},
      {"a huge body",
       "POST " + Path() + " HTTP/1.1\r\nHost: x\r\nContent-Length: 50000000\r\n\r\n" +
           QByteArray(200000, 'b'),
       false},
      {"a broken WebSocket frame",
       Upgrade() + QByteArray("\x8f\xff\xff\xff\xff\xff\xff\xff\xff\xff\x00\x00\x00\x00", 14) +
           QByteArray(5000, 'c'),
       true}};
  for (const auto& [what, request, upgraded] : requests) {
    bool closed = false;
    const QByteArray answer = Raw(request, 3000, &closed);
    EXPECT_TRUE(closed) << what;
    EXPECT_EQ(answer.startsWith("HTTP/1.1 101"), upgraded) << what;
    EXPECT_FALSE(answer.contains("<canvas")) << what;
  }
  // The server still serves a proper viewer.
  TestViewer v(SocketUrl());
  EXPECT_TRUE(Mirrors(v));
}

TEST_F(ShareTest, ConnectionsPastTheLimitAreRefusedAndIdleOnesClosed) {
  Start({.maxConnections = 20, .idleMs = 400});
  std::vector<std::unique_ptr<QTcpSocket>> idle;
  for (int i = 0; i < 2000; ++i) {
    idle.push_back(std::make_unique<QTcpSocket>());
    idle.back()->connectToHost(QHostAddress::LocalHost, m_server->Port());
  }
  auto open = [&idle] {
    return int(std::count_if(idle.begin(), idle.end(), [](const auto& s) {
      return s->state() == QAbstractSocket::ConnectedState;
    }));
  };
  EXPECT_TRUE(PumpUntil([&] { return open() <= 20 && m_server->ConnectionCount() == 20; }, 3000));
  DrawLine({100, 100}, {200, 100}, RGB(9, 9, 9));
  EXPECT_TRUE(PumpUntil([&] { return open() == 0 && m_server->ConnectionCount() == 0; }));
  TestViewer v(SocketUrl());
  EXPECT_TRUE(Mirrors(v));
  PumpUntil([] { return false; }, 600);
  EXPECT_FALSE(v.closed) << "a viewer is no idle connection";
}

TEST_F(ShareTest, AViewerThatNeverReadsIsDroppedWhileOthersFollow) {
  Start({.behindMs = 3000, .backlogBytes = 64 * 1024});
  QTcpSocket stalled;
  stalled.setReadBufferSize(1);
  stalled.connectToHost(QHostAddress::LocalHost, m_server->Port());
  ASSERT_TRUE(PumpUntil([&] { return stalled.state() == QAbstractSocket::ConnectedState; }));
  stalled.write(Upgrade());
  ASSERT_TRUE(PumpUntil([&] { return m_server->ViewerCount() == 1; }));
  TestViewer good(SocketUrl());
  ASSERT_TRUE(Mirrors(good));

  // Pictures that do not compress, until the stalled viewer is let go.
  QRandomGenerator random(7);
  CClientDC dc(&Board());
  bool dropped = false;
  for (int round = 0; round < 200 && !dropped; ++round) {
    for (int y = 0; y < 800; y += 2)
      for (int x = 0; x < 800; x += 2) {
        const CRect r(x, y, x + 2, y + 1);
        dc.FillSolidRect(&r, random.generate() & 0xFFFFFF);
      }
    dropped = PumpUntil([&] { return m_server->ViewerCount() == 1; }, 100);
  }
  EXPECT_TRUE(dropped);
  EXPECT_TRUE(Mirrors(good));
}

}  // namespace
