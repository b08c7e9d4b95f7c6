#pragma once
#include <QPointer>
#include <QWidget>
#include <cstdint>

#include "controls/mouse_mod.h"

// Reports the mouse-wheel turns over one watched window (`hWndCapture`) as
// its own `WheelScroll` event while enabled, and keeps those turns from the
// watched window's own wheel handling. Everything else the window receives
// reaches it unchanged. The interception itself lives in MouseMod.
//
// The control keeps itself 32 x 32 pixels and shows the caption "鼠标滚动";
// hosts normally keep it hidden.
class MWheel : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kSizePixels = 32;

  explicit MWheel(QWidget* parent = nullptr);
  // Removes its interception, so the watched window never keeps a handler
  // that points at a control that no longer exists.
  ~MWheel() override;

  // The watched window; setting it neither hooks nor unhooks.
  QWidget* hWndCapture() const { return capture_; }
  void sethWndCapture(QWidget* vNewValue) { capture_ = vNewValue; }

  // With a watched window: capture on (hooking once however often called).
  void EnableWheel();
  // With a watched window and capture on: capture off.
  void DisableWheel();
  bool WheelEnabled() const { return enabled_; }

  // Raises WheelScroll for a turn of `zDelta` (120 per notch, positive away
  // from the user) with the pointer at screen height `yPos` pixels.
  void RaiseWheel(int16_t zDelta, float yPos);

 signals:
  // Arguments by reference like the hosts expect; `Shift` and `xPos` are always 0.
  void WheelScroll(int16_t& Shift, int16_t& zDelta, float& xPos, float& yPos);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  friend void MouseMod::HookWheel(MWheel*);
  friend void MouseMod::UnhookWheel(MWheel*);

  QPointer<QWidget> capture_;
  QPointer<QWidget> hooked_;  // the window the interception is installed on
  bool enabled_ = false;
};
