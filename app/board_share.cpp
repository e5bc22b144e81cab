#include "app/board_share.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "board/board_wnd.h"
#include "platform/codepage.h"
#include "res/resource.h"
#include "share/qr_code.h"
#include "share/share_server.h"

namespace {
constexpr int kModule = 4;  // screen pixels per QR module
constexpr int kQuiet = 4;   // light modules around the code
constexpr int kMarkW = 64, kMarkH = 20;
}  // namespace

// A child of the board, so it is never part of the board's own pixels and
// students do not see it. A click opens or closes the address.
class CShareMark : public CWnd {
 public:
  bool Create(CBoardWnd& board, std::string address) {
    m_address = std::move(address);
    m_qr = MakeQrCode(m_address);
    if (!CreateEx(0, WS_CHILD, std::string(), &board, CRect(0, 0, kMarkW, kMarkH), IDC_SHARE_MARK))
      return false;
    Place();
    ShowWindow(SW_SHOW);
    return true;
  }
  void SetOpen(bool open) {
    m_open = open;
    Place();
    Invalidate(true);
  }
  bool IsOpen() const { return m_open; }

  bool OnEraseBkgnd(CDC*) override { return true; }
  void OnPaint() override {
    CPaintDC dc(this);
    RECT rc;
    GetClientRect(&rc);
    dc.FillSolidRect(&rc, RGB(40, 40, 40));
    const CRect dot(6, 6, 14, 14);
    dc.FillSolidRect(&dot, RGB(0, 200, 80));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(255, 255, 255));
    dc.TextOut(20, 3, GBK("共享中"));
    if (!m_open) return;
    dc.TextOut(6, kMarkH + 2, m_address);
    const int side = (m_qr.size + 2 * kQuiet) * kModule;
    const int left = 6, top = kMarkH + 24;
    const CRect quiet(left, top, left + side, top + side);
    dc.FillSolidRect(&quiet, RGB(255, 255, 255));
    for (int y = 0; y < m_qr.size; ++y)
      for (int x = 0; x < m_qr.size; ++x)
        if (m_qr.Dark(x, y)) {
          const int px = left + (kQuiet + x) * kModule, py = top + (kQuiet + y) * kModule;
          const CRect module(px, py, px + kModule, py + kModule);
          dc.FillSolidRect(&module, RGB(0, 0, 0));
        }
  }
  void OnLButtonUp(UINT, CPoint) override { SetOpen(!m_open); }

 private:
  // Bottom left of the board, out of the way of the bars.
  void Place() {
    RECT board;
    GetParent()->GetClientRect(&board);
    int w = kMarkW, h = kMarkH;
    if (m_open) {
      const int side = (m_qr.size + 2 * kQuiet) * kModule;
      w = std::max(side, int(m_address.size()) * 8) + 12;
      h = kMarkH + 24 + side + 6;
    }
    MoveWindow(6, board.bottom - h - 6, w, h);
  }

  std::string m_address;
  QrCode m_qr;
  bool m_open = false;
};

bool ParseShareTarget(const std::string& text, std::string* host, unsigned* port) {
  *host = {};
  *port = kDefaultSharePort;
  if (text.empty()) return true;
  const size_t colon = text.rfind(':');
  std::string digits = text;
  if (colon != std::string::npos) {
    *host = text.substr(0, colon);
    digits = text.substr(colon + 1);
    if (host->empty() || QHostAddress(QString::fromStdString(*host)).isNull()) return false;
  }
  char* end = nullptr;
  const long n = std::strtol(digits.c_str(), &end, 10);
  if (digits.empty() || *end || n < 0 || n > 65535) return false;
  *port = unsigned(n);
  return true;
}

CBoardShare::CBoardShare(CBoardWnd& board) : m_board(board) {
  board.OnCommand(ID_SHARE, [this] { OnShare(); });
  board.OnCommand(ID_SHARE_ADDRESS, [this] { OnShareAddress(); });
}

CBoardShare::~CBoardShare() { Stop(); }

bool CBoardShare::Start(const std::string& host, unsigned port, std::string* error) {
  Stop();
  auto server = std::make_unique<CShareServer>(m_board);
  const QHostAddress address =
      host.empty() ? QHostAddress(QHostAddress::Any) : QHostAddress(QString::fromStdString(host));
  if (!server->Start(address, quint16(port), error, m_code)) return false;
  m_server = std::move(server);
  m_code = m_server->JoinCode();
  m_host = host;
  m_port = m_server->Port();
  m_mark = std::make_unique<CShareMark>();
  if (!m_mark->Create(m_board, m_server->Address())) m_mark.reset();
  std::printf("pointer: sharing the board at %s\n", m_server->Address().c_str());
  std::fflush(stdout);
  return true;
}

void CBoardShare::Stop() {
  if (!m_server) return;
  if (m_mark) m_mark->DestroyWindow();
  m_mark.reset();
  m_server.reset();
  std::printf("pointer: sharing stopped\n");
  std::fflush(stdout);
}

void CBoardShare::OnShare() {
  if (IsSharing()) {
    Stop();
    return;
  }
  std::string error;
  if (Start(m_host, m_port ? m_port : kDefaultSharePort, &error)) return;
  std::fprintf(stderr, "pointer: cannot share the board: %s\n", error.c_str());
  AfxMessageBox(GBK("无法共享白板：") + plat::GbkFromUtf8(error), MB_ICONEXCLAMATION);
}

void CBoardShare::OnShareAddress() {
  if (m_mark) m_mark->SetOpen(!m_mark->IsOpen());
}
