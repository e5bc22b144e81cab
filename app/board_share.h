#pragma once
// Sharing the board with the class, as the teacher sees it: started from
// the command line or a command, announced on standard output, and shown
// on the board by a small mark that opens to the address and its QR code.
#include <memory>
#include <string>

class CBoardWnd;
class CShareMark;
class CShareServer;

class CBoardShare {
 public:
  explicit CBoardShare(CBoardWnd& board);
  ~CBoardShare();

  // Starts sharing on host:port (an empty host: every interface; port 0:
  // any free one) and prints the address; false, with the reason in
  // *error, when it cannot.
  bool Start(const std::string& host, unsigned port, std::string* error);
  void Stop();
  bool IsSharing() const { return m_server != nullptr; }
  // The commands: sharing on (where it was last, else on the default
  // port) or off; the address shown or hidden.
  void OnShare();
  void OnShareAddress();

 private:
  CBoardWnd& m_board;
  std::unique_ptr<CShareServer> m_server;
  std::unique_ptr<CShareMark> m_mark;
  // Kept for the whole run: pages left open find the board again when
  // sharing is turned on once more.
  std::string m_code;
  std::string m_host;
  unsigned m_port = 0;
};

// Splits "PORT", "HOST:PORT" or "" (the default port); false when it is
// neither.
bool ParseShareTarget(const std::string& text, std::string* host, unsigned* port);
