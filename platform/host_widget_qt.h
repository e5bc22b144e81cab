#pragma once
// Platform-internal: the window widget that hosts one Qt control, and what
// the controls share.
#include <QFont>
#include <QPainter>
#include <QString>
#include <functional>
#include <string>

#include "platform/codepage.h"
#include "platform/wnd_widget_qt.h"

namespace plat {

inline QString FromGbk(const std::string& gbk) { return QString::fromStdString(Utf8FromGbk(gbk)); }
inline std::string ToGbk(const QString& s) { return GbkFromUtf8(s.toStdString()); }

// The UI font of the controls: 9-point "宋体" at 96 dpi.
inline QFont ControlFont() {
  QFont f(QStringLiteral("宋体"));
  f.setPixelSize(12);
  return f;
}

// A widget that hosts one Qt control filling its client area.
class HostWidget : public WndWidget {
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

}  // namespace plat
