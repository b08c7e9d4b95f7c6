#pragma once
#include <QObject>

class MWheel;
class QWidget;

// Installs and removes the wheel interception of a capture control. One
// shared event filter serves every watched window: it finds the capture
// control through the window's "WheelWnd" property, raises the control's
// WheelScroll and swallows the event. The capture control carries
// "OldWheelProc" (the watched window) while its interception is installed.
namespace MouseMod {

inline constexpr char kWheelWndProperty[] = "WheelWnd";
inline constexpr char kOldWheelProcProperty[] = "OldWheelProc";

// Hooks the control's watched window; nothing when it has none or is already hooked.
void HookWheel(MWheel* control);
// Unhooks what HookWheel installed; nothing when not hooked.
void UnhookWheel(MWheel* control);
// True while the control's interception is installed.
bool IsHooked(const MWheel* control);

// The shared filter (created on first use).
QObject* WheelWndProc();

// The signed high 16 bits of a 32-bit value.
inline short HiWordOf(long value) { return static_cast<short>((static_cast<unsigned long>(value) >> 16) & 0xFFFFu); }

}  // namespace MouseMod
