#pragma once
// What the board needs of the frame that hosts it. The frame implements it;
// the board never sees the frame's bars or panels themselves.
class CWnd;

class CBoardFrame {
 public:
  virtual ~CBoardFrame() = default;
  // The top-level window the board fills: shown on activation, hidden on a
  // temporary exit.
  virtual CWnd& FrameWindow() = 0;
  // Shows the main tool bar and the palette bar when hidden, hides them when shown.
  virtual void ToggleBars() = 0;
  // Hides both bars unless they are hidden already.
  virtual void HideBars() = 0;
  virtual void ShowFontBar(bool show, bool delay) = 0;
  // The palette shows width or fill choices by tool.
  virtual void RepaintPalette() = 0;
  // A temporary exit begins: the frame remembers how its bars were, so the
  // hot key brings the board back as it was left.
  virtual void BeginTempExit() = 0;
  // Set by a temporary exit that discards the picture: the hot key then
  // captures the screen afresh.
  virtual void SetTempExited(bool exited) = 0;
};
