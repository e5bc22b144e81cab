#pragma once
// The replay control dialog "复习控制": a slider over the drawing records and
// a menu bar that plays them back on the board, one animated record per
// tick of timer 1, jumps to the first or the last record, and closes.
#include <string>

#include "board/board_review.h"
#include "platform/controls.h"

class CBoardWnd;

// Menu 249 of the dialog and its slider (template 217).
constexpr UINT ID_REPLAY_TO_START = 32836, ID_REPLAY_PLAY = 32837, ID_REPLAY_TO_END = 32838,
               ID_REPLAY_CLOSE = 32840, IDC_REPLAY_SLIDER = 1027;
// The speed drop-down: half, normal, double and four times the speed.
// Numbered apart from the board's own commands, which --command can send.
constexpr UINT ID_REPLAY_SPEED_HALF = 32860, ID_REPLAY_SPEED_4X = 32863;

class CReplayDlg : public CDialog, public CBoardReview {
 public:
  // board: the board the dialog steers; it is taken over in OnInitDialog.
  explicit CReplayDlg(CBoardWnd& board);
  ~CReplayDlg() override;

  // Modeless from template 217, owned by parent (nullptr: the main frame).
  bool Create(CWnd* parent = nullptr);

  bool OnInitDialog() override;
  // Esc pauses a running play; it never ends the dialog. The step keys
  // walk the drawing gesture by gesture (OnReviewKey).
  bool PreTranslateKeyDown(UINT vk) override;
  // Page Down, Right and Space: the next step; Page Up and Left: back one;
  // B and period (a clicker's blank key): the bare background and back.
  bool OnReviewKey(UINT vk) override;
  // To the end of the next step, or back to the end of the one before.
  void Step(bool forward);
  void ToggleBlank();
  bool IsBlank() const { return m_blank; }
  // One of the speed commands: the animation's pauses and the play's tick
  // scaled together, kept on the board for the next review.
  void SetSpeed(UINT id);
  // The play's tick at the chosen speed: 20 ms at the normal one.
  UINT PlayInterval() const;
  // Enter and Esc would end a modeless dialog as if it were modal: the
  // board would be left in review mode with nothing to close it.
  void OnOK() override {}
  void OnCancel() override { Pause(); }

  void Pause();
  bool IsPlaying() const;
  void OnToStart();
  void OnPlay();
  void OnToEnd();
  void OnCloseCommand();
  void OnTimer(UINT_PTR id) override;
  void OnHScroll(UINT code, UINT pos, CWnd* scrollBar) override;
  void OnSize(UINT type, int cx, int cy) override;
  void OnClose() override;
  void CloseReview() override { OnClose(); }

  POINT m_savedCursor{};
  CBoardWnd* m_board = nullptr;
  CSliderCtrl* m_slider = nullptr;
  int m_position = 0;

 protected:
  // A closed dialog is gone for good: it deletes itself with its window.
  void PostNcDestroy() override;

 private:
  void RedrawUpTo(int position);
  void StepTo(int position);
  // The first thing done after blanking brings the drawing back.
  void Unblank();
  // The store's count now: the slider's range follows it and the position
  // never passes it.
  int FollowStore();
  CBoardWnd* m_pendingBoard;
  // The tool chosen before the review: the animation shows each record's.
  UINT m_toolBefore;
  bool m_created = false;  // a failed Create leaves the object to its maker
  bool m_blank = false;
};

// The board's replay command: clears the board to its background, hides the
// bars and opens the dialog with the default style in force.
void OnReplay(CBoardWnd& board);
// Opens a lesson from the command line and walks it: the lesson's file
// opened as the open command does, then the review at its first step, the
// bare background. False (after the open command's message) when the file
// cannot be opened; the board is then as it started.
bool OpenLessonInSteps(CBoardWnd& board, const std::string& path);
// Adds ID_REPLAY and its state (enabled while there are records) to the
// board's message map.
void InstallReplayCommand(CBoardWnd& board);
