#include "dialogs/replay_dlg.h"

#include <algorithm>

#include "board/board_wnd.h"
#include "platform/codepage.h"
#include "res/resource.h"

namespace {

constexpr UINT_PTR kPlayTimer = 1;
constexpr UINT kPlayIntervalMs = 20;

// Menu 249: a bar of four plain commands.
std::vector<DialogMenuItem> ReplayMenu() {
  return {{ID_REPLAY_TO_START, GBK("到记录首")},
          {ID_REPLAY_PLAY, GBK("开始播放")},
          {ID_REPLAY_TO_END, GBK("到记录尾")},
          {ID_REPLAY_CLOSE, GBK(" 关闭 ")}};
}

// Template 217: a small tool window at the owner's top-left corner, filled
// by a slider without ticks.
DialogTemplate ReplayTemplate() {
  DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION;
  t.exStyle = WS_EX_TOOLWINDOW;
  t.x = t.y = 0;
  t.cx = 172;
  t.cy = 18;
  t.caption = GBK("复习控制 - 播放时按ESC键暂停");
  t.fontFace = GBK("宋体");
  t.pointSize = 9;
  DialogItem slider;
  slider.kind = DlgControl::Slider;
  slider.id = IDC_REPLAY_SLIDER;
  slider.cx = 171;
  slider.cy = 17;
  slider.style = WS_VISIBLE | WS_TABSTOP | TBS_HORZ | TBS_NOTICKS;
  t.items.push_back(slider);
  t.menuBar = ReplayMenu();
  return t;
}

}  // namespace

CReplayDlg::CReplayDlg(CBoardWnd& board) : m_pendingBoard(&board), m_toolBefore(board.m_nTool) {
  OnCommand(ID_REPLAY_TO_START, [this] { OnToStart(); });
  OnCommand(ID_REPLAY_PLAY, [this] { OnPlay(); });
  OnCommand(ID_REPLAY_TO_END, [this] { OnToEnd(); });
  OnCommand(ID_REPLAY_CLOSE, [this] { OnCloseCommand(); });
}

CReplayDlg::~CReplayDlg() = default;

bool CReplayDlg::Create(CWnd* parent) {
  if (!FindDialogTemplate(IDD_REPLAY)) RegisterDialogTemplate(IDD_REPLAY, ReplayTemplate());
  m_created = CDialog::Create(IDD_REPLAY, parent);
  return m_created;
}

bool CReplayDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_board = m_pendingBoard;
  m_slider = dynamic_cast<CSliderCtrl*>(GetDlgItem(IDC_REPLAY_SLIDER));
  m_position = 0;
  if (m_slider) {
    FollowStore();
    m_slider->SetPos(0);
    // Arrow keys, Home and End move the slider from the start.
    m_slider->SetFocus();
  }
  return true;
}

int CReplayDlg::FollowStore() {
  const int count = std::clamp(m_board->m_nCount, 0, kRecordSlots);
  if (m_slider && m_slider->GetRangeMax() != count) m_slider->SetRange(0, count, true);
  m_position = std::min(m_position, count);
  return count;
}

bool CReplayDlg::PreTranslateKeyDown(UINT vk) {
  if (vk == VK_ESCAPE) {
    Pause();
    return true;
  }
  return CDialog::PreTranslateKeyDown(vk);
}

bool CReplayDlg::IsPlaying() const { return HasTimer(kPlayTimer); }

void CReplayDlg::Pause() {
  const bool wasPlaying = KillTimer(kPlayTimer);
  if (m_slider) m_position = m_slider->GetPos();
  // Only a play moved the pointer away: a pause while paused leaves the
  // teacher's pointer where it is.
  if (wasPlaying) SetCursorPos(m_savedCursor.x, m_savedCursor.y);
}

void CReplayDlg::OnToStart() {
  if (!m_board) return;
  m_position = 0;
  if (m_slider) m_slider->SetPos(0);
  // Repainted at once, so that a running play's next tick draws on the bare
  // background and not under a pending repaint.
  m_board->ShowBackground();
  m_board->ResetStyle(false);
}

void CReplayDlg::OnPlay() {
  if (!m_board) return;
  if (m_position >= FollowStore()) {
    OnToStart();
    return;
  }
  // Pressed again during a play, the pointer stands where the animation
  // left it: the place to come back to is the one saved first.
  if (!IsPlaying()) GetCursorPos(&m_savedCursor);
  SetTimer(kPlayTimer, kPlayIntervalMs);
}

