#pragma once
#include <QWidget>

#include "controls/colour_value.h"

// A plain field of one colour in a sunken frame: the dialog's selected and
// opening colours and the colour to store in the custom palette.
class ColourSwatch : public QWidget {
  Q_OBJECT

 public:
  explicit ColourSwatch(QWidget* parent = nullptr);

  ColourValue Color() const { return color_; }
  void setColor(ColourValue value);

 signals:
  void Click();
  void DblClick();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  ColourValue color_ = 0;
};
