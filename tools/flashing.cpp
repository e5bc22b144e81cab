// The flashing marks: an area, a rectangle or a mark blinks once a second
// for about twelve seconds, then the board is repainted. Everything is
// drawn inverted straight onto the screen, so no record and no picture
// changes; drawing a shape twice restores the screen.
#include <vector>

#include "board/board_wnd.h"
#include "tools/gesture.h"

namespace {

constexpr UINT_PTR kFlashTimer = 4;
constexpr UINT kFlashMs = 1000;
// The area takes 25 clicks: each adds its press and its release point.
constexpr size_t kMaxAreaPoints = 50;

class CFlashingGesture : public CToolGesture {
 public:
  bool OnTick(CBoardWnd& board, UINT_PTR id) override {
    if (id != kFlashTimer || m_bFlashIdle) return false;
    CClientDC dc(&board);
    dc.SetROP2(R2_NOT);
    Toggle(board, dc);
    m_nFlashPhase ^= 1;
    if (++m_nFlashTicks > m_nTickLimit) Stop(board);
    return true;
  }

  void OnRightRelease(CBoardWnd& board, UINT, CPoint) override { Stop(board); }

  // Whatever the tool left inverted goes with one repaint: the flashing
  // never touches the pictures the board repaints from.
  void Leave(CBoardWnd& board) override {
    board.KillTimer(kFlashTimer);
    const bool shown = ShowsAnything();
    Reset();
    if (!shown) return;
    board.Invalidate(true);
    board.UpdateWindow();
  }

 protected:
  explicit CFlashingGesture(int tickLimit) : m_nTickLimit(tickLimit) {}

  // Draws the flashing shape once on a context set to invert.
  virtual void Toggle(CBoardWnd& board, CDC& dc) = 0;
  // Whether the screen differs from the board's picture because of the tool.
  virtual bool ShowsAnything() const { return !m_bFlashIdle; }
  // Back to idle, forgetting the shape.
  virtual void Reset() {
    m_bFlashIdle = true;
    m_nFlashTicks = 0;
    m_nFlashPhase = 1;
  }

  void Start(CBoardWnd& board) {
    m_bFlashIdle = false;
    board.SetTimer(kFlashTimer, kFlashMs);
  }

  // The repaint removes whatever the flashing left inverted.
  void Stop(CBoardWnd& board) {
    board.KillTimer(kFlashTimer);
    Reset();
    board.Invalidate(true);
  }

  bool m_bFlashIdle = true;
  // Flipped by every tick; 1 again whenever the flashing stops.
  int m_nFlashPhase = 1;
  int m_nFlashTicks = 0;

 private:
  // The flashing stops when its ticks exceed this.
  const int m_nTickLimit;
};

class CFlashRectGesture : public CFlashingGesture {
 public:
  CFlashRectGesture() : CFlashingGesture(12) {}

  void OnPress(CBoardWnd& board, UINT, CPoint pt) override {
    if (!m_bFlashIdle) return;
    m_ptAnchor = m_ptLast = pt;
    board.SetCapture();
  }

  // The band is the drag's own: a move without the capture draws none.
  void OnMove(CBoardWnd& board, UINT flags, CPoint pt) override {
    if (flags == 0 || !m_bFlashIdle || CWnd::GetCapture() != &board) return;
    CClientDC dc(&board);
    dc.SetROP2(R2_NOT);
    Band(board, dc, m_ptLast);
    Band(board, dc, pt);
    m_ptLast = pt;
  }

  // The filled block turns the band's outline back and inverts the inside.
  bool OnRelease(CBoardWnd& board, UINT, CPoint pt) override {
    if (CWnd::GetCapture() != &board) return false;
    CWnd::ReleaseCapture();
    m_ptEnd = pt;
    CClientDC dc(&board);
    dc.SetROP2(R2_NOT);
    Toggle(board, dc);
    Start(board);
    return false;
  }

  void OnDoubleClick(CBoardWnd& board, UINT, CPoint) override { Stop(board); }

  void Cancel(CBoardWnd& board) override {
    if (CWnd::GetCapture() != &board) return;
    CWnd::ReleaseCapture();
    CClientDC dc(&board);
    dc.SetROP2(R2_NOT);
    Band(board, dc, m_ptLast);
    m_ptLast = m_ptAnchor;
  }

 protected:
  void Toggle(CBoardWnd&, CDC& dc) override {
    dc.Rectangle(m_ptAnchor.x, m_ptAnchor.y, m_ptEnd.x, m_ptEnd.y);
  }

 private:
  void Band(CBoardWnd& board, CDC& dc, POINT to) {
    CSelectScope<CBrush> brush(dc, &board.m_nullBrush);
    dc.Rectangle(m_ptAnchor.x, m_ptAnchor.y, to.x, to.y);
  }

