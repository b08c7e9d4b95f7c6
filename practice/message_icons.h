#pragma once
#include <QImage>

// The four pictures of the message window, drawn as vector pictures at any
// size: 0 information (speech bubble with a smiling face), 1 warning
// (yellow triangle with an exclamation mark), 2 stop (red octagon with a
// raised hand), 3 error (red disc with a white cross). Any other index
// gives the information picture.
QImage DrawMessageIcon(int index, int size = 32);
