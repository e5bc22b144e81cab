#include "app/picture_commands.h"

#include "board/board_wnd.h"
#include "image/dib.h"
#include "platform/codepage.h"
#include "platform/commdlg.h"
#include "res/res.h"
#include "res/resource.h"

namespace {

std::string PictureFilter() {
  const char* filter = res::String(IDS_PICTURE_FILTER);
  return filter ? GBK(filter) : std::string();
}

// The picture last chosen in either dialog: the next one opens in its
// folder, or in the lesson's before any.
std::string g_lastPicture;

std::string PictureFolder(const CBoardWnd& board) {
  return FolderOfPath(g_lastPicture.empty() ? board.m_strDataPath : g_lastPicture);
}

// Every failed save or load says so, naming the file and the reason.
void ShowFailure(CBoardWnd& board, const char* what, const std::string& path, PictureError why) {
  MessageBoxOwned(&board, GBK(what) + "\n" + path + "\n" + PictureErrorText(why), GBK("消息"),
                  MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

void OnSavePicture(CBoardWnd& board) {
  CFileDialog dialog(false, "jpg", {}, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, PictureFilter(),
                     nullptr);
  dialog.m_ofn.lpstrInitialDir = PictureFolder(board);
  if (dialog.DoModal() != IDOK) return;
  const std::string path = g_lastPicture = dialog.GetPathName();
  CDib picture;
  if (!picture.Create(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), 24)) return;
  // Saving the blank picture when the capture failed would report a black
  // file as the board's picture.
  PictureError why = PictureError::kWriteFailed;
  if (!picture.FromBitmap(&board.m_bmpCurrent) || !picture.Save(path, &why)) {
    ShowFailure(board, "图片文件无法保存：", path, why);
    return;
  }
  MessageBoxOwned(&board, GBK("保存图片文件完成！"), GBK("消息"), MB_OK);
}

void OnLoadPicture(CBoardWnd& board) {
  CFileDialog dialog(true, {}, {}, OFN_HIDEREADONLY, PictureFilter(), nullptr);
  dialog.m_ofn.lpstrInitialDir = PictureFolder(board);
  if (dialog.DoModal() != IDOK) return;
  const std::string path = g_lastPicture = dialog.GetPathName();
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  CDib picture;
  // A file that cannot be read or drawn leaves the board as it was: the
  // bars stay, and no black picture is captured in place of the drawing.
  PictureError why = PictureError::kNone;
  if (!picture.Load(path, &why)) {
    ShowFailure(board, "图片文件无法打开：", path, why);
    return;
  }
  {
    CClientDC dc(&board);
    const RECT screen{0, 0, width, height};
    if (picture.Paint(&dc, &screen) == 0) {
      ShowFailure(board, "图片文件无法打开：", path, PictureError::kCannotPaint);
      return;
    }
  }
  board.HideFrameBars();
  // The capture copies the screen, so the picture must be on it first.
  board.PresentNow();
  board.CaptureScreen();
}

void InstallPictureCommands(CBoardWnd& board) {
  board.OnCommand(ID_SAVE_PICTURE, [&board] { OnSavePicture(board); });
  board.OnCommand(ID_LOAD_PICTURE, [&board] { OnLoadPicture(board); });
}
