#pragma once
#include <Qt>
#include <cstdint>

class QKeyEvent;

// The numbers the controls' keyboard and mouse events carry, in the form
// their hosts expect: key codes of the classic virtual-key table, shift
// states and mouse buttons as bit sets, and the character code of a key.
namespace vbinput {

// Shift state: 1 Shift, 2 Ctrl, 4 Alt.
int16_t ShiftState(Qt::KeyboardModifiers modifiers);
// Mouse buttons: 1 left, 2 right, 4 middle (OR-ed for several).
int16_t MouseButtons(Qt::MouseButtons buttons);
int16_t MouseButton(Qt::MouseButton button);

// Virtual-key code of a key event (65 for A, 13 for Enter, 37 for Left,
// 96..105 for keypad digits, ...); 0 for keys without one.
int16_t KeyCode(const QKeyEvent* event);

// Virtual-key codes the controls test for.
enum : int16_t {
  kKeyBack = 8, kKeyTab = 9, kKeyReturn = 13, kKeyShift = 16, kKeyControl = 17, kKeyMenu = 18,
  kKeyEscape = 27, kKeySpace = 32, kKeyLeft = 37, kKeyUp = 38, kKeyRight = 39, kKeyDown = 40,
};

// The character a key types, as the 16-bit code a KeyPress event carries:
// Ctrl+letter gives 1..26 (Ctrl+C = 3, Ctrl+V = 22), Backspace 8, Enter 13,
// Esc 27, otherwise the first UTF-16 unit of the typed text. Returns -1 for
// keys that type nothing (arrows, Delete, F-keys, modifiers alone, Tab).
int CharacterCode(const QKeyEvent* event);

}  // namespace vbinput
