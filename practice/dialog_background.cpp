#include "practice/dialog_background.h"

#include "controls/colour_value.h"
#include "controls/gradient.h"

QImage DialogBackground(const QSize& size) {
  QImage image(size, QImage::Format_RGB32);
  if (image.isNull()) return image;
  image.fill(Qt::white);
  clsGradient gradient;
  gradient.setAngle(90);
  gradient.setColor1(RgbValue(204, 204, 204));
  gradient.setColor2(RgbValue(255, 255, 255));
  gradient.Draw(&image);
  return image;
}
