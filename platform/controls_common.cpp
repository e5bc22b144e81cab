// Common controls over Qt widgets (combo box, rich text box, slider, push
// button) and dialogs built from templates.
#include <QAbstractItemView>
#include <QAbstractTextDocumentLayout>
#include <QComboBox>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QStyledItemDelegate>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>
#include <algorithm>
#include <cctype>

#include "platform/codepage.h"
#include "platform/controls.h"
#include "platform/fonts_qt.h"
#include "platform/frame.h"
#include "platform/surface_qt.h"
#include "platform/wnd_widget_qt.h"

namespace {

QString FromGbk(const std::string& gbk) { return QString::fromStdString(plat::Utf8FromGbk(gbk)); }
std::string ToGbk(const QString& s) { return plat::GbkFromUtf8(s.toStdString()); }
QColor ToQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
COLORREF ToColorref(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

// The box shows its text as the board draws it: the same font resolution.
QFont FontFromLogFont(const LOGFONT& lf) { return plat::ResolveFont(lf).font; }

// The UI font of the controls: 9-point "宋体" at 96 dpi.
QFont ControlFont() {
  QFont f(QStringLiteral("宋体"));
  f.setPixelSize(12);
  return f;
}

// A widget that hosts one Qt control filling its client area.
class HostWidget : public plat::WndWidget {
 public:
  HostWidget(CWnd* owner, QWidget* parent) : WndWidget(owner, parent) {
    m_native = true;
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(false);
  }
  QWidget* m_control = nullptr;
  std::function<bool(std::string&)> m_getText;
  std::function<bool(const std::string&)> m_setText;

  bool GetText(std::string& gbk) const override { return m_getText && m_getText(gbk); }
  bool SetText(const std::string& gbk) override { return m_setText && m_setText(gbk); }

 protected:
  void resizeEvent(QResizeEvent* e) override {
    WndWidget::resizeEvent(e);
    if (m_control) m_control->setGeometry(contentsRect());
  }
  void paintEvent(QPaintEvent* e) override {
    if (contentsRect() != rect()) {
      QPainter p(this);
      PaintNonClient(p);
    }
    (void)e;
  }
};

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

}  // namespace

// ---------------------------------------------------------------------------
// CComboBox.

namespace {
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
  const int h = std::min<int>(rc.bottom - rc.top, m_impl->combo->sizeHint().height());
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

void CComboBox::ResetContent() {
  if (!m_impl->combo) return;
  m_impl->items.clear();
  m_impl->combo->clear();
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
  lf.lfHeight = -f.pixelSize();
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

// ---------------------------------------------------------------------------
// CRichEditCtrl.

struct CRichEditCtrl::Impl {
  QTextEdit* edit = nullptr;
  QColor background = Qt::white;
};

CRichEditCtrl::CRichEditCtrl() : m_impl(std::make_unique<Impl>()) {}
CRichEditCtrl::~CRichEditCtrl() = default;

bool CRichEditCtrl::Create(DWORD style, const RECT& rc, CWnd* parent, UINT id) {
  return CreateEx(0, style | WS_CHILD, {}, parent, rc, id);
}

QWidget* CRichEditCtrl::CreateWidget(QWidget* parent, const CREATESTRUCT& cs) {
  auto* host = new HostWidget(this, parent);
  auto* edit = new QTextEdit(host);
  m_impl->edit = edit;
  host->m_control = edit;
  edit->setFrameShape(QFrame::NoFrame);
  edit->setAcceptRichText(false);
  edit->setFont(ControlFont());
  edit->setLineWrapMode(QTextEdit::WidgetWidth);
  edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  if (!(cs.style & ES_AUTOVSCROLL)) edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  edit->document()->setDocumentMargin(1);
  host->setFocusProxy(edit);
  host->m_getText = [this](std::string& gbk) {
    // Paragraphs end in the platform's line breaks.
    QString text = m_impl->edit->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    gbk = ToGbk(text);
    return true;
  };
  host->m_setText = [this](const std::string& gbk) {
    QString text = FromGbk(gbk);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QTextCharFormat fmt = m_impl->edit->currentCharFormat();
    m_impl->edit->setPlainText(text);
    m_impl->edit->setCurrentCharFormat(fmt);
    return true;
  };
  return host;
}

int CRichEditCtrl::GetLineCount() const {
  QTextEdit* e = m_impl->edit;
  if (!e) return 0;
  QTextDocument* doc = e->document();
  doc->setTextWidth(e->viewport()->width());
  doc->documentLayout()->documentSize();  // lays the text out
  int lines = 0;
  for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
    const QTextLayout* l = b.layout();
    lines += (l && l->lineCount() > 0) ? l->lineCount() : 1;
  }
  return std::max(lines, 1);
}

void CRichEditCtrl::SetTextColor(COLORREF color) {
  if (!m_impl->edit) return;
  QTextCharFormat fmt;
  fmt.setForeground(ToQColor(color));
  m_impl->edit->mergeCurrentCharFormat(fmt);
}

COLORREF CRichEditCtrl::SetBackgroundColor(bool sysColor, COLORREF color) {
  const COLORREF prev = ToColorref(m_impl->background);
  if (!m_impl->edit) return prev;
  m_impl->background = sysColor ? ToQColor(GetSysColor(COLOR_WINDOW)) : ToQColor(color);
  QPalette pal = m_impl->edit->palette();
  pal.setColor(QPalette::Base, m_impl->background);
  m_impl->edit->setPalette(pal);
  m_impl->edit->viewport()->setAutoFillBackground(true);
  return prev;
}

void CRichEditCtrl::SetFont(CFont* font, bool redraw) {
  if (!m_impl->edit || !font) return;
  const QFont f = FontFromLogFont(font->m_logFont);
  m_impl->edit->setFont(f);
  m_impl->edit->document()->setDefaultFont(f);
  QTextCharFormat fmt;
  fmt.setFont(f);
  m_impl->edit->mergeCurrentCharFormat(fmt);
  QTextCursor all(m_impl->edit->document());
  all.select(QTextCursor::Document);
  all.mergeCharFormat(fmt);
  if (redraw) m_impl->edit->viewport()->update();
}

void CRichEditCtrl::HideCaret() {
  if (m_impl->edit) m_impl->edit->setCursorWidth(0);
}

void CRichEditCtrl::ShowCaret() {
  if (m_impl->edit) m_impl->edit->setCursorWidth(1);
}

// ---------------------------------------------------------------------------
// CSliderCtrl.

namespace {
class SliderHost : public HostWidget {
 public:
  using HostWidget::HostWidget;
  QSlider* slider = nullptr;
  bool programmatic = false;
};
}  // namespace

bool CSliderCtrl::Create(DWORD style, const RECT& rc, CWnd* parent, UINT id) {
  return CreateEx(0, style | WS_CHILD, {}, parent, rc, id);
}

QWidget* CSliderCtrl::CreateWidget(QWidget* parent, const CREATESTRUCT& cs) {
  auto* host = new SliderHost(this, parent);
  auto* slider = new QSlider(Qt::Horizontal, host);
  host->slider = slider;
  host->m_control = slider;
  slider->setTickPosition((cs.style & TBS_NOTICKS) ? QSlider::NoTicks : QSlider::TicksBelow);
  slider->setRange(0, 100);
  slider->setPageStep(std::max(1, 100 / 5));
  slider->setFocusPolicy(Qt::StrongFocus);
  // Only the user's moves notify; SetPos and SetRange stay silent.
  QObject::connect(slider, &QSlider::valueChanged, slider, [this, host](int pos) {
    if (host->programmatic) return;
    if (CWnd* p = GetParent())
      p->OnHScroll(host->slider->isSliderDown() ? SB_THUMBTRACK : SB_THUMBPOSITION, UINT(pos),
                   this);
  });
  QObject::connect(slider, &QSlider::sliderReleased, slider, [this, host] {
    if (CWnd* p = GetParent()) p->OnHScroll(SB_ENDSCROLL, UINT(host->slider->value()), this);
  });
  return host;
}

void CSliderCtrl::SetRange(int minPos, int maxPos, bool redraw) {
  auto* host = dynamic_cast<SliderHost*>(m_widget);
  if (!host) return;
  host->programmatic = true;
  host->slider->setRange(minPos, std::max(minPos, maxPos));
  host->slider->setPageStep(std::max(1, (maxPos - minPos) / 5));
  host->programmatic = false;
  if (redraw) host->slider->update();
}

int CSliderCtrl::GetRangeMin() const {
  auto* host = dynamic_cast<SliderHost*>(m_widget);
  return host ? host->slider->minimum() : 0;
}

int CSliderCtrl::GetRangeMax() const {
  auto* host = dynamic_cast<SliderHost*>(m_widget);
  return host ? host->slider->maximum() : 0;
}

void CSliderCtrl::SetPos(int pos) {
  auto* host = dynamic_cast<SliderHost*>(m_widget);
  if (!host) return;
  host->programmatic = true;
  host->slider->setValue(pos);
  host->programmatic = false;
}

int CSliderCtrl::GetPos() const {
  auto* host = dynamic_cast<SliderHost*>(m_widget);
  return host ? host->slider->value() : 0;
}

// ---------------------------------------------------------------------------
// Push buttons of dialogs.

namespace {
class CButtonCtl : public CWnd {
 public:
  bool Create(const std::string& gbk, DWORD style, const RECT& rc, CWnd* parent, UINT id) {
    return CreateEx(0, style | WS_CHILD, gbk, parent, rc, id);
  }
  QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override {
    auto* host = new HostWidget(this, parent);
    auto* button = new QPushButton(FromGbk(cs.lpszName), host);
    button->setFont(ControlFont());
    button->setDefault(cs.style & BS_DEFPUSHBUTTON);
    host->m_control = button;
    host->m_getText = [button](std::string& gbk) {
      gbk = ToGbk(button->text());
      return true;
    };
    host->m_setText = [button](const std::string& gbk) {
      button->setText(FromGbk(gbk));
      return true;
    };
    QObject::connect(button, &QPushButton::clicked, button, [this] {
      if (CWnd* p = GetParent()) p->SendCommand(GetDlgCtrlID());
    });
    return host;
  }
};

// Keys pressed anywhere in a dialog pass its PreTranslateKeyDown first; Esc
// and Enter then cancel and confirm.
class DialogKeyFilter : public QObject {
 public:
  DialogKeyFilter(CDialog* dlg, QObject* parent) : QObject(parent), m_dlg(dlg) {}
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() != QEvent::KeyPress || e == m_last) return false;
    m_last = e;  // the same event climbs to the parents: handle it once
    auto* ke = static_cast<QKeyEvent*>(e);
    const int vk = plat::VkFromQtKey(ke->key());
    if (!vk) return false;
    if (m_dlg->PreTranslateKeyDown(UINT(vk))) return true;
    if (vk == VK_ESCAPE) {
      m_dlg->OnCancel();
      return true;
    }
    if (vk == VK_RETURN) {
      m_dlg->OnOK();
      return true;
    }
    return false;
  }

