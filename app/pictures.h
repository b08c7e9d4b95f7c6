#pragma once
#include <QPixmap>
#include <QSize>

// The main window's own pictures, painted as vectors so they stay crisp at
// any size and screen scale.
namespace pictures {

// The round play and pause buttons below the sentence list.
QPixmap PlayButton(const QSize& size, qreal devicePixelRatio = 1.0, bool enabled = true);
QPixmap PauseButton(const QSize& size, qreal devicePixelRatio = 1.0, bool enabled = true);

// The built-in link picture of the toolbar.
QPixmap LinkBanner(const QSize& size, qreal devicePixelRatio = 1.0);

}  // namespace pictures
