#pragma once
// The drawing tools' gestures and the set the board drives. Each gesture
// prepares its record, appends it and draws it with the one record drawing
// routine; rubber bands are the gestures' own, drawn inverted.
#include <memory>

#include "board/gesture.h"
#include "platform/gdi.h"
#include "records/draw_record.h"

// The gestures of every drawing tool built so far, each with its own state.
std::unique_ptr<CBoardTools> MakeBoardTools();

// A gesture that prepares one record at a time and appends it.
class CRecordingGesture : public CToolGesture {
 protected:
  // Appends the prepared record m_recOpen: its opcode and its first `fields`
  // fields (2: f1, f2; 4: f1 to f4) reach the open slot, the other bytes
  // keep what the slot held. False, writing nothing, when full.
  bool AppendPrepared(CBoardWnd& board, int fields);
  // Appends the prepared record and, when appended, draws it as a replay does.
  void AppendAndDraw(CBoardWnd& board, int fields);

  // The record being prepared; it reaches the open slot only when appended,
  // so a gesture that appends nothing leaves an undone record intact for redo.
  DrawRecord m_recOpen{};
};

std::unique_ptr<CToolGesture> MakePenGesture();
std::unique_ptr<CToolGesture> MakeBrushGesture();
// Line, arrow, rectangle, rounded rectangle or ellipse.
std::unique_ptr<CToolGesture> MakeTwoPointGesture(UINT tool);
// The flashing area, rectangle and mark.
std::unique_ptr<CToolGesture> MakeFlashingGesture(UINT tool);
std::unique_ptr<CToolGesture> MakeTextGesture();
std::unique_ptr<CToolGesture> MakeMagnifierGesture();
std::unique_ptr<CToolGesture> MakePickColorGesture();
std::unique_ptr<CToolGesture> MakeFillGesture();

class CPolylineGesture : public CRecordingGesture {
 public:
  void OnPress(CBoardWnd& board, UINT flags, CPoint pt) override;
  void OnMove(CBoardWnd& board, UINT flags, CPoint pt) override;
  bool OnRelease(CBoardWnd& board, UINT flags, CPoint pt) override;
  void OnDoubleClick(CBoardWnd& board, UINT flags, CPoint pt) override;
  // The segment drawn at the press stays on the picture, so it is recorded
  // as its release would record it.
  void Cancel(CBoardWnd& board) override;
  // Erases the band; the next press starts a new polyline.
  void End(CBoardWnd& board) override;

 private:
  void ToggleBand(CDC& dc, POINT to);
  void EraseBand(CBoardWnd& board);

  // The last fixed vertex, where the band was last drawn to, and the
  // vertices placed so far (none: the next press starts a new polyline).
  POINT m_ptPolyLast{}, m_ptLast{};
  int m_nPolyPoints = 0;

  // The pen the band was last drawn with: the style may change between two
  // clicks, and the band must still be erased exactly.
  CPen m_penBand;
};
