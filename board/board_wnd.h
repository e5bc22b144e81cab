#pragma once
// The full-screen drawing surface: its bitmaps, screen capture, repaint and
// the services the tools, panels and dialogs call.
#include <memory>
#include <string>

#include "platform/gdi.h"
#include "platform/wnd.h"
#include "records/board_core.h"

// The cursor resource the board shows for a tool at a record count.
UINT ToolCursorId(UINT tool, int count);

class CMainFrame;
class CReplayDlg;
class CTextBox;

class CBoardWnd : public CWnd, public CBoardCore {
 public:
  CBoardWnd();
  ~CBoardWnd() override;

  // Screen-sized bitmaps and the empty record store; the frame calls it right
  // after creating the board.
  void CreateSurfaces();
  // Activation: the screen as it is now becomes the board's picture.
  void CaptureScreen();
  void SnapshotBoard();
  void SnapshotZoomView();
  void HideFrameBars();
  bool PickColorUnderCursor(COLORREF* color, CPoint* pt);
  void SetToolCursor() override;
  // Transient marks (flashing, open polyline, magnifier view, font bar of
  // the text tool) end here before commands change the board.
  void ClearTransientMarks();

  CMainFrame* m_pFrame = nullptr;
  CReplayDlg* m_pReplayDlg = nullptr;
  std::string m_strDataPath;
  RECT m_rcTextWnd{};
  int m_nFlashTicks = 0;
  bool m_bStart = true;
  std::unique_ptr<CTextBox> m_textBox;
  HCURSOR m_cursors[18] = {};
  bool m_bMarkMode = false;
  RECT m_rcTextBox{};
  bool m_bBold = false, m_bItalic = false, m_bUnderline = false;
  int m_nZoomLevel = 0;
  CBitmap m_bmpCurrent;
  CBitmap m_bmpCaptured;
  CBitmap m_bmpZoomView;
  POINT m_ptPolyLast{};
  POINT m_ptLast{};
  POINT m_ptEnd{};
  bool m_bFlashIdle = true;
  int m_nFlashPhase = 1;
  RECT m_rcDesktop{};
  int m_nBackMode = 0;
  POINT m_ptAnchor{};
  POINT m_ptFlash[50] = {};
  int m_nFlashPoints = 0;
  int m_nPolyPoints = 0;
  // The record a gesture prepares; it reaches the open slot only when appended,
  // so a gesture that appends nothing leaves an undone record intact for redo.
  DrawRecord m_recOpen{};
  // The pen the polyline's rubber band was last drawn with: the style may
  // change between two clicks, and the band must still be erased exactly.
  CPen m_penBand;

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

  // Pictures.
  void OnSavePicture();
  void OnLoadPicture();

 protected:
  std::unique_ptr<CDC> GetBoardDC() override;
  void TextBoxSetColor(COLORREF color) override;
  void TextBoxSetBkColor(COLORREF color) override;
  void TextBoxSetFont(CFont* font) override;

 private:
  void BuildMessageMap();
  void CopyClientInto(CBitmap& target);
};
