#pragma once
// Turns the board's changes into pictures for viewers, off the drawing path:
// changed rectangles are only noted while the teacher draws; every interval
// the pixels under them are copied at once and encoded as PNG on a worker
// thread, so a fast stroke becomes one batch per interval, not one per move.
// A change after a quiet interval goes out at once.
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QRegion>
#include <QThreadPool>
#include <QTimer>
#include <functional>
#include <vector>

#include "board/board_watcher.h"

class CBoardWnd;

// One viewer message: 'F' (the whole board) or 'P' (a part), then the
// board's width and height and the part's left and top as 16-bit little
// endian numbers, then the PNG of the part.
constexpr int kFrameHeaderSize = 9;
QByteArray FrameMessage(char kind, int boardWidth, int boardHeight, int x, int y,
                        const std::string& png);

class CBoardStream : public QObject, public CBoardWatcher {
 public:
  // full: the whole board at this moment, made when asked for (else empty);
  // parts: what changed since the previous batch, in order; changes: the
  // count of Changes() the batch was copied at.
  using Sink = std::function<void(const QByteArray& full, const std::vector<QByteArray>& parts,
                                  quint64 changes)>;

  // watched: whether anyone looks now; changes nobody sees are dropped
  // unencoded, since whoever comes next starts from the whole board.
  CBoardStream(CBoardWnd& board, Sink sink, int intervalMs = 40,
               std::function<bool()> watched = {});
  // Stops watching the board and waits for an encoding under way.
  ~CBoardStream() override;

  void OnBoardChanged(const RECT& rc) override;
  // The next batch carries the whole board (a viewer joined or fell behind).
  void RequestFull();
  // How many changes the board has reported so far.
  quint64 Changes() const { return m_changes; }

 private:
  void Arm();
  void Tick();

  CBoardWnd& m_board;
  Sink m_sink;
  std::function<bool()> m_watched;
  QTimer m_timer;
  int m_intervalMs;
  QElapsedTimer m_sinceBatch;  // started by the last batch taken
  QThreadPool m_pool;
  QRegion m_dirty;
  quint64 m_changes = 0;
  bool m_fullWanted = false;
  bool m_encoding = false;
};
