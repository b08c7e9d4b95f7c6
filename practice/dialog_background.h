#pragma once
#include <QImage>
#include <QSize>

// The background of the system's message and input windows: light grey at
// the bottom to white at the top. Null for an empty size.
QImage DialogBackground(const QSize& size);
