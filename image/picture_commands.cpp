#include "image/picture_commands.h"

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

}  // namespace

void OnSavePicture(CBoardWnd& board) {
  CFileDialog dialog(false, "jpg", {}, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, PictureFilter(),
                     nullptr);
  if (dialog.DoModal() != IDOK) return;
  const std::string path = dialog.GetPathName();
  CDib picture;
  if (!picture.Create(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), 24)) return;
  // Saving the blank picture when the capture failed would report a black
  // file as the board's picture.
  if (!picture.FromBitmap(&board.m_bmpCurrent)) return;
  if (picture.Save(path)) MessageBoxOwned(&board, GBK("保存图片文件完成！"), GBK("消息"), MB_OK);
}

void OnLoadPicture(CBoardWnd& board) {
  CFileDialog dialog(true, {}, {}, OFN_HIDEREADONLY, PictureFilter(), nullptr);
  if (dialog.DoModal() != IDOK) return;
  const std::string path = dialog.GetPathName();
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  CDib picture;
  if (!picture.Create(width, height, 24)) return;
  // A file that cannot be read leaves the board as it was: the bars stay,
  // and no black picture is captured in place of the drawing.
  if (!picture.Load(path)) return;
  board.HideFrameBars();
  {
    CClientDC dc(&board);
    const RECT screen{0, 0, width, height};
    picture.Paint(&dc, &screen);
  }
  // The capture copies the screen, so the picture must be on it first.
  board.PresentNow();
  board.CaptureScreen();
}

void InstallPictureCommands(CBoardWnd& board) {
  board.OnCommand(ID_SAVE_PICTURE, [&board] { OnSavePicture(board); });
  board.OnCommand(ID_LOAD_PICTURE, [&board] { OnLoadPicture(board); });
}
