#pragma once
// The board's view of the drawing tools: the board runs the guards every
// tool shares (replay dialog open, full store, modifier keys) and hands the
// mouse to the gesture of the current tool.
#include "platform/types.h"

class CBoardWnd;

class CToolGesture {
 public:
  virtual ~CToolGesture() = default;
  // Left press, after the guards and after the bars were hidden.
  virtual void OnPress(CBoardWnd&, UINT /*flags*/, CPoint) {}
  // Mouse move with neither Ctrl nor Shift down and not the right button alone.
  virtual void OnMove(CBoardWnd&, UINT /*flags*/, CPoint) {}
  // Left release. True when the step ends the message: no default
  // processing and no snapshot of the board.
  virtual bool OnRelease(CBoardWnd&, UINT /*flags*/, CPoint) { return false; }
  virtual void OnDoubleClick(CBoardWnd&, UINT /*flags*/, CPoint) {}
  // Right release, before the frame's bars are toggled.
  virtual void OnRightRelease(CBoardWnd&, UINT /*flags*/, CPoint) {}
  // A command arrives between the press and its release: what the drag
  // shows inverted goes and the mouse is released; the release that
  // follows does not reach the gesture.
  virtual void Cancel(CBoardWnd&) {}
};

class CBoardTools {
 public:
  virtual ~CBoardTools() = default;
  // The gesture of a tool, or nullptr for a tool without steps (the pointer).
  virtual CToolGesture* GestureFor(UINT tool) = 0;
  // A command is about to redraw or change the board: what a gesture keeps
  // drawn only inverted (an open polyline's band) is taken away, and the
  // next press starts afresh.
  virtual void EndGestures(CBoardWnd& board) = 0;
};
