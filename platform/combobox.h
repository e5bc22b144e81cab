#pragma once
// Combo boxes, owner-drawn or not.
#include <memory>
#include <string>

#include "platform/wnd.h"

constexpr DWORD CBS_DROPDOWN = 0x2, CBS_DROPDOWNLIST = 0x3, CBS_OWNERDRAWFIXED = 0x10,
                CBS_AUTOHSCROLL = 0x40, CBS_SORT = 0x100, CBS_HASSTRINGS = 0x200;
constexpr int CB_ERR = -1;
constexpr UINT ODS_SELECTED = 0x1;

// Owner-draw requests of a combo box.
struct DRAWITEMSTRUCT {
  int itemID = -1;
  UINT itemState = 0;  // ODS_SELECTED
  CDC* pDC = nullptr;
  RECT rcItem{};
};
struct MEASUREITEMSTRUCT {
  int itemID = -1;
  UINT itemHeight = 0;
};

// A combo box; its selection changes reach the owning frame as command id.
class CComboBox : public CWnd {
 public:
  CComboBox();
  ~CComboBox() override;
  // rc's height includes the dropped-down list, as on the platform.
  bool Create(DWORD style, const RECT& rc, CWnd* parent, UINT id);
  int AddString(const std::string& gbk);                // sorted with CBS_SORT; returns the index
  int InsertString(int index, const std::string& gbk);  // -1 appends; never sorts
  int DeleteString(int index);                          // the count left, CB_ERR for a bad index
  int GetCount() const;
  int GetLBText(int index, std::string& gbk) const;  // length, CB_ERR for a bad index
  int GetCurSel() const;
  int SetCurSel(int index);  // no notification; -1 clears
  // First item after start (-1: from the top) beginning with gbk, ignoring case.
  int FindString(int start, const std::string& gbk) const;
  int SelectString(int start, const std::string& gbk);
  int SetItemHeight(int index, UINT height);  // -1: the edit field
  int GetItemHeight(int index) const;
  int SetDroppedWidth(UINT width);
  int GetDroppedWidth() const;
  void GetDroppedControlRect(RECT* rc) const;  // screen coordinates
  // The list's own font (its face and pixel height).
  CFont* GetFont();

  // Owner-draw hooks (CBS_OWNERDRAWFIXED): rcItem is in the item's own pixels.
  virtual void DrawItem(DRAWITEMSTRUCT* dis);
  virtual void MeasureItem(MEASUREITEMSTRUCT* mis);
  // Before the list opens.
  virtual void OnDropDown();
  // The user chose another item: default sends the id to the owning frame.
  virtual void OnSelChange();

  QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
  struct Impl;

 private:
  std::unique_ptr<Impl> m_impl;
  CFont m_font;
};
