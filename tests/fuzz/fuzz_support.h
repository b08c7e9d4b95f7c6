#pragma once
// Shared by the fuzz targets: the readers under test take file paths, so
// every input is written to a file of this process first.
#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace fuzz {

// A folder of this process's own, made on first use.
inline const QString& WorkFolder() {
  static const QString folder = [] {
    const QString path = QDir::tempPath() + QStringLiteral("/velmo-fuzz-%1").arg(getpid());
    QDir().mkpath(path);
    return path;
  }();
  return folder;
}

// Replaces the file `name` in the work folder with the input; its path.
inline QString WriteInput(const QString& name, const uint8_t* data, size_t size) {
  const QString path = WorkFolder() + QLatin1Char('/') + name;
  const QByteArray native = QFile::encodeName(path);
  const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0) std::abort();
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n <= 0) std::abort();
    done += static_cast<size_t>(n);
  }
  ::close(fd);
  return path;
}

// A broken invariant is a crash the fuzzer reports with its input.
inline void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace fuzz
