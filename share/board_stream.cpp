#include "share/board_stream.h"

#include <algorithm>

#include "board/board_wnd.h"
#include "platform/pixel_block.h"

namespace {

// A stroke across the board marks hundreds of small rectangles; past this
// many the batch sends their bounding box instead of many tiny pictures.
constexpr int kMaxParts = 8;

void PutU16(QByteArray& out, int v) {
  out.append(char(v & 0xFF));
  out.append(char((v >> 8) & 0xFF));
}

}  // namespace

QByteArray FrameMessage(char kind, int boardWidth, int boardHeight, int x, int y,
                        const std::string& png) {
  QByteArray out;
  out.reserve(kFrameHeaderSize + int(png.size()));
  out.append(kind);
  PutU16(out, boardWidth);
  PutU16(out, boardHeight);
  PutU16(out, x);
  PutU16(out, y);
  out.append(png.data(), qsizetype(png.size()));
  return out;
}

CBoardStream::CBoardStream(CBoardWnd& board, Sink sink, int intervalMs,
                           std::function<bool()> watched)
    : m_board(board),
      m_sink(std::move(sink)),
      m_watched(std::move(watched)),
      m_intervalMs(intervalMs) {
  m_timer.setSingleShot(true);
  connect(&m_timer, &QTimer::timeout, this, [this] { Tick(); });
  // One encoding at a time keeps batches in order and leaves the other core
  // to the board.
  m_pool.setMaxThreadCount(1);
  m_board.SetWatcher(this);
}

CBoardStream::~CBoardStream() {
  if (m_board.Watcher() == this) m_board.SetWatcher(nullptr);
  m_pool.waitForDone();
}

void CBoardStream::OnBoardChanged(const RECT& rc) {
  ++m_changes;
  m_dirty += QRect(QPoint(rc.left, rc.top), QPoint(rc.right - 1, rc.bottom - 1));
  // Keeps each note cheap however many pixels a gesture touches one by one.
  if (m_dirty.rectCount() > kMaxParts) m_dirty = m_dirty.boundingRect();
  Arm();
}

void CBoardStream::RequestFull() {
  m_fullWanted = true;
  Arm();
}

void CBoardStream::Arm() {
  if (m_encoding || m_timer.isActive()) return;
  const qint64 since = m_sinceBatch.isValid() ? m_sinceBatch.elapsed() : m_intervalMs;
  // Zero still waits for the event loop: the rest of this gesture's drawing
  // joins the batch.
  m_timer.start(int(std::max<qint64>(0, m_intervalMs - since)));
}

void CBoardStream::Tick() {
  if (m_encoding || (m_dirty.isEmpty() && !m_fullWanted)) return;
  if (!m_fullWanted && m_watched && !m_watched()) {
    m_dirty = QRegion();
    return;
  }
  RECT client{};
  m_board.GetClientRect(&client);
  std::vector<plat::PixelBlock> blocks;
  const bool full = m_fullWanted;
  if (full) blocks.push_back(plat::PixelBlock::CopyClient(m_board, client));
  for (const QRect& r : m_dirty)
    blocks.push_back(plat::PixelBlock::CopyClient(
        m_board, RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1}));
  m_dirty = QRegion();
  m_fullWanted = false;
  m_encoding = true;
  m_sinceBatch.start();
  const int w = client.right, h = client.bottom;
  const quint64 changes = m_changes;
  // The destructor waits for the pool, and a queued call to a deleted
  // object is dropped, so the stream may go at any time.
  m_pool.start([this, blocks = std::move(blocks), full, w, h, changes] {
    QByteArray fullMessage;
    std::vector<QByteArray> parts;
    for (size_t i = 0; i < blocks.size(); ++i) {
      const plat::PixelBlock& b = blocks[i];
      if (b.IsEmpty()) continue;
      const bool isFull = full && i == 0;
      QByteArray m =
          FrameMessage(isFull ? 'F' : 'P', w, h, b.Rect().left, b.Rect().top, b.EncodePng());
      if (isFull)
        fullMessage = std::move(m);
      else
        parts.push_back(std::move(m));
    }
    QMetaObject::invokeMethod(
        this,
        [this, fullMessage = std::move(fullMessage), parts = std::move(parts), changes] {
          m_encoding = false;
          if (m_sink) m_sink(fullMessage, parts, changes);
          if (!m_dirty.isEmpty() || m_fullWanted) Arm();
        },
        Qt::QueuedConnection);
  });
}
