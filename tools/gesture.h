#pragma once
// The steps each tool adds to the board's mouse handlers. The board runs the
// guards (replay dialog open, full store, modifier keys) and then hands the
// message to the gesture of the current tool.
#include "platform/types.h"
#include "records/draw_record.h"

class CBoardWnd;

class CToolGesture {
 public:
  virtual ~CToolGesture() = default;
  // Left press, after the guards and after the bars were hidden.
  virtual void OnPress(CBoardWnd& board, UINT flags, CPoint pt);
  // Mouse move with neither Ctrl nor Shift down and not the right button alone.
  virtual void OnMove(CBoardWnd& board, UINT flags, CPoint pt);
  // Left release. True when the step ends the message: no default
  // processing and no snapshot of the board.
  virtual bool OnRelease(CBoardWnd& board, UINT flags, CPoint pt);
  virtual void OnDoubleClick(CBoardWnd& board, UINT flags, CPoint pt);
  // Right release, before the frame's bars are toggled.
  virtual void OnRightRelease(CBoardWnd& board, UINT flags, CPoint pt);
};

// The gesture of a tool, or nullptr for a tool without steps (the pointer).
CToolGesture* GestureFor(UINT tool);

// The gesture families.
CToolGesture& PenGesture();
CToolGesture& BrushGesture();
CToolGesture& TwoPointGesture(UINT tool);  // line, arrow, rectangles, ellipse
CToolGesture& PolylineGesture();

// No gesture records anything once drawing has filled the store. The count is
// compared unsigned: a damaged negative count is as full.
inline bool StoreFull(int count) {
  return static_cast<unsigned>(count) >= static_cast<unsigned>(kRecordLimit);
}

// Appends the board's prepared record m_recOpen: its opcode and its first
// `fields` fields (2: f1, f2; 4: f1 to f4) reach the open slot, the other
// bytes keep what the slot held. False, writing nothing, when full.
bool AppendPrepared(CBoardWnd& board, int fields);

// Ends an open polyline: its rubber band is erased and the next press
// starts a new one.
void EndPolyline(CBoardWnd& board);
