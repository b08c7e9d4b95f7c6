#pragma once
#include <QByteArray>
#include <QString>

namespace ProMod {

// Conversion between the system's texts and its text files. Files are
// GB18030, a superset of the Chinese ANSI code page (936/GBK): files holding
// only GBK characters come out byte for byte as code page 936 writes them,
// and characters outside GBK are kept as GB18030 four-byte sequences instead
// of being replaced.
QString DecodeAnsi(const QByteArray& bytes);
QByteArray EncodeAnsi(const QString& text);

}  // namespace ProMod
