#pragma once
// Serves the board to students' browsers on the local network: one page, a
// WebSocket that carries the board's pictures and, for those who find the
// room full, the whole board as one picture to poll. Everything needs the join
// code in the address; nothing from the disk is served, and nothing a
// student sends changes the board.
#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QTimer>
#include <map>
#include <memory>
#include <string>

class CBoardWnd;
class CBoardStream;
class QHttpServer;
class QWebSocket;

// The port --share uses when none is given.
constexpr quint16 kDefaultSharePort = 8765;

struct ShareLimits {
  int maxViewers = 100;         // open WebSockets
  int maxConnections = 200;     // TCP connections of any kind
  int maxRequestBytes = 16384;  // everything one connection may send
  int idleMs = 10000;           // a connection that never becomes a viewer
  int behindMs = 15000;         // a viewer that reads nothing is dropped
  // Bytes a viewer may have waiting beyond the message being sent; past it
  // the viewer skips changes and gets the whole board once it has read.
  qint64 backlogBytes = 256 * 1024;
};

class CShareServer : public QObject {
 public:
  explicit CShareServer(CBoardWnd& board, ShareLimits limits = {});
  ~CShareServer() override;

  // Listens on address:port (port 0: any free one) with the join code
  // given, or a fresh one; false, with the reason in *error, when it cannot.
  bool Start(const QHostAddress& address, quint16 port, std::string* error,
             const std::string& code = {});
  // Tells every page that sharing stopped and closes every connection.
  void Stop();
  quint16 Port() const { return m_port; }
  const std::string& JoinCode() const { return m_code; }
  // What students open: http://host:port/code/ with host the first
  // non-loopback IPv4 address of this machine (or the listening address).
  std::string Address() const;
  int ViewerCount() const { return int(m_viewers.size()); }
  int ConnectionCount() const { return m_connections; }

  // The WebSocket close codes that say the teacher stopped sharing, and
  // that every seat is taken (the page then polls board.png).
  static constexpr int kStoppedCloseCode = 4000;
  static constexpr int kFullCloseCode = 4001;

 private:
  struct Viewer;
  class Listener;
  bool CodeMatches(const QString& code) const;
  void AcceptViewers();
  void Broadcast(const QByteArray& full, const std::vector<QByteArray>& parts, quint64 changes);
  void RefreshSnapshot();
  bool PolledRecently() const;
  void Send(Viewer& viewer, const QByteArray& message);
  void Drop(QWebSocket* socket);

  CBoardWnd& m_board;
  ShareLimits m_limits;
  QHostAddress m_address;
  quint16 m_port = 0;
  std::string m_code;
  std::unique_ptr<QHttpServer> m_http;
  std::unique_ptr<CBoardStream> m_stream;
  std::map<QWebSocket*, std::unique_ptr<Viewer>> m_viewers;
  int m_connections = 0;
  // The whole board as PNG for pages that poll, and the count of board
  // changes it shows; kept fresh only while someone polls.
  QByteArray m_snapshot;
  quint64 m_snapshotChanges = 0;
  QElapsedTimer m_lastPoll, m_snapshotTaken;
  QTimer m_snapshotTimer;
};

// A fresh random join code: 10 letters and digits that cannot be mistaken
// for one another.
std::string NewJoinCode();
