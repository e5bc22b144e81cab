// Saving the drawing to a pointer data file and opening one again.
#include <algorithm>
#include <string>

#include "board/board_wnd.h"
#include "platform/codepage.h"
#include "platform/commdlg.h"
#include "records/pointer_file.h"

namespace {

constexpr unsigned kOpenPause = 1000;

std::string DataFilter() { return GBK("教鞭数据文件(*.zsy)|*.zsy||"); }

// The fixed text, then the file and why.
void ShowFailure(const char* what, const std::string& path, const std::string& reason) {
  AfxMessageBox(GBK(what) + "\n" + path + "\n" + reason, MB_OK);
}

std::string NotALessonReason(const datafile::PointerData& data) {
  if (data.badRecord >= 0)
    return GBK("第 " + std::to_string(data.badRecord + 1) + " 个记录的类型无法识别。");
  if (data.fileBytes % datafile::kRecordBytes == 0)
    return GBK("文件有 " + std::to_string(data.fileBytes / datafile::kRecordBytes) +
               " 个记录，多于 " + std::to_string(kRecordSlots) + " 个。");
  return GBK("文件大小（" + std::to_string(data.fileBytes) + " 字节）不是 " +
             std::to_string(datafile::kRecordBytes) + " 字节记录的整数倍。");
}

}  // namespace

void CBoardWnd::OnSaveData() {
  ClearTransientMarks();
  CFileDialog dialog(false, "zsy", {}, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, DataFilter(),
                     m_pFrame ? &m_pFrame->FrameWindow() : nullptr);
  dialog.m_ofn.lpstrTitle = GBK("把当前操作保存为数据文件");
  dialog.m_ofn.lpstrInitialDir = FolderOfPath(m_strDataPath);
  if (dialog.DoModal() != IDOK) return;
  m_strDataPath = dialog.GetPathName();
  plat::FileError why = plat::FileError::kNone;
  switch (datafile::SavePointerData(m_strDataPath, g_records, m_nCount, m_texts, &why)) {
    case datafile::SaveStatus::kSaved:
      break;
    case datafile::SaveStatus::kCannotCreate:
      ShowFailure("文件无法创建！", m_strDataPath, plat::FileErrorText(why));
      break;
    case datafile::SaveStatus::kWriteFailed:
      ShowFailure("文件写入失败！", m_strDataPath, plat::FileErrorText(why));
      break;
  }
}

void CBoardWnd::OnOpenData() {
  CFileDialog dialog(true, "zsy", {}, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, DataFilter(),
                     m_pFrame ? &m_pFrame->FrameWindow() : nullptr);
  dialog.m_ofn.lpstrInitialDir = FolderOfPath(m_strDataPath);
  if (dialog.DoModal() != IDOK) return;
  OpenDataFile(dialog.GetPathName());
}

bool CBoardWnd::OpenDataFile(const std::string& path) {
  ClearTransientMarks();
  m_strDataPath = path;
  // The file is read whole before anything changes, so a file that cannot
  // be read leaves the drawing, its texts and its picture as they were.
  datafile::PointerData data = datafile::ReadPointerData(m_strDataPath);
  switch (data.status) {
    case datafile::OpenStatus::kOpened:
      break;
    case datafile::OpenStatus::kCannotOpen:
      ShowFailure("文件不存在或打不开！", m_strDataPath, plat::FileErrorText(data.why));
      return false;
    case datafile::OpenStatus::kCannotRead:
      ShowFailure("文件无法读取！", m_strDataPath, plat::FileErrorText(data.why));
      return false;
    // A picture or any other file given the extension would replace the
    // drawing with nothing.
    case datafile::OpenStatus::kNotALesson:
      ShowFailure("这不是教鞭数据文件！", m_strDataPath, NotALessonReason(data));
      return false;
  }

  HideFrameBars();
  m_nCount = 0;
  ShowBackground();
  Sleep(kOpenPause);
  // Slots after the records read keep what they held.
  std::copy(data.records.begin(), data.records.end(), g_records);
  m_nCount = int(data.records.size());
  m_texts = std::move(data.texts);
  m_posText = m_texts.end();
  Replay(0, m_nCount, false);
  SnapshotBoard();
  if (m_pFrame) m_pFrame->RepaintPalette();
  return true;
}
