// Combo boxes over a Qt combo box; owner-drawn items are painted by the
// program through a device context over a scratch surface.
#include "platform/combobox.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cctype>

#include "platform/controlbar.h"
#include "platform/dpi_qt.h"
#include "platform/host_widget_qt.h"
#include "platform/surface_qt.h"

using plat::ControlFont;
using plat::FromGbk;
using plat::HostWidget;
using plat::ToGbk;

namespace {

// The window a control notifies: its parent, or the frame owning a bar.
CWnd* NotifyTarget(CWnd* control) {
  CWnd* parent = control->GetParent();
  if (auto* bar = dynamic_cast<CControlBar*>(parent)) {
    if (CWnd* owner = bar->GetParent()) return owner;
  }
  return parent;
}

// Case-insensitive comparison of the program's code-page strings (ASCII
// letters folded); names beginning with "@" come first.
bool SortsBefore(const std::string& a, const std::string& b) {
  const bool va = !a.empty() && a[0] == '@', vb = !b.empty() && b[0] == '@';
  if (va != vb) return va;
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const int ca = std::tolower(static_cast<unsigned char>(a[i]));
    const int cb = std::tolower(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb;
  }
  return a.size() < b.size();
}

bool StartsWithNoCase(const std::string& s, const std::string& prefix) {
  if (prefix.size() > s.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[i])) !=
        std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

// A device context over a scratch surface (owner-drawn items).
class SurfaceDC : public CDC {
 public:
  explicit SurfaceDC(plat::Surface* s) { Attach(s, nullptr); }
};

class ComboControl : public QComboBox {
 public:
  ComboControl(CComboBox* owner, QWidget* parent) : QComboBox(parent), m_owner(owner) {}
  void showPopup() override {
    m_owner->OnDropDown();
    QComboBox::showPopup();
  }

 private:
  CComboBox* m_owner;
};

class OwnerDrawDelegate : public QStyledItemDelegate {
 public:
  OwnerDrawDelegate(CComboBox* owner, const int* height, QObject* parent)
      : QStyledItemDelegate(parent), m_owner(owner), m_height(height) {}
  void paint(QPainter* p, const QStyleOptionViewItem& opt,
             const QModelIndex& index) const override {
    const QRect r = opt.rect;
    if (r.width() <= 0 || r.height() <= 0) return;
    plat::Surface surface(r.width(), r.height());
    surface.Image().fill(Qt::white);
    {
      SurfaceDC dc(&surface);
      DRAWITEMSTRUCT dis;
      dis.itemID = index.row();
      dis.itemState = (opt.state & QStyle::State_Selected) ? ODS_SELECTED : 0;
      dis.pDC = &dc;
      dis.rcItem = RECT{0, 0, r.width(), r.height()};
      m_owner->DrawItem(&dis);
    }
    p->drawImage(r.topLeft(), surface.Image());
  }
  QSize sizeHint(const QStyleOptionViewItem& opt, const QModelIndex& index) const override {
    return QSize(QStyledItemDelegate::sizeHint(opt, index).width(), *m_height);
  }

 private:
  CComboBox* m_owner;
  const int* m_height;
};

}  // namespace

struct CComboBox::Impl {
  ComboControl* combo = nullptr;
  std::vector<std::string> items;  // GBK, as given
  DWORD style = 0;
  int itemHeight = 16;
  int droppedWidth = 0;
  int droppedHeight = 0;
};

CComboBox::CComboBox() : m_impl(std::make_unique<Impl>()) {}
CComboBox::~CComboBox() = default;

bool CComboBox::Create(DWORD style, const RECT& rc, CWnd* parent, UINT id) {
  m_impl->style = style;
  m_impl->droppedHeight = rc.bottom - rc.top;
  if (!CreateEx(0, style | WS_CHILD, {}, parent, rc, id)) return false;
  // The closed box is as high as its font needs; the rest was the list.
  const int h = std::min<int>(rc.bottom - rc.top, plat::ToDevice(m_impl->combo->sizeHint().height(),
                                                                 plat::Ratio(m_impl->combo)));
  MoveWindow(rc.left, rc.top, rc.right - rc.left, std::max(h, 1), true);
  if (style & CBS_OWNERDRAWFIXED) {
    MEASUREITEMSTRUCT mis;
    mis.itemHeight = UINT(m_impl->itemHeight);
    MeasureItem(&mis);
    m_impl->itemHeight = int(mis.itemHeight);
  }
  return true;
}

QWidget* CComboBox::CreateWidget(QWidget* parent, const CREATESTRUCT& cs) {
  auto* host = new HostWidget(this, parent);
  auto* combo = new ComboControl(this, host);
  m_impl->combo = combo;
  host->m_control = combo;
  combo->setFont(ControlFont());
  const DWORD kind = cs.style & 0x3;
  combo->setEditable(kind == CBS_DROPDOWN);
  if (combo->isEditable()) {
    // Typing into the edit field chooses nothing: only the list and the
    // arrow keys do, so no completion and no match when editing ends.
    combo->setCompleter(nullptr);
    QObject::disconnect(combo->lineEdit(), &QLineEdit::editingFinished, combo, nullptr);
  }
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setFocusPolicy(Qt::StrongFocus);
  if (cs.style & CBS_OWNERDRAWFIXED)
    combo->setItemDelegate(new OwnerDrawDelegate(this, &m_impl->itemHeight, combo));
  QObject::connect(combo, &QComboBox::activated, combo, [this](int) { OnSelChange(); });
  host->m_getText = [this](std::string& gbk) {
    gbk = ToGbk(m_impl->combo->isEditable() ? m_impl->combo->lineEdit()->text()
                                            : m_impl->combo->currentText());
    return true;
  };
  host->m_setText = [this](const std::string& gbk) {
    if (m_impl->combo->isEditable()) m_impl->combo->setEditText(FromGbk(gbk));
    return true;
  };
  return host;
}

