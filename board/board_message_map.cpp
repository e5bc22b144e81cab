#include "board/board_wnd.h"
#include "res/resource.h"

// The board's message map: every command the frame offers it first. The
// folders above the board add their own commands (pictures, later files,
// replay and the font bar) when the frame is built.
void CBoardWnd::BuildMessageMap() {
  OnCommand(ID_UNDO, [this] { OnUndo(); });
  OnUpdateCommand(ID_UNDO, [this](CCmdUI* ui) { OnUpdateHasRecords(ui); });
  OnCommand(ID_CLEAR_ALL, [this] { OnClearAll(); });
  OnUpdateCommand(ID_CLEAR_ALL, [this](CCmdUI* ui) { OnUpdateHasRecords(ui); });
  OnCommand(ID_TEMP_EXIT, [this] { OnTempExit(); });
  OnCommand(ID_SAVE_DATA, [this] { OnSaveData(); });
  OnCommand(ID_OPEN_DATA, [this] { OnOpenData(); });
  OnCommand(ID_START, [this] { OnStart(); });
  OnUpdateCommand(ID_START, [this](CCmdUI* ui) { OnUpdateStart(ui); });
  OnCommand(ID_REDO, [this] { OnRedo(); });
  OnUpdateCommand(ID_REDO, [this](CCmdUI* ui) { OnUpdateRedo(ui); });
  OnCommand(ID_BACKGROUND_CYCLE, [this] { OnBackgroundCycle(); });
  OnCommand(ID_TRANSPARENT, [this] { OnTransparent(); });
  OnUpdateCommand(ID_TRANSPARENT, [this](CCmdUI* ui) { OnUpdateTransparent(ui); });
  OnCommandRange(ID_TOOL_FILL, ID_TOOL_PICKCOLOR, [this](UINT id) { OnSelectTool(id); });
  OnUpdateCommandRange(ID_TOOL_FILL, ID_TOOL_PICKCOLOR,
                       [this](CCmdUI* ui) { OnUpdateSelectTool(ui); });
}
