// Dialog templates, dialog bars, and dialogs with their push buttons.
#include "platform/dialog.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <map>

#include "platform/frame.h"
#include "platform/host_widget_qt.h"
#include "platform/slider.h"
#include "platform/static.h"

using plat::ControlFont;
using plat::FromGbk;
using plat::HostWidget;
using plat::ToGbk;

namespace {

std::map<UINT, DialogTemplate>& Templates() {
  static std::map<UINT, DialogTemplate> t;
  return t;
}

}  // namespace

// ---------------------------------------------------------------------------
// Dialog templates.

void RegisterDialogTemplate(UINT id, const DialogTemplate& tmpl) { Templates()[id] = tmpl; }

const DialogTemplate* FindDialogTemplate(UINT id) {
  auto it = Templates().find(id);
  return it == Templates().end() ? nullptr : &it->second;
}

SIZE GetDialogBaseUnits(const std::string& gbkFace, int pointSize) {
  QFont f(QString::fromStdString(plat::Utf8FromGbk(gbkFace)));
  f.setPixelSize(std::max(1, MulDiv(std::max(1, pointSize), int(GetDpiForSystem()), 72)));
  const QFontMetrics fm(f);
  const int width =
      fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return SIZE{(width / 26 + 1) / 2, fm.height()};
}

RECT MapDialogRect(const DialogTemplate& tmpl, const RECT& dlu) {
  const SIZE base = GetDialogBaseUnits(tmpl.fontFace, tmpl.pointSize);
  return RECT{MulDiv(dlu.left, base.cx, 4), MulDiv(dlu.top, base.cy, 8),
              MulDiv(dlu.right, base.cx, 4), MulDiv(dlu.bottom, base.cy, 8)};
}

// A control's rectangle: position and size are mapped separately.
RECT MapDialogItem(const DialogTemplate& tmpl, const DialogItem& item) {
  const SIZE base = GetDialogBaseUnits(tmpl.fontFace, tmpl.pointSize);
  const int x = MulDiv(item.x, base.cx, 4), y = MulDiv(item.y, base.cy, 8);
  return RECT{x, y, x + MulDiv(item.cx, base.cx, 4), y + MulDiv(item.cy, base.cy, 8)};
}

// ---------------------------------------------------------------------------
// CDialogBar.

CDialogBar::CDialogBar() {
  m_cxLeftBorder = m_cxRightBorder = m_cyTopBorder = m_cyBottomBorder = 0;
}
CDialogBar::~CDialogBar() = default;

bool CDialogBar::PreCreateWindow(CREATESTRUCT& cs) {
  cs.classStyle |= CS_DBLCLKS;  // dialogs get double clicks
  return true;
}

bool CDialogBar::Create(CWnd* parent, UINT templateId, DWORD barStyle, UINT id) {
  const DialogTemplate* t = FindDialogTemplate(templateId);
  return t && Create(parent, *t, barStyle, id);
}

bool CDialogBar::Create(CWnd* parent, const DialogTemplate& tmpl, DWORD barStyle, UINT id) {
  const RECT px = MapDialogRect(tmpl, RECT{0, 0, tmpl.cx, tmpl.cy});
  m_sizeDefault = SIZE{px.right, px.bottom};
  if (!CreateBar(parent, barStyle & ~WS_VISIBLE, id)) return false;
  m_controls.clear();
  for (const DialogItem& item : tmpl.items) {
    const RECT rc = MapDialogItem(tmpl, item);
    std::unique_ptr<CWnd> ctl;
    if (item.kind == DlgControl::Static) {
      auto s = std::make_unique<CStatic>();
      if (!s->Create(item.text, item.style, rc, this, item.id)) return false;
      ctl = std::move(s);
    } else {
      auto s = std::make_unique<CSliderCtrl>();
      if (!s->Create(item.style, rc, this, item.id)) return false;
      ctl = std::move(s);
    }
    m_controls.push_back(std::move(ctl));
  }
  if (barStyle & WS_VISIBLE) ShowNow(true);
  return true;
}

CWnd* CDialogBar::GetDlgItem(UINT id) const {
  for (const auto& c : m_controls)
    if (c->GetDlgCtrlID() == id) return c.get();
  return nullptr;
}

SIZE CDialogBar::CalcFixedLayout() {
  return SIZE{m_sizeDefault.cx + m_cxLeftBorder + m_cxRightBorder,
              m_sizeDefault.cy + m_cyTopBorder + m_cyBottomBorder};
}

namespace {

// Keys pressed anywhere in a dialog pass its PreTranslateKeyDown first; Esc
// and Enter then cancel and confirm.
class DialogKeyFilter : public QObject {
 public:
  DialogKeyFilter(CDialog* dlg, QObject* parent) : QObject(parent), m_dlg(dlg) {}
  bool eventFilter(QObject* target, QEvent* e) override {
    if (e->type() != QEvent::KeyPress || e == m_last) return false;
    // An open drop-down moves through its entries with its own keys.
    if (qobject_cast<QMenu*>(target)) return false;
    // The same event climbs to the parents: handle it once. The next press
    // may come in an event at the same address, so the mark only lasts
    // until the loop runs again.
    m_last = e;
    QTimer::singleShot(0, this, [this] { m_last = nullptr; });
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
  DialogWidget(CWnd* owner, QWidget* parent) : WndWidget(owner, parent) { m_keepOnScreen = true; }
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
CDialog::~CDialog() = default;

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
    QPointer<plat::WndWidget> guard(w);
    auto addCommand = [guard](QAction* a, UINT id) {
      QObject::connect(a, &QAction::triggered, guard, [guard, id] {
        if (guard && guard->Owner()) guard->Owner()->SendCommand(id);
      });
    };
    for (const DialogMenuItem& item : tmpl.menuBar) {
      if (item.items.empty()) {
        addCommand(w->menuBar->addAction(FromGbk(item.text)), item.id);
        continue;
      }
      QMenu* drop = w->menuBar->addMenu(FromGbk(item.text));
      for (const DialogMenuItem& sub : item.items) {
        QAction* a = drop->addAction(FromGbk(sub.text));
        a->setData(sub.id);
        a->setCheckable(true);
        addCommand(a, sub.id);
      }
      QObject::connect(drop, &QMenu::aboutToShow, drop, [guard, drop] {
        if (!guard || !guard->Owner()) return;
        for (QAction* a : drop->actions()) {
          CCmdUI ui;
          ui.m_nID = a->data().toUInt();
          guard->Owner()->OnCmdMsg(ui.m_nID, CN_UPDATE_COMMAND_UI, &ui);
          a->setEnabled(ui.m_bEnabled && ui.m_bHandled);
          a->setChecked(ui.m_nCheck != 0);
        }
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
    } else {
      auto c = std::make_unique<CSliderCtrl>();
      ok = c->Create(item.style, irc, this, item.id);
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

void CDialog::EndDialog(int /*result: a modeless dialog only hides*/) { ShowWindow(SW_HIDE); }

CWnd* CDialog::GetDlgItem(UINT id) const {
  for (const auto& c : m_controls)
    if (c->GetDlgCtrlID() == id) return c.get();
  return nullptr;
}
