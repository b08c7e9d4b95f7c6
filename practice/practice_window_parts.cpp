#include "practice/practice_window_parts.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPalette>

#include "controls/colour_value.h"
#include "controls/twips.h"
#include "controls/vsnet_button.h"

namespace practice_parts {

void Place(QWidget* widget, int left, int top, int width, int height) {
  widget->setGeometry(twips::ToPixels(left), twips::ToPixels(top), twips::ToPixels(width), twips::ToPixels(height));
}

void SetWindowLook(QWidget* window) {
  window->setFont(QFont(QStringLiteral("宋体"), 9));
  window->setAutoFillBackground(true);
  QPalette pal = window->palette();
  pal.setColor(QPalette::Window, kWindowFace);
  window->setPalette(pal);
}

VsNetBut* MakeButton(QWidget* parent, const QString& objectName, const QString& caption) {
  auto* button = new VsNetBut(parent);
  button->setObjectName(objectName);
  button->setCaption(caption);
  button->setShowEdgeOnNoFocus(true);
  button->setCaptionAreaPercent(100);  // no picture: the caption takes the whole button
  button->setBackColor(QColorToColourValue(kWindowFace));
  return button;
}

QLabel* MakeLabel(QWidget* parent, const QString& objectName, const QString& caption) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(objectName);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

int ControlCharacter(const QKeyEvent* event) {
  const QString text = event->text();
  if (text.size() == 1 && text[0].unicode() >= 1 && text[0].unicode() <= 26) return text[0].unicode();
  const Qt::KeyboardModifiers mods = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  if (mods == Qt::ControlModifier && event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z)
    return event->key() - Qt::Key_A + 1;
  return 0;
}

}  // namespace practice_parts
