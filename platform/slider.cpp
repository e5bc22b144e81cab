// Sliders over a Qt slider.
#include "platform/slider.h"

#include <QSlider>
#include <algorithm>

#include "platform/host_widget_qt.h"

using plat::HostWidget;

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
  host->setFocusProxy(slider);
  // The host paints nothing under its control: without a background of its
  // own the slider would leave its old handle behind when it moves.
  slider->setAutoFillBackground(true);
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
