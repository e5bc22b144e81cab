// The text tool: while it is current the font bar is shown. An unfinished
// text is dropped by undo.
#include "board/board_wnd.h"
#include "board/text_box.h"
#include "tools/gesture.h"

namespace {

constexpr UINT_PTR kTextTimer = 2;

class CTextGesture : public CToolGesture {
 public:
  void OnEnter(CBoardWnd& board) override {
    if (board.m_pFrame) board.m_pFrame->ShowFontBar(true, true);
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
};

}  // namespace

std::unique_ptr<CToolGesture> MakeTextGesture() { return std::make_unique<CTextGesture>(); }
