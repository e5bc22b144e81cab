#pragma once
// The common file and colour dialogs. Both run through plat::GetServices(),
// so tests answer them from a script.
#include <string>

#include "platform/types.h"

class CWnd;

// File dialog options.
constexpr DWORD OFN_READONLY = 0x1, OFN_OVERWRITEPROMPT = 0x2, OFN_HIDEREADONLY = 0x4,
                OFN_PATHMUSTEXIST = 0x800, OFN_FILEMUSTEXIST = 0x1000;
// Colour dialog options.
constexpr DWORD CC_RGBINIT = 0x1, CC_FULLOPEN = 0x2, CC_ANYCOLOR = 0x100;

class CFileDialog {
 public:
  // filter: pairs of description and patterns separated by '|', ended by "||"
  // ("Text (*.txt)|*.txt;*.log||"); all strings GBK.
  explicit CFileDialog(bool bOpenFileDialog, const std::string& defExt = {},
                       const std::string& fileName = {},
                       DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       const std::string& filter = {}, CWnd* parent = nullptr);
  // IDOK when a file was chosen, IDCANCEL otherwise.
  int DoModal();
  // The chosen full path, in the program's code page.
  std::string GetPathName() const { return m_path; }

  struct Options {
    std::string lpstrTitle;  // GBK; empty: the platform's default title
    // The folder to open in (GBK); empty: the platform's choice. A folder
    // that no longer exists gives way to the nearest one above it.
    std::string lpstrInitialDir;
    DWORD Flags = 0;
  } m_ofn;

 private:
  bool m_open;
  std::string m_defExt, m_fileName, m_filter, m_path;
  CWnd* m_parent;
};

// The folder part of a path ("/a/b.zsy" gives "/a"); empty without one.
std::string FolderOfPath(const std::string& gbkPath);

class CColorDialog {
 public:
  explicit CColorDialog(COLORREF clrInit = 0, DWORD flags = 0, CWnd* parent = nullptr);
  // IDOK when a colour was chosen, IDCANCEL otherwise.
  int DoModal();
  COLORREF GetColor() const { return m_cc.rgbResult; }

  struct Options {
    COLORREF rgbResult = 0;
    DWORD Flags = 0;
  } m_cc;

 private:
  CWnd* m_parent;
};