  POINT m_ptAnchor{}, m_ptLast{}, m_ptEnd{};
};

class CFlashAreaGesture : public CFlashingGesture {
 public:
  CFlashAreaGesture() : CFlashingGesture(12) {}

  void OnPress(CBoardWnd& board, UINT, CPoint pt) override {
    if (!m_bFlashIdle) return;
    m_ptAnchor = m_ptLast = pt;
    AddVertex(pt);
    board.SetCapture();
  }

  // The band follows the pointer between clicks, with or without a button.
  void OnMove(CBoardWnd& board, UINT, CPoint pt) override {
    if (m_ptFlash.empty() || !m_bFlashIdle) return;
    CClientDC dc(&board);
    dc.SetROP2(R2_NOT);
    dc.MoveTo(m_ptAnchor.x, m_ptAnchor.y), dc.LineTo(m_ptLast.x, m_ptLast.y);
    dc.MoveTo(m_ptAnchor.x, m_ptAnchor.y), dc.LineTo(pt.x, pt.y);
    m_ptLast = pt;
  }

  // The band line that ended at the click stays on the screen, inverted.
  bool OnRelease(CBoardWnd& board, UINT, CPoint pt) override {
    if (CWnd::GetCapture() != &board || !m_bFlashIdle) return false;
    CWnd::ReleaseCapture();
    m_ptAnchor = m_ptLast = pt;
    AddVertex(pt);
    return false;
  }

  // The first click of the double click has added its two vertices.
  void OnDoubleClick(CBoardWnd& board, UINT, CPoint) override {
    if (!m_bFlashIdle) {
      Stop(board);
      return;
    }
    if (m_ptFlash.empty()) return;
    {
      // The open outline through the vertices takes the band lines away.
      CClientDC dc(&board);
      dc.SetROP2(R2_NOT);
      dc.Polyline(m_ptFlash.data(), int(m_ptFlash.size()));
    }
    Start(board);
  }

 protected:
  void Toggle(CBoardWnd&, CDC& dc) override { dc.Polygon(m_ptFlash.data(), int(m_ptFlash.size())); }
  bool ShowsAnything() const override { return !m_bFlashIdle || !m_ptFlash.empty(); }
  void Reset() override {
    CFlashingGesture::Reset();
    m_ptFlash.clear();
  }

 private:
  // Vertices past the last one the area holds are not taken.
  void AddVertex(POINT pt) {
    if (m_ptFlash.size() < kMaxAreaPoints) m_ptFlash.push_back(pt);
  }

  // The last fixed vertex and where the band was last drawn to.
  POINT m_ptAnchor{}, m_ptLast{};
  std::vector<POINT> m_ptFlash;
};

class CFlashMarkGesture : public CFlashingGesture {
 public:
  CFlashMarkGesture() : CFlashingGesture(11) {}

  // A release during a flashing moves it: the old mark goes first if it
  // shows, whether or not a tick has come yet.
  bool OnRelease(CBoardWnd& board, UINT, CPoint pt) override {
    CClientDC dc(&board);
    dc.SetROP2(R2_NOT);
    if (!m_bFlashIdle) {
      board.KillTimer(kFlashTimer);
      if (m_nFlashPhase != 0) Toggle(board, dc);
      Reset();
    }
    m_ptEnd = pt;
    const CPen& pen = board.m_pen;
    m_penMark.DeleteObject();
    m_penMark.CreatePen(pen.m_style, pen.m_width, pen.m_color);
    Toggle(board, dc);
    Start(board);
    return false;
  }

 protected:
  // Four strokes through the centre with the pen of the release: a pen
  // chosen while it flashes does not leave the old strokes behind.
  void Toggle(CBoardWnd&, CDC& dc) override {
    CSelectScope<CPen> pen(dc, &m_penMark);
    const int x = m_ptEnd.x, y = m_ptEnd.y;
    dc.MoveTo(x, y - 10), dc.LineTo(x, y + 10);
    dc.MoveTo(x - 10, y), dc.LineTo(x + 10, y);
    dc.MoveTo(x - 10, y - 10), dc.LineTo(x + 10, y + 10);
    dc.MoveTo(x + 10, y - 10), dc.LineTo(x - 10, y + 10);
  }

 private:
  POINT m_ptEnd{};
  CPen m_penMark;
};

}  // namespace

std::unique_ptr<CToolGesture> MakeFlashingGesture(UINT tool) {
  switch (tool) {
    case ID_TOOL_FLASH_AREA:
      return std::make_unique<CFlashAreaGesture>();
    case ID_TOOL_FLASH_RECT:
      return std::make_unique<CFlashRectGesture>();
    default:
      return std::make_unique<CFlashMarkGesture>();
  }
}
