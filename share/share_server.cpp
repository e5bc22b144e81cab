#include "share/share_server.h"

#include <QElapsedTimer>
#include <QHttpServer>
#include <QNetworkInterface>
#include <QPointer>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QWebSocket>

#include "share/board_stream.h"
#include "share/page_assets.h"

struct CShareServer::Viewer {
  std::unique_ptr<QWebSocket> socket;
  // Sent nothing yet, or skipped changes: the next message is the whole board.
  bool needsFull = true;
  // More than the allowed backlog waits to be written; how many times so.
  bool behind = false;
  int timesBehind = 0;
};

// Counts and limits connections before the HTTP server sees them: too many
// at once are refused, one that sends too much or never becomes a viewer is
// closed.
class CShareServer::Listener : public QTcpServer {
 public:
  Listener(CShareServer& owner, QObject* parent) : QTcpServer(parent), m_owner(owner) {}

 protected:
  void incomingConnection(qintptr descriptor) override {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
      delete socket;
      return;
    }
    const ShareLimits& limits = m_owner.m_limits;
    if (m_owner.m_connections >= limits.maxConnections) {
      socket->abort();
      socket->deleteLater();
      return;
    }
    ++m_owner.m_connections;
    CShareServer* owner = &m_owner;
    connect(socket, &QObject::destroyed, owner, [owner] { --owner->m_connections; });
    // Qt stops reading from the system past this, so a flood waits in the
    // kernel instead of our memory; connected before the HTTP server's own
    // handler, this sees every chunk before it is parsed.
    socket->setReadBufferSize(limits.maxRequestBytes);
    // A full buffer is a request too big to be a student's (the parser
    // leaves an unfinished one unread).
    auto received = std::make_shared<qint64>(0);
    connect(socket, &QTcpSocket::readyRead, socket, [socket, received, &limits] {
      const qint64 waiting = socket->bytesAvailable();
      *received += waiting;
      // Queued: the HTTP server's own handler of this signal still runs.
      if (*received > limits.maxRequestBytes || waiting >= limits.maxRequestBytes)
        QMetaObject::invokeMethod(socket, &QTcpSocket::abort, Qt::QueuedConnection);
    });
    QTimer::singleShot(limits.idleMs, socket, [socket, owner = QPointer(owner)] {
      if (!owner) return socket->abort();
      for (const auto& [ws, viewer] : owner->m_viewers)
        if (ws->peerPort() == socket->peerPort() && ws->peerAddress() == socket->peerAddress())
          return;
      socket->abort();
    });
    addPendingConnection(socket);
  }

 private:
  CShareServer& m_owner;
};

namespace {

// A board picture refreshed for pollers at most this often, and only while
// one polled this recently: the whole board costs the encoder far more than
// a stroke's parts.
constexpr int kSnapshotEveryMs = 500;
constexpr int kPolledWithinMs = 5000;
// A fast stroke reaches the viewers as one batch per interval.
constexpr int kBatchIntervalMs = 40;

struct Reply {
  QHttpServerResponder::StatusCode status;
  QByteArray type;
  QByteArray body;
  QByteArray cache = "no-store";
};

// Written field by field so that HEAD gets the headers GET would, without
// the body: the server's own responses always carry it.
void Answer(QHttpServerResponder& r, const QHttpServerRequest& request, const Reply& reply) {
  r.writeStatusLine(reply.status);
  r.writeHeaders({
      {"Content-Type", reply.type},
      {"Content-Length", QByteArray::number(reply.body.size())},
      {"Cache-Control", reply.cache},
      {"X-Content-Type-Options", "nosniff"},
      // The address carries the join code: it must not leak to other sites.
      {"Referrer-Policy", "no-referrer"},
      {"Content-Security-Policy",
       "default-src 'self'; img-src 'self' blob:; connect-src 'self' ws: wss:"},
  });
  // An empty body still ends the headers.
  r.writeBody(request.method() == QHttpServerRequest::Method::Head ? QByteArray() : reply.body);
}

Reply AssetReply(const PageAsset& asset) {
  return {
      QHttpServerResponder::StatusCode::Ok, QByteArray(asset.type) + "; charset=utf-8",
      QByteArray::fromRawData(reinterpret_cast<const char*>(asset.data), qsizetype(asset.size))};
}

// A page for a student who typed the address wrong (browsers show an empty
// answer as a broken page of their own).
Reply NotFound() {
  return {QHttpServerResponder::StatusCode::NotFound, "text/plain; charset=utf-8",
          QStringLiteral("地址不对：请向老师要共享地址。").toUtf8()};
}

}  // namespace

