#pragma once
// The board's record-facing state and the operations on it: the style-record
// appender, the style reset and the replay engine with its shared drawing
// routines. CBoardWnd derives from it; tests use it on a bare surface.
#include <list>
#include <memory>
#include <string>

#include "platform/gdi.h"
#include "platform/types.h"
#include "records/draw_record.h"
#include "res/resource.h"

class CBoardCore {
 public:
  CBoardCore();
  virtual ~CBoardCore();

  // Style records (kinds kStylePen .. kStyleFont); nothing at all when full.
  void AppendStyleRecord(int kind);
  // Brings the style and the pen, brush or font in line with a pen, brush,
  // fill or font record: the one way a style record takes effect, live or
  // replayed. A font record takes `face` when given, else keeps the face.
  void ApplyStyleRecord(const DrawRecord& r, const std::string* face);
  void ResetStyle(bool restoreSaved);
  void SetDefaultLogFont();

  // Writes rec into the open slot and raises the count when below the limit;
  // returns whether it was appended. Nothing is written when full.
  bool AppendRecord(const DrawRecord& rec);
  // Drops the text list's last entry; a replay cursor on it moves to the end.
  void RemoveLastText();

  // Draws records [from, to) onto the board, at once or animated (the
  // steps of each record's animation, with pauses and the real pointer).
  void Replay(int from, int to, bool animate);
  // Draws one record at the replay's text cursor, or applies its style.
  void ReplayRecord(CDC& dc, const DrawRecord& r);
  // The cursor of the current tool (the board shows it; a bare core shows none).
  virtual void SetToolCursor() {}

  int m_nCount = 0;
  std::list<std::string> m_texts;  // GBK texts and face names, in record order
  std::list<std::string>::iterator m_posText = m_texts.end();
  CPen m_pen;
  CPen m_nullPen;
  CBrush m_brush;
  CBrush m_nullBrush;
  CFont m_font;
  LOGFONT m_logFont;
  LOGFONT m_logFontSaved;
  // The pen in force when the style was saved: after a reset it may differ
  // from the saved style's width and line style, and the records drawn
  // next must look as they will in a replay.
  CPen m_penSaved;
  bool m_bTransparent = false;
  // Transparent display as the records left it when the replay command
  // saved the style; the review closing brings it back.
  bool m_bTransparentSaved = false;
  // An undo's redraw is under way: the board paints the bare background.
  bool m_bRedrawing = false;
  int m_nCorner = 50;
  int m_nReplayDelay = 2000;
  UINT m_nTool = ID_TOOL_POINTER;

 protected:
  // A fresh client context of the board (platform defaults).
  virtual std::unique_ptr<CDC> GetBoardDC() = 0;
  // The style follows into the text box: pen colour, brush colour, font.
  virtual void TextBoxSetColor(COLORREF) {}
  virtual void TextBoxSetBkColor(COLORREF) {}
  virtual void TextBoxSetFont(CFont*) {}
};
