#include "panels/font_combo.h"

#include "platform/codepage.h"
#include "platform/desktop.h"
#include "platform/fonts.h"
#include "platform/gdi.h"
#include "res/resource.h"

const char CFontCombo::kSymbolSample[] = "AbBdDfGhIj";
const char CFontCombo::kPreviewCode[] = "RIZIRU";

namespace {

constexpr char kPreviewKey[] = "Software\\RadeZoza";
constexpr COLORREF kMaskColor = 0x00FF00FF;
constexpr int kTrueTypeImage = 1;

// Upper case for ASCII letters; the trail byte of a double-byte character
// may look like a letter and is kept.
std::string UpperGbk(const std::string& s) {
  std::string out = s;
  for (size_t i = 0; i < out.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(out[i]);
    if (c >= 0x81) {
      ++i;
    } else if (c >= 'a' && c <= 'z') {
      out[i] = static_cast<char>(c - 'a' + 'A');
    }
  }
  return out;
}

}  // namespace

CFontCombo::CFontCombo() { m_imageList.Create(IDB_FONTTYPE, 15, 1, kMaskColor); }

CFontCombo::~CFontCombo() = default;

void CFontCombo::EnumerateFonts() {
  CWindowDC screen(nullptr);
  LOGFONT all;
  all.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesEx(
      &screen, &all,
      [this](const LOGFONT& lf, DWORD type) {
        OnEnumFont(lf, type);
        return 1;
      },
      0);
}

void CFontCombo::OnEnumFont(const LOGFONT& lf, DWORD fontType) {
  if (fontType & RASTER_FONTTYPE) return;
  AddFont(lf.lfFaceName, (fontType & TRUETYPE_FONTTYPE) != 0, lf.lfCharSet);
}

void CFontCombo::AddFont(const std::string& face, bool trueType, BYTE charSet) {
  if (m_mapFonts.count(face)) return;
  auto entry = std::make_unique<CFontEntry>();
  entry->m_bTrueType = trueType ? 1 : 0;
  entry->m_nCharSet = charSet;
  m_mapFonts.emplace(face, std::move(entry));
}

const CFontEntry* CFontCombo::FindEntry(const std::string& face) const {
  const auto it = m_mapFonts.find(face);
  return it == m_mapFonts.end() ? nullptr : it->second.get();
}

void CFontCombo::FillFontList() {
  EnumerateFonts();
  for (const auto& [face, entry] : m_mapFonts) AddString(face);
  MergeVerticalTwins(*this);
  if (SelectString(-1, GBK("宋体")) == CB_ERR) SetCurSel(-1);
  RECT dropped;
  GetDroppedControlRect(&dropped);
  m_nDropWidth = dropped.right - dropped.left;
  m_nItemHeight = int(CClientDC(this).GetTextExtent("str").cy);
  m_pListFont = GetFont();
  LoadPreviewSetting();
}

void CFontCombo::LoadPreviewSetting() {
  HKEY key = nullptr;
  if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, kPreviewKey, 0, KEY_READ | KEY_WRITE, &key) ==
      ERROR_SUCCESS) {
    DWORD value = 1, size = sizeof value, type = 0;
    RegQueryValueEx(key, "Value", &type, &value, &size);
    m_bPreview = value == 1;
  } else {
    m_bPreview = true;
    if (RegCreateKey(HKEY_LOCAL_MACHINE, kPreviewKey, &key) != ERROR_SUCCESS) return;
    const DWORD on = 1;
    RegSetValueEx(key, "Value", REG_DWORD, &on, sizeof on);
    static const char kWriter[] = "Orin_TAK";
    RegSetValueEx(key, "Writer", REG_SZ, kWriter, sizeof kWriter);
  }
  RegCloseKey(key);
}

void CFontCombo::OnDropDown() {
  m_strEdit = UpperGbk(GetWindowText());
  if (m_strEdit == kPreviewCode) m_bPreview = !m_bPreview;
  if (m_bPreview) {
    SetItemHeight(0, kPreviewItemHeight);
    SetDroppedWidth(kPreviewDropWidth);
  } else {
    SetDroppedWidth(UINT(m_nDropWidth));
    SetItemHeight(0, UINT(m_nItemHeight & 0xFFFF));
  }
}

void CFontCombo::MeasureItem(MEASUREITEMSTRUCT*) {}

void CFontCombo::DrawItem(DRAWITEMSTRUCT* dis) {
  if (!dis || !dis->pDC || dis->itemID < 0 || dis->itemID >= GetCount()) return;
  CDC& dc = *dis->pDC;
  const RECT& r = dis->rcItem;
  const int saved = dc.SaveDC();
  if (dis->itemState & ODS_SELECTED) {
    dc.FillSolidRect(&r, GetSysColor(COLOR_HIGHLIGHT));
    dc.SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
  } else {
    dc.FillSolidRect(&r, dc.GetBkColor());
  }
  dc.SetBkMode(TRANSPARENT);

  std::string name;
  GetLBText(dis->itemID, name);
  // A vertical face whose plain face was not enumerated draws as a face
  // without the mark.
  const CFontEntry* entry = FindEntry(name);
  int x = r.left, y = r.top;
  if (m_bPreview) {
    x += 3;
    y += 7;
  }
  if (entry && entry->m_bTrueType) m_imageList.Draw(&dc, kTrueTypeImage, {x, y}, ILD_TRANSPARENT);
  x += 17;
  if (!m_bPreview) {
    if (m_pListFont) dc.SelectObject(m_pListFont);
    dc.TextOut(x, y, name);
  } else {
    const BYTE charSet = entry ? entry->m_nCharSet : DEFAULT_CHARSET;
    std::string text = name;
    if (charSet == SYMBOL_CHARSET) {
      if (m_pListFont) dc.SelectObject(m_pListFont);
      dc.TextOut(x, y, name);
      x += int(dc.GetTextExtent(name).cx) + 5;
      text = kSymbolSample;
    }
    LOGFONT lf;
    lf.lfHeight = kPreviewFontHeight;
    lf.lfCharSet = charSet;
    lf.lfFaceName = name;
    CFont face;
    face.CreateFontIndirect(&lf);
    {
      CSelectScope<CFont> scope(dc, &face);
      dc.TextOut(x, y - 5, text);
    }
    face.DeleteObject();
  }
  dc.RestoreDC(saved);
}

void CFontCombo::OnDestroy() {
  m_mapFonts.clear();
  CComboBox::OnDestroy();
}
