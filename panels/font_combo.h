#pragma once
// The font name list: every installed face once, the faces that also write
// vertically at the top, TrueType faces marked, and in preview mode each
// name drawn in its own face.
#include <map>
#include <memory>
#include <string>

#include "platform/combobox.h"
#include "platform/imagelist.h"

class CFontEntry {
 public:
  virtual ~CFontEntry() = default;
  int m_nReserved = 0;
  int m_bTrueType = 0;
  BYTE m_nCharSet = 0;
};

class CFontCombo : public CComboBox {
 public:
  CFontCombo();
  ~CFontCombo() override;

  // Lists the faces; once, right after the window is created.
  void FillFontList();
  // One enumerated logical font: raster faces are left out, a face seen
  // again in another character set is ignored.
  void OnEnumFont(const LOGFONT& lf, DWORD fontType);
  void AddFont(const std::string& face, bool trueType, BYTE charSet);
  const CFontEntry* FindEntry(const std::string& face) const;

  void DrawItem(DRAWITEMSTRUCT* dis) override;
  void MeasureItem(MEASUREITEMSTRUCT* mis) override;
  void OnDropDown() override;
  void OnDestroy() override;

  std::string m_strEdit;
  CImageList m_imageList;
  bool m_bPreview = true;
  CFont* m_pListFont = nullptr;
  std::map<std::string, std::unique_ptr<CFontEntry>> m_mapFonts;
  int m_nDropWidth = 0;
  int m_nItemHeight = 0;

  // Preview mode's items, list width and sample text of symbol faces.
  static constexpr int kPreviewItemHeight = 24;
  static constexpr int kPreviewDropWidth = 300;
  static constexpr int kPreviewFontHeight = 20;
  static const char kSymbolSample[];
  // Typed into the edit field (any case) before the list opens, it switches
  // the preview mode until the program ends.
  static const char kPreviewCode[];

 protected:
  // The installed fonts, each through OnEnumFont.
  virtual void EnumerateFonts();
  // The machine-wide switch of the preview mode ("Value" 1: on), created
  // with preview on where missing.
  void LoadPreviewSetting();
};

// Faces with a vertical twin ("@" name) sort first in a sorted list: each
// one's horizontal twin is removed and its "@" stripped, so those faces
// stand at the top once, in the order of their "@" names. Works on any list
// with the combo box's GetCount, GetLBText, DeleteString and InsertString.
template <class List>
void MergeVerticalTwins(List& list) {
  const auto vertical = [&](int i) {
    std::string t;
    return list.GetLBText(i, t) > 0 && t[0] == '@';
  };
  for (int i = 0; i < list.GetCount() && vertical(i); ++i) {
    std::string v;
    list.GetLBText(i, v);
    for (int k = 0; k < list.GetCount(); ++k) {
      std::string t;
      list.GetLBText(k, t);
      if ("@" + t == v) {
        list.DeleteString(k);
        if (k < i) --i;  // "@@x" and its twin "@x"
        break;
      }
    }
  }
  for (int i = 0; i < list.GetCount() && vertical(i); ++i) {
    std::string v;
    list.GetLBText(i, v);
    list.DeleteString(i);
    list.InsertString(i, v.substr(1));
  }
}