 private:
  CDialog* m_dlg;
  QEvent* m_last = nullptr;
};

class DialogWidget : public plat::WndWidget {
 public:
  using WndWidget::WndWidget;
  QMenuBar* menuBar = nullptr;

 protected:
  void resizeEvent(QResizeEvent* e) override {
    if (menuBar) menuBar->setGeometry(0, 0, width(), contentsMargins().top());
    WndWidget::resizeEvent(e);
  }
};
}  // namespace

// ---------------------------------------------------------------------------
// CDialog.

CDialog::CDialog() = default;
CDialog::~CDialog() {
  if (m_loop) m_loop->quit();
}

bool CDialog::PreCreateWindow(CREATESTRUCT& cs) {
  cs.classStyle |= CS_DBLCLKS;
  return true;
}

QWidget* CDialog::CreateWidget(QWidget* parent, const CREATESTRUCT&) {
  return new DialogWidget(this, parent);
}

bool CDialog::OnEraseBkgnd(CDC* pDC) {
  RECT rc;
  GetClientRect(&rc);
  pDC->FillSolidRect(&rc, GetSysColor(COLOR_BTNFACE));
  return true;
}

bool CDialog::PreTranslateKeyDown(UINT) { return false; }

bool CDialog::Create(UINT templateId, CWnd* parent) {
  const DialogTemplate* t = FindDialogTemplate(templateId);
  return t && Create(*t, parent);
}

