#pragma once
#include <QLabel>
#include <QPixmap>
#include <QWidget>
#include <functional>

// An image control that paints its picture at the screen's pixel density
// (the picture is drawn for the widget's size and devicePixelRatioF, so it
// stays crisp at any scale) and reports a left click.
class PictureBox : public QWidget {
  Q_OBJECT
 public:
  // Draws the picture for a size in pixels, a pixel ratio and the enabled state.
  using Painter = std::function<QPixmap(const QSize& size, qreal ratio, bool enabled)>;

  explicit PictureBox(Painter painter, QWidget* parent = nullptr);
  // The picture as it is shown now (for checks and screenshots).
  QPixmap Picture() const;

 signals:
  void Click();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  Painter painter_;
  mutable QPixmap cache_;
  bool pressed_ = false;
};

// A label that reports a left click (the captions of the check boxes).
class ClickLabel : public QLabel {
  Q_OBJECT
 public:
  explicit ClickLabel(const QString& text, QWidget* parent = nullptr);

 signals:
  void Click();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool pressed_ = false;
};
