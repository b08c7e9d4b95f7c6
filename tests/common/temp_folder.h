#pragma once
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// A fresh folder per test, removed afterwards.
class TempFolder {
 public:
  TempFolder() : dir_(QDir::tempPath() + QStringLiteral("/velmo-test-XXXXXX")) {}
  QString Path() const { return dir_.path(); }
  QString File(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }
  bool Write(const QString& name, const QByteArray& bytes) const {
    QFile f(File(name));
    if (!f.open(QIODevice::WriteOnly)) return false;
    return f.write(bytes) == bytes.size();
  }
  QByteArray Read(const QString& name) const {
    QFile f(File(name));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
  }
  bool MakeDir(const QString& name) const { return QDir(dir_.path()).mkpath(name); }

 private:
  QTemporaryDir dir_;
};
