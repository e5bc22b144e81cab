// Saving the drawing to a pointer data file and opening one again.
#include <algorithm>

#include "board/board_wnd.h"
#include "platform/codepage.h"
#include "platform/commdlg.h"
#include "records/pointer_file.h"

namespace {

constexpr unsigned kOpenPause = 1000;

std::string DataFilter() { return GBK("教鞭数据文件(*.zsy)|*.zsy||"); }

}  // namespace

void CBoardWnd::OnSaveData() {
  ClearTransientMarks();
  CFileDialog dialog(false, "zsy", {}, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, DataFilter(),
                     m_pFrame ? &m_pFrame->FrameWindow() : nullptr);
  dialog.m_ofn.lpstrTitle = GBK("把当前操作保存为数据文件");
  if (dialog.DoModal() != IDOK) return;
  m_strDataPath = dialog.GetPathName();
  switch (datafile::SavePointerData(m_strDataPath, g_records, m_nCount, m_texts)) {
    case datafile::SaveStatus::kSaved:
      break;
    case datafile::SaveStatus::kCannotCreate:
      AfxMessageBox(GBK("文件无法创建！"), MB_OK);
      break;
    case datafile::SaveStatus::kWriteFailed:
      AfxMessageBox(GBK("文件写入失败！"), MB_OK);
      break;
  }
}

void CBoardWnd::OnOpenData() {
  CFileDialog dialog(true, "zsy", {}, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, DataFilter(),
                     m_pFrame ? &m_pFrame->FrameWindow() : nullptr);
  if (dialog.DoModal() != IDOK) return;
  ClearTransientMarks();
  m_strDataPath = dialog.GetPathName();
  // The file is read whole before anything changes, so a file that cannot
  // be read leaves the drawing, its texts and its picture as they were.
  datafile::PointerData data = datafile::ReadPointerData(m_strDataPath);
  if (data.status == datafile::OpenStatus::kCannotOpen) {
    AfxMessageBox(GBK("文件不存在或打不开！"), MB_OK);
    return;
  }
  if (data.status == datafile::OpenStatus::kCannotRead) {
    AfxMessageBox(GBK("文件无法读取！"), MB_OK);
    return;
  }

  HideFrameBars();
  m_nCount = 0;
  Invalidate(true);
  UpdateWindow();
  Sleep(kOpenPause);
  // Slots after the records read keep what they held.
  std::copy(data.records.begin(), data.records.end(), g_records);
  m_nCount = int(data.records.size());
  m_texts = std::move(data.texts);
  m_posText = m_texts.end();
  Replay(0, m_nCount, false);
  SnapshotBoard();
  if (m_pFrame) m_pFrame->RepaintPalette();
}
