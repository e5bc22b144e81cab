// Rich text boxes over a Qt text edit.
#include "platform/richedit.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>
#include <algorithm>

#include "platform/dpi_qt.h"
#include "platform/fonts_qt.h"
#include "platform/host_widget_qt.h"

using plat::ControlFont;
using plat::FromGbk;
using plat::HostWidget;
using plat::ToGbk;

namespace {

QColor ToQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
COLORREF ToColorref(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

// The box shows its text as the board draws it: the same font resolution.
QFont FontFromLogFont(const LOGFONT& lf) { return plat::ResolveFont(lf).font; }

}  // namespace

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
  // The font's height is device pixels, as on the board; the widget is
  // drawn in Qt's scaled pixels.
  QFont f = FontFromLogFont(font->m_logFont);
  const double ratio = plat::Ratio(m_impl->edit);
  if (ratio != 1 && f.pixelSize() > 0)
    f.setPixelSize(std::max(1, plat::ToLogical(f.pixelSize(), ratio)));
  // An empty box starts a fresh document: the old one keeps every format
  // and undo step ever merged, about a kilobyte per font change, for good.
  if (m_impl->edit->document()->isEmpty()) m_impl->edit->document()->clear();
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