std::string NewJoinCode() {
  static constexpr char kLetters[] = "abcdefghjkmnpqrstuvwxyz23456789";
  std::string code;
  for (int i = 0; i < 10; ++i)
    code += kLetters[QRandomGenerator::system()->bounded(int(sizeof kLetters) - 1)];
  return code;
}

CShareServer::CShareServer(CBoardWnd& board, ShareLimits limits)
    : m_board(board), m_limits(limits) {
  m_snapshotTimer.setSingleShot(true);
  connect(&m_snapshotTimer, &QTimer::timeout, this, [this] { RefreshSnapshot(); });
}

CShareServer::~CShareServer() { Stop(); }

bool CShareServer::CodeMatches(const QString& code) const {
  const QByteArray given = code.toUtf8();
  if (size_t(given.size()) != m_code.size()) return false;
  // Every character is compared, so the time says nothing of a near miss.
  unsigned diff = 0;
  for (size_t i = 0; i < m_code.size(); ++i) diff |= unsigned(given[qsizetype(i)] ^ m_code[i]);
  return diff == 0;
}

bool CShareServer::Start(const QHostAddress& address, quint16 port, std::string* error,
                         const std::string& code) {
  Stop();
  m_code = code.empty() ? NewJoinCode() : code;
  auto http = std::make_unique<QHttpServer>();
  const auto getOrHead = QHttpServerRequest::Method::Get | QHttpServerRequest::Method::Head;
  for (const PageAsset& asset : PageAssets()) {
    const QString path = QStringLiteral("/<arg>/") + QString::fromLatin1(asset.name);
    http->route(path, getOrHead,
                [this, &asset](const QString& code, const QHttpServerRequest& request,
                               QHttpServerResponder&& r) {
                  Answer(r, request, CodeMatches(code) ? AssetReply(asset) : NotFound());
                });
  }
  // Answered from memory at once: the picture of the last refresh, which a
  // poll asks for when the board has changed since.
  http->route(
      "/<arg>/board.png", getOrHead,
      [this](const QString& code, const QHttpServerRequest& request, QHttpServerResponder&& r) {
        if (!CodeMatches(code)) return Answer(r, request, NotFound());
        m_lastPoll.start();
        RefreshSnapshot();
        if (m_snapshot.isEmpty())
          return Answer(
              r, request,
              {QHttpServerResponder::StatusCode::ServiceUnavailable, "text/plain; charset=utf-8",
               QStringLiteral("画面正在准备，请稍候。").toUtf8()});
        Answer(r, request,
               {QHttpServerResponder::StatusCode::Ok, "image/png", m_snapshot, "max-age=1"});
      });
  // Left unanswered, the upgrade goes on and the socket comes out of
  // nextPendingWebSocketConnection; a wrong code is answered and so refused.
  http->route("/<arg>/ws", QHttpServerRequest::Method::Get,
              [this](const QString& code, const QHttpServerRequest&, QHttpServerResponder&& r) {
                if (!CodeMatches(code)) r.write(QHttpServerResponder::StatusCode::NotFound);
              });
  auto* listener = new Listener(*this, http.get());
  if (!listener->listen(address, port)) {
    if (error) *error = listener->errorString().toStdString();
    return false;
  }
  http->bind(listener);
  connect(http.get(), &QHttpServer::newWebSocketConnection, this, [this] { AcceptViewers(); });
  m_address = address;
  m_port = listener->serverPort();
  m_http = std::move(http);
  m_stream = std::make_unique<CBoardStream>(
      m_board,
      [this](const QByteArray& full, const std::vector<QByteArray>& parts, quint64 changes) {
        Broadcast(full, parts, changes);
      },
      kBatchIntervalMs, [this] { return !m_viewers.empty() || PolledRecently(); });
  return true;
}

void CShareServer::Stop() {
  m_stream.reset();
  m_snapshotTimer.stop();
  m_snapshot.clear();
  m_snapshotTaken.invalidate();
  for (auto& [ws, viewer] : m_viewers) {
    QWebSocket* socket = viewer->socket.release();
    socket->disconnect(this);
    // The close frame needs the event loop to leave; the socket goes once
    // the page answers it, or after a while.
    connect(socket, &QWebSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(2000, socket, &QObject::deleteLater);
    socket->close(QWebSocketProtocol::CloseCode(kStoppedCloseCode), QStringLiteral("stopped"));
  }
  m_viewers.clear();
  m_http.reset();
  m_port = 0;
}

std::string CShareServer::Address() const {
  QString host = m_address.toString();
  if (m_address == QHostAddress::Any || m_address == QHostAddress::AnyIPv4) {
    host = QStringLiteral("127.0.0.1");
    for (const QHostAddress& a : QNetworkInterface::allAddresses())
      if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback()) {
        host = a.toString();
        break;
      }
  }
  return QStringLiteral("http://%1:%2/%3/")
      .arg(host)
      .arg(m_port)
      .arg(QString::fromStdString(m_code))
      .toStdString();
}

