#include "controls/mouse_mod.h"

#include <QEvent>
#include <QPointer>
#include <QVariant>
#include <QWheelEvent>
#include <QWidget>
#include <limits>

#include "controls/mwheel.h"

namespace {

class WheelFilter : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Wheel) return false;
    const QVariant owner = watched->property(MouseMod::kWheelWndProperty);
    if (!owner.isValid()) return false;
    auto* control = qobject_cast<MWheel*>(owner.value<QObject*>());
    if (!control) return false;
    auto* wheel = static_cast<QWheelEvent*>(event);
    const int delta = wheel->angleDelta().y();
    if (delta == 0) return false;  // sideways turns are not the vertical wheel
    const int clamped = std::max<int>(std::numeric_limits<int16_t>::min(),
                                      std::min<int>(std::numeric_limits<int16_t>::max(), delta));
    control->RaiseWheel(static_cast<int16_t>(clamped), static_cast<float>(wheel->globalPosition().y()));
    event->accept();
    return true;  // the watched window does not see the turn
  }
};

}  // namespace

namespace MouseMod {

QObject* WheelWndProc() {
  static QPointer<WheelFilter> filter;
  if (!filter) filter = new WheelFilter;  // lives for the process
  return filter;
}

bool IsHooked(const MWheel* control) {
  return control && control->property(kOldWheelProcProperty).isValid();
}

void HookWheel(MWheel* control) {
  if (!control || IsHooked(control)) return;
  QWidget* target = control->hWndCapture();
  if (!target) return;
  control->hooked_ = target;
  control->setProperty(kOldWheelProcProperty, true);
  target->setProperty(kWheelWndProperty, QVariant::fromValue<QObject*>(control));
  target->installEventFilter(WheelWndProc());
}

void UnhookWheel(MWheel* control) {
  if (!IsHooked(control)) return;
  QWidget* target = control->hooked_;
  // Another capture control may have taken the window over since; leave its hook.
  if (target && target->property(kWheelWndProperty).value<QObject*>() == control) {
    target->removeEventFilter(WheelWndProc());
    target->setProperty(kWheelWndProperty, QVariant());
  }
  control->hooked_ = nullptr;
  control->setProperty(kOldWheelProcProperty, QVariant());
}

}  // namespace MouseMod
