#include "tools/gesture.h"

#include <array>

#include "board/board_wnd.h"
#include "records/draw_routines.h"
#include "res/resource.h"

bool CRecordingGesture::AppendPrepared(CBoardWnd& board, int fields) {
  if (StoreFull(board.m_nCount)) return false;
  DrawRecord rec = g_records[board.m_nCount];
  rec.op = m_recOpen.op;
  rec.f1 = m_recOpen.f1;
  rec.f2 = m_recOpen.f2;
  if (fields >= 4) {
    rec.f3 = m_recOpen.f3;
    rec.f4 = m_recOpen.f4;
  }
  return board.AppendRecord(rec);
}

void CRecordingGesture::AppendAndDraw(CBoardWnd& board, int fields) {
  if (!AppendPrepared(board, fields)) return;
  CClientDC dc(&board);
  DrawRecordOn(dc, board, g_records[board.m_nCount - 1]);
}

namespace {

// Every tool with steps has one gesture for the board's lifetime.
class CDrawingTools : public CBoardTools {
 public:
  CDrawingTools() {
    Add(ID_TOOL_PEN, MakePenGesture());
    Add(ID_TOOL_BRUSH, MakeBrushGesture());
    for (UINT tool :
         {ID_TOOL_LINE, ID_TOOL_ARROW, ID_TOOL_RECT, ID_TOOL_ROUNDRECT, ID_TOOL_ELLIPSE})
      Add(tool, MakeTwoPointGesture(tool));
    Add(ID_TOOL_POLYLINE, std::make_unique<CPolylineGesture>());
    Add(ID_TOOL_TEXT, MakeTextGesture());
    Add(ID_TOOL_MAGNIFY, MakeMagnifierGesture());
    for (UINT tool : {ID_TOOL_FLASH_AREA, ID_TOOL_FLASH_RECT, ID_TOOL_FLASH_MARK})
      Add(tool, MakeFlashingGesture(tool));
    Add(ID_TOOL_PICKCOLOR, MakePickColorGesture());
    Add(ID_TOOL_FILL, MakeFillGesture());
  }

  CToolGesture* GestureFor(UINT tool) override {
    return tool >= ID_TOOL_FILL && tool <= ID_TOOL_PICKCOLOR ? m_gestures[tool - ID_TOOL_FILL].get()
                                                             : nullptr;
  }

  void EndGestures(CBoardWnd& board) override {
    for (auto& gesture : m_gestures)
      if (gesture) gesture->End(board);
  }

  bool Tick(CBoardWnd& board, UINT_PTR id) override {
    for (auto& gesture : m_gestures)
      if (gesture && gesture->OnTick(board, id)) return true;
    return false;
  }

 private:
  void Add(UINT tool, std::unique_ptr<CToolGesture> gesture) {
    m_gestures[tool - ID_TOOL_FILL] = std::move(gesture);
  }

  std::array<std::unique_ptr<CToolGesture>, ID_TOOL_PICKCOLOR - ID_TOOL_FILL + 1> m_gestures;
};

}  // namespace

std::unique_ptr<CBoardTools> MakeBoardTools() { return std::make_unique<CDrawingTools>(); }
