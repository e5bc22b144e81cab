// Static frame controls.
#include "platform/static.h"

#include <QPainter>

#include "platform/wnd_widget_qt.h"

namespace {

const QColor kShadow(128, 128, 128);

// A static frame: its frame only; the parent's picture shows through and
// clicks go to the parent.
class StaticWidget : public plat::WndWidget {
 public:
  StaticWidget(CWnd* owner, QWidget* parent, DWORD style)
      : WndWidget(owner, parent), m_style(style) {
    m_native = true;
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setMouseTracking(false);
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QColor c;
    switch (m_style & 0x1F) {
      case SS_BLACKFRAME:
        c = Qt::black;
        break;
      case SS_GRAYFRAME:
        c = kShadow;
        break;
      case SS_WHITEFRAME:
        c = Qt::white;
        break;
      default:
        return;
    }
    QPainter p(this);
    p.setPen(c);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
  }

 private:
  DWORD m_style;
};

}  // namespace

bool CStatic::Create(const std::string& gbkText, DWORD style, const RECT& rc, CWnd* parent,
                     UINT id) {
  return CreateEx(0, style | WS_CHILD, gbkText, parent, rc, id);
}

QWidget* CStatic::CreateWidget(QWidget* parent, const CREATESTRUCT& cs) {
  return new StaticWidget(this, parent, cs.style);
}
