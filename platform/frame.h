#pragma once
// The frame window base: its first pane (child identifier 0xE900) fills the
// client area, and its control bars float as tool windows of their own.
#include <vector>

#include "platform/wnd.h"

class CControlBar;

class CFrameWnd : public CWnd {
 public:
  CFrameWnd();
  ~CFrameWnd() override;

  // Sides bars may dock to. Bars never dock here (they all float); the value
  // is kept for the program to read back.
  void EnableDocking(DWORD align) { m_dockAlign = align; }

  // Floats bar with its floating window's top-left corner at a screen point;
  // a hidden bar stays hidden until shown.
  void FloatControlBar(CControlBar* bar, POINT screenTopLeft, DWORD align);
  // Shows or hides a bar; delay shows/hides it at the next layout (posted).
  void ShowControlBar(CControlBar* bar, bool show, bool delay);
  // Makes the first pane fill the client area and fits the bars to their content.
  void RecalcLayout(bool notify = true);
  // The child with identifier 0xE900, if any.
  CWnd* GetPane() const;
  // Bars whose owner is this frame, in creation order.
  std::vector<CControlBar*> GetControlBars() const;
  // Raises the visible bars above everything (after the frame was raised).
  void RaiseControlBars();

  // The application's main window: the first frame created and not yet
  // destroyed. Its destruction ends the message loop.
  static CFrameWnd* GetMainFrame();

  int OnCreate(CREATESTRUCT* cs) override;
  void OnSize(UINT type, int cx, int cy) override;
  void PostNcDestroy() override;

 private:
  DWORD m_dockAlign = 0;
};