int CComboBox::AddString(const std::string& gbk) {
  if (!m_impl->combo) return CB_ERR;
  int at = int(m_impl->items.size());
  if (m_impl->style & CBS_SORT) {
    at = int(std::upper_bound(m_impl->items.begin(), m_impl->items.end(), gbk, SortsBefore) -
             m_impl->items.begin());
  }
  return InsertString(at, gbk);
}

int CComboBox::InsertString(int index, const std::string& gbk) {
  if (!m_impl->combo) return CB_ERR;
  if (index < 0 || index > GetCount()) index = GetCount();
  const int sel = GetCurSel();
  m_impl->items.insert(m_impl->items.begin() + index, gbk);
  m_impl->combo->insertItem(index, FromGbk(gbk));
  if (sel < 0) m_impl->combo->setCurrentIndex(-1);
  return index;
}

int CComboBox::DeleteString(int index) {
  if (!m_impl->combo || index < 0 || index >= GetCount()) return CB_ERR;
  m_impl->items.erase(m_impl->items.begin() + index);
  m_impl->combo->removeItem(index);
  return GetCount();
}

int CComboBox::GetCount() const { return int(m_impl->items.size()); }

int CComboBox::GetLBText(int index, std::string& gbk) const {
  if (index < 0 || index >= GetCount()) return CB_ERR;
  gbk = m_impl->items[size_t(index)];
  return int(gbk.size());
}

int CComboBox::GetCurSel() const {
  if (!m_impl->combo) return CB_ERR;
  const int i = m_impl->combo->currentIndex();
  return i < 0 ? CB_ERR : i;
}

int CComboBox::SetCurSel(int index) {
  if (!m_impl->combo) return CB_ERR;
  if (index < 0 || index >= GetCount()) {
    m_impl->combo->setCurrentIndex(-1);
    return CB_ERR;
  }
  m_impl->combo->setCurrentIndex(index);
  return index;
}

int CComboBox::FindString(int start, const std::string& gbk) const {
  const int n = GetCount();
  if (n == 0) return CB_ERR;
  const int first = (start < 0 || start >= n) ? 0 : start + 1;
  for (int k = 0; k < n; ++k) {
    const int i = (first + k) % n;
    if (StartsWithNoCase(m_impl->items[size_t(i)], gbk)) return i;
  }
  return CB_ERR;
}

int CComboBox::SelectString(int start, const std::string& gbk) {
  const int i = FindString(start, gbk);
  if (i == CB_ERR) return CB_ERR;
  return SetCurSel(i);
}

int CComboBox::SetItemHeight(int index, UINT height) {
  if (!m_impl->combo || height == 0 || height > 255) return CB_ERR;
  if (index < 0) {
    m_impl->combo->setMinimumHeight(int(height));
    return 0;
  }
  m_impl->itemHeight = int(height);
  m_impl->combo->view()->doItemsLayout();
  return 0;
}

int CComboBox::GetItemHeight(int index) const {
  if (!m_impl->combo) return CB_ERR;
  return index < 0 ? m_impl->combo->height() : m_impl->itemHeight;
}

int CComboBox::SetDroppedWidth(UINT width) {
  if (!m_impl->combo) return CB_ERR;
  m_impl->droppedWidth = int(width);
  m_impl->combo->view()->setMinimumWidth(int(width));
  return GetDroppedWidth();
}

int CComboBox::GetDroppedWidth() const {
  if (!m_impl->combo) return CB_ERR;
  return std::max(m_impl->droppedWidth, m_impl->combo->width());
}

void CComboBox::GetDroppedControlRect(RECT* rc) const {
  GetWindowRect(rc);
  rc->bottom = rc->top + std::max<LONG>(m_impl->droppedHeight, rc->bottom - rc->top);
}

CFont* CComboBox::GetFont() {
  const QFont f = ControlFont();
  LOGFONT lf;
  lf.lfHeight = -plat::ToDevice(f.pixelSize(), plat::Ratio(m_impl->combo));  // as the board counts
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfFaceName = ToGbk(f.family());
  m_font.CreateFontIndirect(&lf);
  return &m_font;
}

void CComboBox::DrawItem(DRAWITEMSTRUCT* dis) {
  if (!dis || !dis->pDC || dis->itemID < 0 || dis->itemID >= GetCount()) return;
  const bool sel = dis->itemState & ODS_SELECTED;
  dis->pDC->FillSolidRect(&dis->rcItem, GetSysColor(sel ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  dis->pDC->SetBkMode(TRANSPARENT);
  dis->pDC->SetTextColor(sel ? GetSysColor(COLOR_HIGHLIGHTTEXT) : RGB(0, 0, 0));
  dis->pDC->TextOut(dis->rcItem.left + 2, dis->rcItem.top, m_impl->items[size_t(dis->itemID)]);
}

void CComboBox::MeasureItem(MEASUREITEMSTRUCT*) {}
void CComboBox::OnDropDown() {}

void CComboBox::OnSelChange() {
  if (CWnd* target = NotifyTarget(this)) target->SendCommand(GetDlgCtrlID());
}
