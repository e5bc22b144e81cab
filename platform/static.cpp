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
    // Four strips one logical pixel wide on the widget's edges: a line pen
    // at a scaled desktop would straddle them, thin on the top and left,
    // thick and short of the edge on the right and bottom, and what the
    // parent fills under the frame would show past it.
    QPainter p(this);
    const int w = width(), h = height();
    for (const QRect& edge :
         {QRect(0, 0, w, 1), QRect(0, h - 1, w, 1), QRect(0, 0, 1, h), QRect(w - 1, 0, 1, h)})
      p.fillRect(edge, c);
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
