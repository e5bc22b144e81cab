#include "dialogs/replay_dlg.h"

#include <algorithm>
#include <utility>

#include "board/board_wnd.h"
#include "platform/codepage.h"
#include "records/replay_timeline.h"
#include "records/steps.h"
#include "res/resource.h"

namespace {

constexpr UINT_PTR kPlayTimer = 1;

static_assert(ID_REPLAY_SPEED_4X - ID_REPLAY_SPEED_HALF + 1 == std::size(kReplaySpeeds));

const ReplaySpeed* FindSpeed(UINT id) {
  if (id < ID_REPLAY_SPEED_HALF || id > ID_REPLAY_SPEED_4X) return nullptr;
  return &kReplaySpeeds[id - ID_REPLAY_SPEED_HALF];
}

// Menu 249: four plain commands and the speed drop-down before the last.
std::vector<DialogMenuItem> ReplayMenu() {
  DialogMenuItem speed{0, GBK("速度")};
  UINT id = ID_REPLAY_SPEED_HALF;
  for (const ReplaySpeed& s : kReplaySpeeds)
    speed.items.push_back({id++, std::string(s.factor) + GBK(" 倍")});
  return {{ID_REPLAY_TO_START, GBK("到记录首")},
          {ID_REPLAY_PLAY, GBK("开始播放")},
          {ID_REPLAY_TO_END, GBK("到记录尾")},
          speed,
          {ID_REPLAY_CLOSE, GBK(" 关闭 ")}};
}

// Template 217: a small tool window at the owner's top-left corner, filled
// by a slider without ticks; wide enough for the whole menu bar.
DialogTemplate ReplayTemplate() {
  DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION;
  t.exStyle = WS_EX_TOOLWINDOW;
  t.x = t.y = 0;
  t.cx = 210;
  t.cy = 18;
  t.caption = GBK("复习控制 - 播放时按ESC键暂停");
  t.fontFace = GBK("宋体");
  t.pointSize = 9;
  DialogItem slider;
  slider.kind = DlgControl::Slider;
  slider.id = IDC_REPLAY_SLIDER;
  slider.cx = 209;
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
  OnCommandRange(ID_REPLAY_SPEED_HALF, ID_REPLAY_SPEED_4X, [this](UINT id) { SetSpeed(id); });
  OnUpdateCommandRange(ID_REPLAY_SPEED_HALF, ID_REPLAY_SPEED_4X, [this](CCmdUI* ui) {
    const ReplaySpeed* speed = FindSpeed(ui->m_nID);
    ui->SetCheck(speed && int(speed->delayMs) == m_pendingBoard->m_nReplayDelay);
  });
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
  return OnReviewKey(vk) || CDialog::PreTranslateKeyDown(vk);
}

// Presenter clickers send Page Down and Page Up, some Right and Left, and B
// or period for their blank key. The slider keeps Up, Down, Home and End.
bool CReplayDlg::OnReviewKey(UINT vk) {
  switch (vk) {
    case VK_ESCAPE:
      Pause();
      return true;
    case VK_NEXT:
    case VK_RIGHT:
    case VK_SPACE:
      Step(true);
      return true;
    case VK_PRIOR:
    case VK_LEFT:
      Step(false);
      return true;
    case 'B':
    case VK_OEM_PERIOD:
      ToggleBlank();
      return true;
    default:
      return false;
  }
}

void CReplayDlg::Step(bool forward) {
  if (!m_board) return;
  if (IsPlaying()) Pause();
  // As after a blank slide, the first key shows the drawing again.
  if (m_blank) return Unblank();
  const int count = FollowStore();
  StepTo(forward ? NextStepEnd(g_records, count, m_position)
                 : PreviousStepEnd(g_records, count, m_position));
}

// Drawn at once: a class waits for no pauses of an animation.
void CReplayDlg::StepTo(int position) {
  if (position < m_position)
    RedrawUpTo(position);
  else
    m_board->Replay(m_position, position, false);
  m_position = position;
  if (m_slider) m_slider->SetPos(position);
}

void CReplayDlg::ToggleBlank() {
  if (!m_board) return;
  if (IsPlaying()) Pause();
  if (m_blank) return Unblank();
  m_blank = true;
  m_board->ShowBackground();
}

void CReplayDlg::Unblank() {
  if (std::exchange(m_blank, false)) RedrawUpTo(m_position);
}

void CReplayDlg::SetSpeed(UINT id) {
  const ReplaySpeed* speed = FindSpeed(id);
  if (!speed || !m_board) return;
  m_board->m_nReplayDelay = speed->delayMs;
  if (IsPlaying()) SetTimer(kPlayTimer, PlayInterval());
}

UINT CReplayDlg::PlayInterval() const {
  return ReplayTickMs(UINT(std::max(0, m_board->m_nReplayDelay)));
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
  m_blank = false;
  m_position = 0;
  if (m_slider) m_slider->SetPos(0);
  // Repainted at once, so that a running play's next tick draws on the bare
  // background and not under a pending repaint.
  m_board->ShowBackground();
  m_board->ResetStyle(false);
}

void CReplayDlg::OnPlay() {
  if (!m_board) return;
  Unblank();
  if (m_position >= FollowStore()) {
    OnToStart();
    return;
  }
  // Pressed again during a play, the pointer stands where the animation
  // left it: the place to come back to is the one saved first.
  if (!IsPlaying()) GetCursorPos(&m_savedCursor);
  SetTimer(kPlayTimer, PlayInterval());
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
    SetTimer(kPlayTimer, PlayInterval());
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
  m_blank = false;
  RedrawUpTo(count);
  m_position = count;
  if (m_slider) m_slider->SetPos(count);
}

void CReplayDlg::OnHScroll(UINT code, UINT pos, CWnd* scrollBar) {
  if (m_board && m_slider) {
    const int now = std::min(m_slider->GetPos(), FollowStore());
    if (m_position > now || std::exchange(m_blank, false))
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

bool OpenLessonInSteps(CBoardWnd& board, const std::string& path) {
  if (!board.OpenDataFile(path)) return false;
  // An empty lesson has nothing to walk through: the board is simply open.
  if (board.m_nCount > 0) OnReplay(board);
  return true;
}

void InstallReplayCommand(CBoardWnd& board) {
  board.OnCommand(ID_REPLAY, [&board] { OnReplay(board); });
  board.OnUpdateCommand(ID_REPLAY, [&board](CCmdUI* ui) { board.OnUpdateHasRecords(ui); });
}
