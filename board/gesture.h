#pragma once
// The board's view of the drawing tools: the board runs the guards every
// tool shares (replay dialog open, full store, modifier keys) and hands the
// mouse, the timers, the keys and its cleanups to the tools' gestures. What
// a tool keeps between two messages lives in its gesture, never on the board.
#include "platform/types.h"

class CBoardWnd;

class CToolGesture {
 public:
  virtual ~CToolGesture() = default;
  // The tool has become current (the previous one was left already).
  virtual void OnEnter(CBoardWnd&) {}
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
  // A tick of a board timer. Every gesture hears every tick, current or
  // not (an open text box keeps growing after its tool was left); true
  // when the timer is the gesture's own.
  virtual bool OnTick(CBoardWnd&, UINT_PTR /*id*/) { return false; }
  // A command arrives between the press and its release: what the drag
  // shows inverted goes and the mouse is released; the release that
  // follows does not reach the gesture.
  virtual void Cancel(CBoardWnd&) {}
  // The tool is about to be left, or a command is about to change the
  // board, with the tool still current: what the tool shows for the moment
  // (a flashing shape, its bars, its view) is taken away.
  virtual void Leave(CBoardWnd&) {}
  // Undo is about to take a step back with the tool current: work not yet
  // recorded is dropped.
  virtual void Discard(CBoardWnd&) {}
  // A command is about to redraw the board, whatever the tool: what the
  // gesture keeps drawn only inverted goes and the next press starts afresh.
  virtual void End(CBoardWnd&) {}
};

class CBoardTools {
 public:
  virtual ~CBoardTools() = default;
  // The gesture of a tool, or nullptr for a tool without steps (the pointer).
  virtual CToolGesture* GestureFor(UINT tool) = 0;
  // End on every gesture.
  virtual void EndGestures(CBoardWnd& board) = 0;
  // Offers a timer tick to every gesture until one owns it.
  virtual bool Tick(CBoardWnd& board, UINT_PTR id) = 0;
};