bool CDialog::Create(const DialogTemplate& tmpl, CWnd* parent) {
  if (IsCreated()) return false;
  CWnd* owner = parent ? parent : CFrameWnd::GetMainFrame();
  const RECT client = MapDialogRect(tmpl, RECT{tmpl.x, tmpl.y, tmpl.x + tmpl.cx, tmpl.y + tmpl.cy});
  POINT at{client.left, client.top};
  if (owner && owner->IsCreated()) owner->ClientToScreen(&at);
  const DWORD style = (tmpl.style & ~(WS_CHILD | WS_VISIBLE)) | WS_POPUP;
  const RECT rc{at.x, at.y, at.x + (client.right - client.left),
                at.y + (client.bottom - client.top)};
  if (!CreateEx(tmpl.exStyle, style, tmpl.caption, owner, rc, 0)) return false;

  auto* w = static_cast<DialogWidget*>(m_widget);
  if (!tmpl.menuBar.empty()) {
    w->menuBar = new QMenuBar(w);
    w->menuBar->setNativeMenuBar(false);
    w->menuBar->setFont(ControlFont());
    for (const DialogMenuItem& item : tmpl.menuBar) {
      QAction* a = w->menuBar->addAction(FromGbk(item.text));
      const UINT id = item.id;
      QPointer<plat::WndWidget> guard(w);
      QObject::connect(a, &QAction::triggered, w, [guard, id] {
        if (guard && guard->Owner()) guard->Owner()->SendCommand(id);
      });
    }
    const int h = w->menuBar->sizeHint().height();
    w->setContentsMargins(0, h, 0, 0);
    w->resize(w->width(), w->height() + h);
    w->menuBar->setGeometry(0, 0, w->width(), h);
    w->SyncSize();
  }
  m_controls.clear();
  for (const DialogItem& item : tmpl.items) {
    const RECT irc = MapDialogItem(tmpl, item);
    std::unique_ptr<CWnd> ctl;
    bool ok = false;
    if (item.kind == DlgControl::Static) {
      auto c = std::make_unique<CStatic>();
      ok = c->Create(item.text, item.style, irc, this, item.id);
      ctl = std::move(c);
    } else if (item.kind == DlgControl::Slider) {
      auto c = std::make_unique<CSliderCtrl>();
      ok = c->Create(item.style, irc, this, item.id);
      ctl = std::move(c);
    } else {
      auto c = std::make_unique<CButtonCtl>();
      ok = c->Create(item.text, item.style, irc, this, item.id);
      ctl = std::move(c);
    }
    if (!ok) {
      DestroyWindow();
      return false;
    }
    m_controls.push_back(std::move(ctl));
  }
  auto* filter = new DialogKeyFilter(this, w);
  w->installEventFilter(filter);
  for (QWidget* c : w->findChildren<QWidget*>()) c->installEventFilter(filter);
  if (!OnInitDialog() && !IsCreated()) return false;
  if (tmpl.style & WS_VISIBLE) ShowWindow(SW_SHOW);
  return true;
}

int CDialog::DoModal(UINT templateId, CWnd* parent) {
  const DialogTemplate* t = FindDialogTemplate(templateId);
  if (!t || !Create(*t, parent)) return -1;
  m_result = IDCANCEL;
  m_widget->setWindowModality(Qt::ApplicationModal);
  ShowWindow(SW_SHOW);
  QEventLoop loop;
  m_loop = &loop;
  loop.exec();
  m_loop = nullptr;
  DestroyWindow();
  return m_result;
}

void CDialog::EndDialog(int result) {
  m_result = result;
  ShowWindow(SW_HIDE);
  if (m_loop) m_loop->quit();
}

CWnd* CDialog::GetDlgItem(UINT id) const {
  for (const auto& c : m_controls)
    if (c->GetDlgCtrlID() == id) return c.get();
  return nullptr;
}
