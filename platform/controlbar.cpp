// Control bars, tool bars and the idle command-state updates of the bars.
#include "platform/controlbar.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

#include "platform/codepage.h"
#include "platform/dpi_qt.h"
#include "platform/frame.h"
#include "platform/resources.h"
#include "platform/surface_qt.h"
#include "platform/wnd_widget_qt.h"

namespace {

std::vector<CControlBar*>& Bars() {
  static std::vector<CControlBar*> bars;
  return bars;
}

bool IsLiveBar(CControlBar* bar) {
  const auto& b = Bars();
  return std::find(b.begin(), b.end(), bar) != b.end();
}

const QColor kFace(212, 208, 200), kShadow(128, 128, 128), kHilite(255, 255, 255),
    kDark(64, 64, 64), kCaption(10, 36, 106), kCaptionEnd(166, 202, 240);

// Where a floating window of w's size goes so that it lies wholly on its
// screen, as near to `at` as it can; a window larger than the screen keeps
// its top-left corner (and caption) in sight.
QPoint KeptOnScreen(QWidget* w, QPoint at) {
  const QRect screen = plat::ScreenOf(w)->availableGeometry();
  at.setX(std::max(screen.left(), std::min(at.x(), screen.right() + 1 - w->width())));
  at.setY(std::max(screen.top(), std::min(at.y(), screen.bottom() + 1 - w->height())));
  return at;
}

// The floating window of a bar: a caption strip with the bar's title above
// the client area; dragging the caption moves the window.
class BarWidget : public plat::WndWidget {
 public:
  BarWidget(CWnd* owner, QWidget* parent) : WndWidget(owner, parent) {
    setContentsMargins(CControlBar::kFrameBorder, CControlBar::kCaptionHeight,
                       CControlBar::kFrameBorder, CControlBar::kFrameBorder);
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void PaintNonClient(QPainter& p) override {
    p.save();
    p.setClipRegion(QRegion(rect()) - QRegion(contentsRect()));
    p.fillRect(rect(), kFace);
    p.setPen(kDark);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    const int b = CControlBar::kFrameBorder;
    const QRect cap(b, b, width() - 2 * b, CControlBar::kCaptionHeight - b - 1);
    QLinearGradient g(cap.topLeft(), cap.topRight());
    g.setColorAt(0, kCaption);
    g.setColorAt(1, kCaptionEnd);
    p.fillRect(cap, g);
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(12);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(cap.adjusted(3, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft,
               QString::fromStdString(plat::Utf8FromGbk(m_textGbk)));
    p.restore();
  }

  bool NonClientMouse(QMouseEvent* e) override {
    if (m_owner && CWnd::GetCapture() == m_owner) return false;  // the client follows its capture
    const QPoint pos = e->position().toPoint();
    switch (e->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
        if (contentsRect().contains(pos)) return false;
        if (e->button() == Qt::LeftButton) {
          raise();  // a bar taken up comes over the other bars
          m_dragging = true;
          m_dragOffset = e->globalPosition().toPoint() - geometry().topLeft();
        }
        return true;
      case QEvent::MouseMove:
        if (m_dragging) {
          // Dropped off the screen, a bar could not be taken up again.
          move(KeptOnScreen(this, e->globalPosition().toPoint() - m_dragOffset));
          return true;
        }
        return !contentsRect().contains(pos) && !e->buttons();
      case QEvent::MouseButtonRelease:
        if (m_dragging) {
          m_dragging = false;
          return true;
        }
        return !contentsRect().contains(pos);
      default:
        return false;
    }
  }

  bool event(QEvent* e) override {
    if (e->type() == QEvent::ToolTip) {
      auto* he = static_cast<QHelpEvent*>(e);
      auto* tb = dynamic_cast<CToolBar*>(m_owner);
      QString tip;
      if (tb && (tb->GetBarStyle() & CBRS_TOOLTIPS)) {
        const QPoint c = plat::ToDevice(QPointF(he->pos() - ClientOrigin()), plat::Ratio(this));
        const int i = tb->HitTest(POINT{c.x(), c.y()});
        if (i >= 0) tip = QString::fromStdString(tb->GetToolTipText(i));
      }
      if (tip.isEmpty())
        QToolTip::hideText();
      else
        QToolTip::showText(he->globalPos(), tip, this);
      return true;
    }
    if (e->type() == QEvent::Leave) {
      if (auto* tb = dynamic_cast<CToolBar*>(m_owner)) tb->OnMouseMove(0, CPoint(-1, -1));
    }
    return WndWidget::event(e);
  }

 private:
  bool m_dragging = false;
  QPoint m_dragOffset;
};

// A tool bar picture at a whole multiple of its size: each pixel a block, so
// the pictures stay crisp on scaled desktops.
const QImage& XpmImage(const char* const* xpm, int times) {
  static std::map<std::pair<const char* const*, int>, QImage> cache;
  auto it = cache.find({xpm, times});
  if (it == cache.end()) {
    QImage img = QPixmap(xpm).toImage().convertToFormat(QImage::Format_ARGB32);
    if (times > 1)
      img = img.scaled(img.size() * times, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    it = cache.emplace(std::make_pair(xpm, times), std::move(img)).first;
  }
  return it->second;
}

// The disabled look: the picture's dark pixels embossed in grey and white.
QImage DisabledImage(const QImage& src) {
  QImage mask(src.size(), QImage::Format_ARGB32);
  mask.fill(Qt::transparent);
  for (int y = 0; y < src.height(); ++y)
    for (int x = 0; x < src.width(); ++x) {
      const QRgb c = src.pixel(x, y);
      if (qAlpha(c) && qGray(c) < 160) mask.setPixel(x, y, qRgba(0, 0, 0, 255));
    }
  QImage out(src.width() + 1, src.height() + 1, QImage::Format_ARGB32);
  out.fill(Qt::transparent);
  QPainter p(&out);
  auto tinted = [&](const QColor& col) {
    QImage t = mask;
    QPainter tp(&t);
    tp.setCompositionMode(QPainter::CompositionMode_SourceIn);
    tp.fillRect(t.rect(), col);
    return t;
  };
  p.drawImage(1, 1, tinted(kHilite));
  p.drawImage(0, 0, tinted(kShadow));
  return out;
}

void Edge(QPainter& p, const QRect& r, bool sunken) {
  p.setPen(sunken ? kShadow : kHilite);
  p.drawLine(r.topLeft(), r.topRight() - QPoint(1, 0));
  p.drawLine(r.topLeft(), r.bottomLeft() - QPoint(0, 1));
  p.setPen(sunken ? kHilite : kShadow);
  p.drawLine(r.bottomLeft(), r.bottomRight());
  p.drawLine(r.topRight(), r.bottomRight());
}

}  // namespace

// ---------------------------------------------------------------------------
// Idle updates.

void CWnd::RunIdleUpdates() {
  const std::vector<CControlBar*> bars = Bars();
  for (CControlBar* bar : bars) {
    if (!IsLiveBar(bar) || !bar->IsCreated() || !bar->IsWindowVisible()) continue;
    CWnd* target = bar->GetParent();
    if (target && target->IsCreated()) bar->OnUpdateCmdUI(target, true);
  }
}

// ---------------------------------------------------------------------------
// CControlBar.

CControlBar::CControlBar() { Bars().push_back(this); }

CControlBar::~CControlBar() {
  auto& b = Bars();
  b.erase(std::remove(b.begin(), b.end(), this), b.end());
}

std::vector<CControlBar*> CControlBar::AllBars() { return Bars(); }

CFrameWnd* CControlBar::GetDockingFrame() const { return dynamic_cast<CFrameWnd*>(GetParent()); }

SIZE CControlBar::CalcFixedLayout() {
  return SIZE{m_cxLeftBorder + m_cxRightBorder, m_cyTopBorder + m_cyBottomBorder};
}

void CControlBar::OnUpdateCmdUI(CWnd*, bool) {}

QWidget* CControlBar::CreateWidget(QWidget* parent, const CREATESTRUCT&) {
  return new BarWidget(this, parent);
}

bool CControlBar::CreateBar(CWnd* parent, DWORD barStyle, UINT id) {
  if (!parent || !parent->IsCreated()) return false;
  m_dwStyle = barStyle & 0xFFFF;
  if (!CreateEx(WS_EX_TOOLWINDOW, WS_POPUP, {}, parent, RECT{0, 0, 0, 0}, id)) return false;
  RecalcBarLayout();
  if (barStyle & WS_VISIBLE) ShowNow(true);
  return true;
}

void CControlBar::RecalcBarLayout() {
  if (!IsCreated()) return;
  const SIZE s = CalcFixedLayout();
  const QSize client = plat::ToLogical(QSize(int(s.cx), int(s.cy)), plat::Ratio(m_widget));
  const int w = client.width() + 2 * kFrameBorder,
            h = client.height() + kCaptionHeight + kFrameBorder;
  if (m_widget->width() != w || m_widget->height() != h) {
    m_widget->resize(w, h);
    m_widget->SyncSize();
  }
}

void CControlBar::FloatAt(POINT pt) {
  if (!IsCreated()) return;
  m_floated = true;
  RecalcBarLayout();
  m_widget->move(
      KeptOnScreen(m_widget, plat::ToLogical(QPoint(pt.x, pt.y), plat::Ratio(m_widget))));
}

void CControlBar::DelayShow(bool show) {
  if (!IsCreated()) return;
  m_delayedShow = show ? 1 : 0;
  QPointer<QWidget> w(m_widget);
  QTimer::singleShot(0, m_widget, [w] {
    auto* bar = dynamic_cast<CControlBar*>(plat::WndFromWidget(w));
    if (!bar || bar->m_delayedShow < 0) return;
    const bool s = bar->m_delayedShow == 1;
    bar->ShowNow(s);
  });
}

void CControlBar::ShowNow(bool show) {
  m_delayedShow = -1;
  if (!IsCreated()) return;
  if (show) {
    RecalcBarLayout();
    ShowWindow(SW_SHOWNOACTIVATE);
    plat::RaiseWindow(m_widget);
  } else {
    ShowWindow(SW_HIDE);
  }
}

bool CControlBar::OnEraseBkgnd(CDC* pDC) {
  RECT rc;
  GetClientRect(&rc);
  pDC->FillSolidRect(&rc, GetSysColor(COLOR_BTNFACE));
  return true;
}

// ---------------------------------------------------------------------------
// CToolBar.

CToolBar::CToolBar() { m_cyTopBorder = m_cyBottomBorder = 3; }
CToolBar::~CToolBar() = default;

bool CToolBar::CreateEx(CWnd* parent, DWORD tbStyle, DWORD barStyle, const RECT& borders, UINT id) {
  m_tbStyle = tbStyle;
  if (borders.left || borders.top || borders.right || borders.bottom) {
    m_cxLeftBorder = borders.left;
    m_cyTopBorder = borders.top;
    m_cxRightBorder = borders.right;
    m_cyBottomBorder = borders.bottom;
  }
  return CreateBar(parent, barStyle, id);
}

bool CToolBar::LoadBitmap(UINT bitmapId) {
  const std::vector<const char* const*>* images = plat::FindToolBarImages(bitmapId);
  if (!images) return false;
  SetImageSource([images = *images](int i) {
    return i >= 0 && i < int(images.size()) ? images[size_t(i)] : nullptr;
  });
  return true;
}

bool CToolBar::LoadToolBar(UINT resourceId, const UINT* ids, int count) {
  return LoadBitmap(resourceId) && SetButtons(ids, count);
}

void CToolBar::SetImageSource(std::function<const char* const*(int)> xpmOfImage) {
  m_images = std::move(xpmOfImage);
  Invalidate(false);
}

bool CToolBar::SetButtons(const UINT* ids, int count) {
  if (count < 0 || (count > 0 && !ids)) return false;
  m_entries.clear();
  int image = 0;
  for (int i = 0; i < count; ++i) {
    Entry e;
    e.id = ids[i];
    if (e.id == ID_SEPARATOR) {
      e.style = TBBS_SEPARATOR;
      e.width = (m_tbStyle & TBSTYLE_FLAT) ? 6 : 8;
    } else {
      e.image = image++;
    }
    m_entries.push_back(e);
  }
  Layout();
  return true;
}

int CToolBar::GetCount() const { return int(m_entries.size()); }

UINT CToolBar::GetItemID(int index) const {
  return index >= 0 && index < GetCount() ? m_entries[size_t(index)].id : 0;
}

int CToolBar::CommandToIndex(UINT id) const {
  for (int i = 0; i < GetCount(); ++i)
    if (m_entries[size_t(i)].id == id) return i;
  return -1;
}

UINT CToolBar::GetButtonStyle(int index) const {
  return index >= 0 && index < GetCount() ? m_entries[size_t(index)].style : 0;
}

void CToolBar::SetButtonStyle(int index, UINT style) {
  if (index < 0 || index >= GetCount()) return;
  Entry& e = m_entries[size_t(index)];
  if (e.style == style) return;
  const bool relayout = (e.style ^ style) & (TBBS_WRAPPED | TBBS_SEPARATOR);
  e.style = style;
  if (relayout) {
    Layout();
  } else if (IsCreated()) {
    InvalidateRect(&m_rects[size_t(index)], true);
  }
}

void CToolBar::SetButtonInfo(int index, UINT id, UINT style, int imageOrWidth) {
  if (index < 0 || index >= GetCount()) return;
  Entry& e = m_entries[size_t(index)];
  e.id = id;
  e.style = style;
  if (style & TBBS_SEPARATOR)
    e.width = std::max(0, imageOrWidth);
  else
    e.image = imageOrWidth;
  Layout();
}

void CToolBar::GetItemRect(int index, RECT* rc) const {
  *rc = RECT{};
  if (index >= 0 && index < int(m_rects.size())) *rc = m_rects[size_t(index)];
}

std::string CToolBar::GetToolTipText(int index) const {
  const UINT id = GetItemID(index);
  if (!id) return {};
  const char* s = plat::FindString(id);
  if (!s) return {};
  const char* nl = std::strchr(s, '\n');
  return nl ? std::string(nl + 1) : std::string();
}

int CToolBar::HitTest(POINT client) const {
  for (int i = 0; i < int(m_rects.size()); ++i) {
    if (m_entries[size_t(i)].style & TBBS_SEPARATOR) continue;
    if (CRect(m_rects[size_t(i)]).PtInRect(client)) return i;
  }
  return -1;
}

void CToolBar::ClickButton(int index) {
  if (index < 0 || index >= GetCount()) return;
  const Entry& e = m_entries[size_t(index)];
  if (e.style & (TBBS_SEPARATOR | TBBS_DISABLED)) return;
  if (CWnd* owner = GetParent()) owner->SendCommand(e.id);
}

// Rows end after wrapped entries; a wrapped separator is a gap between rows
// as high as the separator is wide (two thirds of it without the flat style).
void CToolBar::Layout() {
  m_rects.assign(m_entries.size(), RECT{});
  const int left = ScaleToDpi(m_cxLeftBorder), top = ScaleToDpi(m_cyTopBorder);
  const int bw = ScaleToDpi(int(m_sizeButton.cx)), bh = ScaleToDpi(int(m_sizeButton.cy));
  int x = left, y = top, right = left, bottom = top;
  std::vector<size_t> gaps;
  for (size_t i = 0; i < m_entries.size(); ++i) {
    const Entry& e = m_entries[i];
    const bool wrap = e.style & TBBS_WRAPPED;
    if (e.style & TBBS_SEPARATOR) {
      if (wrap) {
        const int gap = ScaleToDpi((m_tbStyle & TBSTYLE_FLAT) ? e.width : e.width * 2 / 3);
        m_rects[i] = RECT{left, y + bh, left, y + bh + gap};
        gaps.push_back(i);
        bottom = std::max(bottom, y + bh + gap);
        x = left;
        y += bh + gap;
        continue;
      }
      m_rects[i] = RECT{x, y, x + ScaleToDpi(e.width), y + bh};
      x += ScaleToDpi(e.width);
      right = std::max(right, x);
    } else {
      m_rects[i] = RECT{x, y, x + bw, y + bh};
      x += bw;
      right = std::max(right, x);
    }
    bottom = std::max(bottom, y + bh);
    if (wrap) {
      x = left;
      y += bh;
    }
  }
  for (size_t i : gaps) m_rects[i].right = right;
  RecalcBarLayout();
  Invalidate(true);
}

SIZE CToolBar::CalcFixedLayout() {
  LONG right = ScaleToDpi(m_cxLeftBorder), bottom = ScaleToDpi(m_cyTopBorder);
  for (const RECT& r : m_rects) {
    right = std::max(right, r.right);
    bottom = std::max(bottom, r.bottom);
  }
  return SIZE{right + ScaleToDpi(m_cxRightBorder), bottom + ScaleToDpi(m_cyBottomBorder)};
}

void CToolBar::OnUpdateCmdUI(CWnd* target, bool disableIfNoHandler) {
  for (int i = 0; i < GetCount(); ++i) {
    if (!IsLiveBar(this)) return;  // a handler destroyed the bar
    const Entry e = m_entries[size_t(i)];
    if (e.style & TBBS_SEPARATOR) continue;
    CCmdUI ui;
    ui.m_nID = e.id;
    ui.m_bEnabled = !(e.style & TBBS_DISABLED);
    ui.m_nCheck = (e.style & TBBS_CHECKED) ? 1 : 0;
    target->OnCmdMsg(e.id, CN_UPDATE_COMMAND_UI, &ui);
    if (!IsLiveBar(this) || i >= GetCount()) return;
    if (!ui.m_bHandled && disableIfNoHandler) ui.m_bEnabled = false;
    UINT style = e.style & ~(TBBS_DISABLED | TBBS_CHECKED);
    if (!ui.m_bEnabled) style |= TBBS_DISABLED;
    if (ui.m_nCheck) style |= TBBS_CHECKED;
    SetButtonStyle(i, style);
  }
}

void CToolBar::OnPaint() {
  plat::Surface* s = GetSurface();
  if (!s || s->Image().isNull()) return;
  QPainter p(&s->Image());
  p.fillRect(s->Image().rect(), kFace);
  const bool flat = m_tbStyle & TBSTYLE_FLAT;
  for (size_t i = 0; i < m_entries.size(); ++i) {
    const Entry& e = m_entries[i];
    const QRect r(m_rects[i].left, m_rects[i].top, m_rects[i].right - m_rects[i].left,
                  m_rects[i].bottom - m_rects[i].top);
    if (e.style & TBBS_SEPARATOR) {
      if (r.width() <= 0 || r.height() <= 0) continue;
      if (e.style & TBBS_WRAPPED) {
        const int y = r.center().y();
        p.setPen(kShadow);
        p.drawLine(r.left(), y, r.right(), y);
        p.setPen(kHilite);
        p.drawLine(r.left(), y + 1, r.right(), y + 1);
      } else {
        const int x = r.center().x();
        p.setPen(kShadow);
        p.drawLine(x, r.top() + 2, x, r.bottom() - 2);
        p.setPen(kHilite);
        p.drawLine(x + 1, r.top() + 2, x + 1, r.bottom() - 2);
      }
      continue;
    }
    const bool disabled = e.style & TBBS_DISABLED;
    const bool checked = e.style & TBBS_CHECKED;
    const bool pressed = int(i) == m_pressed && int(i) == m_hot && !disabled;
    if (checked && !pressed) {
      // Checked faces are dithered, as the platform shows them.
      for (int y = r.top() + 1; y < r.bottom() - 1; ++y)
        for (int x = r.left() + 1; x < r.right() - 1; ++x)
          if ((x + y) & 1) p.fillRect(x, y, 1, 1, kHilite);
    }
    if (pressed || checked)
      Edge(p, r, true);
    else if ((!flat || int(i) == m_hot) && !disabled)
      Edge(p, r, false);
    const char* const* xpm = (m_images && e.image >= 0) ? m_images(e.image) : nullptr;
    if (xpm) {
      const int times = plat::PictureScale();
      const QImage& img = XpmImage(xpm, times);
      const int off = (pressed || checked) ? times : 0;
      const QPoint at(r.left() + (r.width() - int(m_sizeImage.cx) * times) / 2 + off,
                      r.top() + (r.height() - int(m_sizeImage.cy) * times) / 2 + off);
      p.drawImage(at, disabled ? DisabledImage(img) : img);
    }
  }
  p.end();
  m_widget->AddDamage(s->Image().rect());
}

void CToolBar::OnLButtonDown(UINT, CPoint pt) {
  const int i = HitTest(pt);
  if (i < 0 || (m_entries[size_t(i)].style & TBBS_DISABLED)) return;
  m_pressed = m_hot = i;
  SetCapture();
  InvalidateRect(&m_rects[size_t(i)], true);
}

void CToolBar::OnMouseMove(UINT, CPoint pt) {
  const int hot = HitTest(pt);
  if (hot == m_hot) return;
  if (m_hot >= 0 && m_hot < GetCount()) InvalidateRect(&m_rects[size_t(m_hot)], true);
  m_hot = hot;
  if (m_hot >= 0) InvalidateRect(&m_rects[size_t(m_hot)], true);
}

void CToolBar::OnLButtonUp(UINT, CPoint pt) {
  if (m_pressed < 0) return;
  const int pressed = m_pressed;
  m_pressed = -1;
  if (GetCapture() == this) ReleaseCapture();
  if (pressed < GetCount()) InvalidateRect(&m_rects[size_t(pressed)], true);
  if (HitTest(pt) == pressed) ClickButton(pressed);
}