void CShareServer::AcceptViewers() {
  while (m_http) {
    std::unique_ptr<QWebSocket> socket = m_http->nextPendingWebSocketConnection();
    if (!socket) return;
    QWebSocket* ws = socket.get();
    const QString expected = QStringLiteral("/%1/ws").arg(QString::fromStdString(m_code));
    const bool wrong = ws->requestUrl().path() != expected;
    if (wrong || int(m_viewers.size()) >= m_limits.maxViewers) {
      if (wrong)
        ws->close(QWebSocketProtocol::CloseCodePolicyViolated);
      else
        ws->close(QWebSocketProtocol::CloseCode(kFullCloseCode), QStringLiteral("full"));
      socket.release()->deleteLater();
      continue;
    }
    // Students only watch: a few bytes of control frames are all they send.
    ws->setMaxAllowedIncomingFrameSize(125);
    ws->setMaxAllowedIncomingMessageSize(125);
    connect(ws, &QWebSocket::textMessageReceived, this, [this, ws] { Drop(ws); });
    connect(ws, &QWebSocket::binaryMessageReceived, this, [this, ws] { Drop(ws); });
    connect(ws, &QWebSocket::disconnected, this, [this, ws] { Drop(ws); });
    connect(ws, &QWebSocket::bytesWritten, this, [this, ws] {
      auto it = m_viewers.find(ws);
      if (it == m_viewers.end() || !it->second->behind) return;
      if (ws->bytesToWrite() > m_limits.backlogBytes) return;
      it->second->behind = false;
      it->second->needsFull = true;
      if (m_stream) m_stream->RequestFull();
    });
    auto viewer = std::make_unique<Viewer>();
    viewer->socket = std::move(socket);
    m_viewers.emplace(ws, std::move(viewer));
    if (m_stream) m_stream->RequestFull();
  }
}

void CShareServer::Send(Viewer& viewer, const QByteArray& message) {
  QWebSocket* ws = viewer.socket.get();
  if (ws->bytesToWrite() > m_limits.backlogBytes) {
    viewer.needsFull = true;
    if (!viewer.behind) {
      viewer.behind = true;
      const int times = ++viewer.timesBehind;
      // Behind all along for a while: it reads nothing, so it goes.
      // Timed on the server: a socket outlives it by the close handshake.
      QTimer::singleShot(m_limits.behindMs, this, [this, ws, guard = QPointer(ws), times] {
        if (!guard) return;
        auto it = m_viewers.find(ws);
        if (it != m_viewers.end() && it->second->behind && it->second->timesBehind == times)
          Drop(ws);
      });
    }
    return;
  }
  ws->sendBinaryMessage(message);
}

bool CShareServer::PolledRecently() const {
  return m_lastPoll.isValid() && m_lastPoll.elapsed() < kPolledWithinMs;
}

void CShareServer::RefreshSnapshot() {
  if (!m_stream || m_snapshotTimer.isActive()) return;
  if (!m_snapshot.isEmpty() && m_snapshotChanges == m_stream->Changes()) return;
  const qint64 since = m_snapshotTaken.isValid() ? m_snapshotTaken.elapsed() : kSnapshotEveryMs;
  if (since < kSnapshotEveryMs) return m_snapshotTimer.start(int(kSnapshotEveryMs - since));
  m_snapshotTaken.start();
  m_stream->RequestFull();
}

void CShareServer::Broadcast(const QByteArray& full, const std::vector<QByteArray>& parts,
                             quint64 changes) {
  if (!full.isEmpty()) {
    m_snapshot = full.mid(kFrameHeaderSize);
    m_snapshotChanges = changes;
  } else if (!parts.empty() && PolledRecently()) {
    RefreshSnapshot();
  }
  bool wantFull = false;
  for (auto& [ws, viewer] : m_viewers) {
    if (viewer->needsFull) {
      if (full.isEmpty() || viewer->behind) {
        wantFull = wantFull || !viewer->behind;
        continue;
      }
      viewer->needsFull = false;
      Send(*viewer, full);
      continue;
    }
    for (const QByteArray& part : parts) {
      Send(*viewer, part);
      if (viewer->needsFull) break;
    }
  }
  if (wantFull && m_stream) m_stream->RequestFull();
}

void CShareServer::Drop(QWebSocket* socket) {
  auto it = m_viewers.find(socket);
  if (it == m_viewers.end()) return;
  QWebSocket* ws = it->second->socket.release();
  m_viewers.erase(it);
  ws->disconnect(this);
  ws->abort();
  // It may be inside one of its own signals.
  ws->deleteLater();
}
