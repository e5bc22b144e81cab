#pragma once
// The full-screen drawing surface: its bitmaps, screen capture, repaint and
// the services the tools, panels and dialogs call.
#include <memory>
#include <string>

#include "board/board_frame.h"
#include "board/board_review.h"
#include "board/board_watcher.h"
#include "board/gesture.h"
#include "platform/gdi.h"
#include "platform/wnd.h"
#include "records/board_core.h"

// The cursor resource the board shows for a tool at a record count.
UINT ToolCursorId(UINT tool, int count);

class CRecoveryWriter;
class CTextBox;

class CBoardWnd : public CWnd, public CBoardCore {
 public:
  CBoardWnd();
  ~CBoardWnd() override;

  // Creates the board as the frame's only pane, gives it its host and its
  // surfaces; false when the window cannot be created.
  bool CreateInFrame(CFrameWnd& frame, CBoardFrame& host);
  // Screen-sized bitmaps and the empty record store; the frame calls it right
  // after creating the board.
  void CreateSurfaces();
  // Activation: the screen as it is now becomes the board's picture.
  void CaptureScreen();
  // The picture after a completed step, undo, redo, clear all or open
  // becomes the current one, and the drawing goes to the recovery file.
  void SnapshotBoard();
  void SnapshotZoomView();
  void HideFrameBars();
  bool PickColorUnderCursor(COLORREF* color, CPoint* pt);
  void SetToolCursor() override;
  // Transient marks (flashing, open polyline, magnifier view, font bar of
  // the text tool) end here before commands change the board; the current
  // tool's gesture takes away what it shows.
  void ClearTransientMarks();
  // The tools whose gestures the mouse handlers drive; none: the mouse only
  // moves the pointer.
  void SetTools(std::unique_ptr<CBoardTools> tools);
  CToolGesture* CurrentGesture() const;
  // Where the drawing is kept after every step; none: nowhere.
  void KeepRecovery(std::unique_ptr<CRecoveryWriter> writer);
  // Who hears of every change of the board's pixels; nullptr: nobody. The
  // watcher outlives the board or is taken away first.
  void SetWatcher(CBoardWatcher* watcher);
  CBoardWatcher* Watcher() const { return m_watcher; }
  // Takes away what open gestures keep drawn inverted (an open polyline).
  void EndGestures();
  // Runs before every command the board carries out, the hot key and a
  // palette choice: a drag in progress ends without a trace (band erased,
  // mouse released, the rest of the drag ignored) and an open review closes
  // and restores the board, so the command acts on the drawing itself.
  void PrepareForCommand();
  bool OnCmdMsg(UINT nID, int nCode, CCmdUI* pCmdUI) override;

  // The folders above the board add their commands to its message map.
  using CWnd::OnCommand;
  using CWnd::OnUpdateCommand;

  CBoardFrame* m_pFrame = nullptr;
  // The open replay dialog.
  CBoardReview* m_pReplayDlg = nullptr;
  std::string m_strDataPath;
  RECT m_rcTextWnd{};
  bool m_bStart = true;
  std::unique_ptr<CTextBox> m_textBox;
  HCURSOR m_cursors[18] = {};
  RECT m_rcTextBox{};
  bool m_bBold = false, m_bItalic = false, m_bUnderline = false;
  CBitmap m_bmpCurrent;
  CBitmap m_bmpCaptured;
  CBitmap m_bmpZoomView;
  RECT m_rcDesktop{};
  int m_nBackMode = 0;

  // Cursor resource ids in the order of m_cursors.
  static const UINT kCursorIds[18];
  HCURSOR CursorFor(UINT resourceId) const;

  bool PreCreateWindow(CREATESTRUCT& cs) override;
  int OnCreate(CREATESTRUCT* cs) override;
  bool OnEraseBkgnd(CDC* pDC) override;

  // Mouse gestures of the current tool.
  void OnLButtonDown(UINT flags, CPoint pt) override;
  void OnMouseMove(UINT flags, CPoint pt) override;
  void OnLButtonUp(UINT flags, CPoint pt) override;
  void OnLButtonDblClk(UINT flags, CPoint pt) override;
  void OnRButtonUp(UINT flags, CPoint pt) override;
  void OnTimer(UINT_PTR id) override;
  // Keys typed on the board during a review step the review.
  void OnKeyDown(UINT vk, UINT repeat, UINT flags) override;

  // Tool selection.
  void OnSelectTool(UINT nID);
  void OnUpdateSelectTool(CCmdUI* pCmdUI);
  void OnStart();
  void OnUpdateStart(CCmdUI* pCmdUI);

  // Board commands.
  void OnUndo();
  void OnRedo();
  void OnClearAll();
  void OnTempExit();
  void OnUpdateHasRecords(CCmdUI* pCmdUI);
  void OnUpdateRedo(CCmdUI* pCmdUI);
  // Background modes and transparent display.
  void OnBackgroundCycle();
  void OnTransparent();
  void OnUpdateTransparent(CCmdUI* pCmdUI);
  // The background of the current mode, under every full redraw: the
  // captured screen (modes 0 and 3), white (1) or black (2).
  void PaintBackground(CDC& dc);
  // Repaints the whole board at once with the bare background (the
  // magnifier's view while it is current); the caller replays over it.
  void ShowBackground();
  // Pointer data files (Ctrl+S, Ctrl+O).
  void OnSaveData();
  void OnOpenData();
  // Opens a pointer data file as the open command does once a file is
  // chosen; a file that cannot be opened is reported and changes nothing.
  bool OpenDataFile(const std::string& path);

 protected:
  std::unique_ptr<CDC> GetBoardDC() override;
  void TextBoxSetColor(COLORREF color) override;
  void TextBoxSetBkColor(COLORREF color) override;
  void TextBoxSetFont(CFont* font) override;

 private:
  void BuildMessageMap();
  void CopyClientInto(CBitmap& target);

  std::unique_ptr<CBoardTools> m_tools;
  // A left press went to the current gesture and its release has not come.
  bool m_bDragging = false;
  // The drag was ended by a command: its moves and release do nothing.
  bool m_bDragCancelled = false;
  std::unique_ptr<CRecoveryWriter> m_recovery;
  bool m_bRecoveryPosted = false;
  // A full redraw asks for the bare background whatever the records.
  bool m_bBareRepaint = false;
  CBoardWatcher* m_watcher = nullptr;
};
