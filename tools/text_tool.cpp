// The text tool: a drag marks where a text box opens; the next left release
// or a right release draws the typed text onto the board and records it.
// While the tool is current the font bar is shown.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "board/board_wnd.h"
#include "board/text_box.h"
#include "platform/modal.h"
#include "records/draw_routines.h"
#include "tools/gesture.h"

namespace {

constexpr UINT_PTR kTextTimer = 2;
constexpr UINT kGrowMs = 1000;
constexpr unsigned kCommitPause = 500;
// A drag must exceed this in both directions to open a box.
constexpr int kMinBoxSize = 10;

// No byte of a GBK or GB18030 character is white space: bytes trim safely.
std::string WithoutTrailingSpace(std::string text) {
  const std::size_t end = text.find_last_not_of(" \t\r\n");
  text.erase(end == std::string::npos ? 0 : end + 1);
  return text;
}

class CTextGesture : public CRecordingGesture {
 public:
  void OnEnter(CBoardWnd& board) override {
    if (board.m_pFrame) board.m_pFrame->ShowFontBar(true, true);
  }

  void OnPress(CBoardWnd& board, UINT, CPoint pt) override {
    m_ptAnchor = m_ptLast = pt;
    m_bBand = true;
    board.SetCapture();
    board.m_rcTextBox.left = pt.x;
    board.m_rcTextBox.top = pt.y;
  }

  void OnMove(CBoardWnd& board, UINT flags, CPoint pt) override {
    if (!(flags & MK_LBUTTON) || !m_bBand || CWnd::GetCapture() != &board) return;
    CClientDC dc(&board);
    ToggleBand(board, dc, m_ptLast);
    ToggleBand(board, dc, pt);
    m_ptLast = pt;
  }

  bool OnRelease(CBoardWnd& board, UINT, CPoint pt) override {
    if (!Commit(board)) {
      Cancel(board);
      return true;
    }
    m_bBand = false;  // the commit's repaint took it away
    const RECT& press = board.m_rcTextBox;
    const CRect rc(std::min<LONG>(press.left, pt.x), std::min<LONG>(press.top, pt.y),
                   std::max<LONG>(press.left, pt.x), std::max<LONG>(press.top, pt.y));
    if (rc.Width() > kMinBoxSize && rc.Height() > kMinBoxSize && board.m_textBox) {
      board.m_rcTextBox = rc;
      board.m_textBox->MoveWindow(rc.left, rc.top, rc.Width(), rc.Height(), true);
      board.m_textBox->ShowCaret();
      board.m_textBox->ShowWindow(SW_SHOW);
      board.m_textBox->SetFocus();
      board.SetTimer(kTextTimer, kGrowMs);
    }
    return true;
  }

  void OnRightRelease(CBoardWnd& board, UINT, CPoint) override { Commit(board); }

  // The box grows downwards to hold its lines; it never shrinks.
  bool OnTick(CBoardWnd& board, UINT_PTR id) override {
    if (id != kTextTimer) return false;
    if (!board.m_textBox || !board.m_textBox->IsWindowVisible()) return true;
    CRect rc;
    board.m_textBox->GetWindowRect(&rc);
    POINT at{rc.left, rc.top};
    board.ScreenToClient(&at);
    // A font read from a file may carry a negative height: its magnitude.
    const long needed =
        (long(std::abs(board.m_logFont.lfHeight)) + 5) * board.m_textBox->GetLineCount();
    if (rc.Height() <= needed)
      board.m_textBox->MoveWindow(at.x, at.y, rc.Width(), int(needed), true);
    return true;
  }

  // A command during the drag takes the band away.
  void Cancel(CBoardWnd& board) override {
    if (CWnd::GetCapture() == &board) CWnd::ReleaseCapture();
    if (!m_bBand) return;
    CClientDC dc(&board);
    ToggleBand(board, dc, m_ptLast);
    m_bBand = false;
  }

  // An open box stays open with its text until the next commit.
  void Leave(CBoardWnd& board) override {
    if (board.m_pFrame) board.m_pFrame->ShowFontBar(false, false);
  }

  void Discard(CBoardWnd& board) override {
    board.KillTimer(kTextTimer);
    if (board.m_pFrame) board.m_pFrame->ShowFontBar(false, false);
    if (board.m_textBox) {
      board.m_textBox->SetWindowText("");
      board.m_textBox->ShowWindow(SW_HIDE);
    }
  }

 private:
  // The band: a hollow rectangle from the press point, inverted with the
  // context's own pen. The press point alone has none, so the first move
  // does not leave a dot behind.
  void ToggleBand(CBoardWnd& board, CDC& dc, POINT to) {
    if (to == m_ptAnchor) return;
    dc.SetROP2(R2_NOT);
    CSelectScope<CBrush> brush(dc, &board.m_nullBrush);
    dc.Rectangle(m_ptAnchor.x, m_ptAnchor.y, to.x, to.y);
  }

  // Hides the box and draws and records its text. With the store full the
  // text could not be recorded, and drawing it or listing it would put the
  // text list out of step with the records: the box stays open instead.
  // False when refused.
  bool Commit(CBoardWnd& board) {
    CWnd::ReleaseCapture();
    CTextBox* box = board.m_textBox.get();
    if (!box) return true;
    if (StoreFull(board.m_nCount) && box->IsWindowVisible()) return false;
    box->HideCaret();
    const std::string text = WithoutTrailingSpace(box->GetWindowText());
    box->SetWindowText("");
    box->ShowWindow(SW_HIDE);
    board.KillTimer(kTextTimer);
    Sleep(kCommitPause);
    board.Invalidate(true);
    board.UpdateWindow();
    if (text.empty()) return true;
    box->GetWindowRect(&board.m_rcTextWnd);
    m_recOpen.op = op::kText;
    m_recOpen.f1 = board.m_rcTextWnd.left;
    m_recOpen.f2 = board.m_rcTextWnd.top;
    m_recOpen.f3 = board.m_rcTextWnd.right;
    m_recOpen.f4 = board.m_rcTextWnd.bottom;
    if (!AppendPrepared(board, 4)) return true;
    board.m_texts.push_back(text);
    {
      CClientDC dc(&board);
      DrawRecordOn(dc, board, g_records[board.m_nCount - 1], text);
    }
    board.SnapshotBoard();
    return true;
  }

  POINT m_ptAnchor{}, m_ptLast{};
  // A band is drawn from the press point and has not been taken away.
  bool m_bBand = false;
};

}  // namespace

std::unique_ptr<CToolGesture> MakeTextGesture() { return std::make_unique<CTextGesture>(); }