void CReplayDlg::OnTimer(UINT_PTR id) {
  if (id != kPlayTimer || !m_board) {
    CDialog::OnTimer(id);
    return;
  }
  const int count = FollowStore();
  if (m_position >= count) {
    Pause();
    return;
  }
  ++m_position;
  m_board->Replay(m_position - 1, m_position, true);
  if (m_slider) m_slider->SetPos(m_position);
  if (m_position >= count)
    Pause();
  else if (IsPlaying())
    // Counted again from the end of the record: an Esc pressed while it
    // was drawn is handled before the next record can start.
    SetTimer(kPlayTimer, kPlayIntervalMs);
  CDialog::OnTimer(id);
}

void CReplayDlg::RedrawUpTo(int position) {
  m_board->ShowBackground();
  m_board->Replay(0, position, false);
}

void CReplayDlg::OnToEnd() {
  if (!m_board) return;
  // Drawn over the bare background: records in transparent display invert
  // what lies under them, so drawing them a second time over the records
  // already shown would turn them back.
  const int count = FollowStore();
  RedrawUpTo(count);
  m_position = count;
  if (m_slider) m_slider->SetPos(count);
}

void CReplayDlg::OnHScroll(UINT code, UINT pos, CWnd* scrollBar) {
  if (m_board && m_slider) {
    const int now = std::min(m_slider->GetPos(), FollowStore());
    if (m_position > now)
      RedrawUpTo(now);
    else
      m_board->Replay(m_position, now, false);
    m_position = now;
  }
  CDialog::OnHScroll(code, pos, scrollBar);
}

void CReplayDlg::OnSize(UINT type, int cx, int cy) {
  CDialog::OnSize(type, cx, cy);
  if (!m_board || !m_slider) return;
  RECT rc;
  GetClientRect(&rc);
  m_slider->MoveWindow(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, true);
}

void CReplayDlg::OnCloseCommand() { PostClose(); }

void CReplayDlg::OnClose() {
  // A play left running would go on drawing over the restored board.
  if (IsPlaying()) Pause();
  ShowWindow(SW_HIDE);
  if (CBoardWnd* board = m_board) {
    if (board->m_pFrame) board->m_pFrame->ToggleBars();
    board->UpdateWindow();
    if (board->m_pReplayDlg == this) board->m_pReplayDlg = nullptr;
    board->Invalidate(true);
    board->ResetStyle(true);
    board->m_bTransparent = board->m_bTransparentSaved;
    // The animation left the tool of the last record it drew; the font bar
    // belongs to the text tool only when the teacher chose it.
    board->m_nTool = m_toolBefore;
    if (board->m_pFrame) board->m_pFrame->ShowFontBar(m_toolBefore == ID_TOOL_TEXT, false);
  }
  DestroyWindow();  // deletes this
}

void CReplayDlg::PostNcDestroy() {
  if (m_created) delete this;
}

void OnReplay(CBoardWnd& board) {
  // One review at a time: a second one would save the review's default
  // style over the teacher's. The command dispatch has closed an open one.
  if (board.m_pReplayDlg) return;
  board.m_bTransparentSaved = board.m_bTransparent;
  board.m_bTransparent = false;
  g_styleSaved = g_style;
  board.m_logFontSaved = board.m_logFont;
  board.m_penSaved.DeleteObject();
  board.m_penSaved.CreatePen(board.m_pen.m_style, board.m_pen.m_width, board.m_pen.m_color);
  board.ClearTransientMarks();
  board.ResetStyle(false);

  auto* dlg = new CReplayDlg(board);
  if (!dlg->Create()) {
    delete dlg;
    board.ResetStyle(true);
    board.m_bTransparent = board.m_bTransparentSaved;
    return;
  }
  board.m_pReplayDlg = dlg;
  dlg->ShowWindow(SW_SHOW);
  board.HideFrameBars();
  // With the dialog open the board repaints its bare background only.
  board.ShowBackground();
}

void InstallReplayCommand(CBoardWnd& board) {
  board.OnCommand(ID_REPLAY, [&board] { OnReplay(board); });
  board.OnUpdateCommand(ID_REPLAY, [&board](CCmdUI* ui) { board.OnUpdateHasRecords(ui); });
}
