#pragma once
#include <QColor>
#include <QString>

class QKeyEvent;
class QLabel;
class QWidget;
class VsNetBut;

// Pieces the dictation window and the records browser are both built from.
namespace practice_parts {

// The windows' face, as the main window's.
inline const QColor kWindowFace(236, 233, 216);

// Places a control at a rectangle given in twips.
void Place(QWidget* widget, int left, int top, int width, int height);
// Window face colour and the dialog font.
void SetWindowLook(QWidget* window);
// A flat caption-only button on the window's face.
VsNetBut* MakeButton(QWidget* parent, const QString& objectName, const QString& caption);
QLabel* MakeLabel(QWidget* parent, const QString& objectName, const QString& caption);

// The character code a key press types: 1 for Ctrl+A, 19 for Ctrl+S and so
// on, whether or not the platform delivers the control character as text;
// 0 when the key types no control character.
int ControlCharacter(const QKeyEvent* event);

}  // namespace practice_parts
