#include "core/peak_cache.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace PeakCache {
namespace {

constexpr quint32 kMagic = 0x4B50'4C56;  // "VLPK"
constexpr quint32 kVersion = 1;
// An hour of audio is 360 000 bins; a day's worth is a generous ceiling for
// a count read from a file that may be damaged.
constexpr quint32 kMaxBins = 24u * 3600u * 100u;

struct Key {
  QString path;
  qint64 size = -1;
  qint64 modified = 0;
  bool operator==(const Key& o) const { return path == o.path && size == o.size && modified == o.modified; }
};

std::optional<Key> KeyOf(const QString& recordingPath) {
  const QFileInfo info(recordingPath);
  if (!info.isFile()) return std::nullopt;
  return Key{info.absoluteFilePath(), info.size(), info.lastModified().toMSecsSinceEpoch()};
}

QByteArray Body(const Key& key, const WaveformPeaks& peaks) {
  QByteArray body;
  QDataStream out(&body, QIODevice::WriteOnly);
  out.setByteOrder(QDataStream::LittleEndian);
  out << kMagic << kVersion << key.path << key.size << key.modified << qint32(peaks.binMs) << qint32(peaks.lengthMs)
      << quint32(peaks.peak.size());
  for (uint16_t v : peaks.peak) out << quint16(v);
  for (uint16_t v : peaks.rms) out << quint16(v);
  return body;
}

QByteArray Digest(const QByteArray& body) { return QCryptographicHash::hash(body, QCryptographicHash::Sha1); }

std::optional<WaveformPeaks> Parse(const QByteArray& file, const Key& expected) {
  const int digestSize = QCryptographicHash::hashLength(QCryptographicHash::Sha1);
  if (file.size() <= digestSize) return std::nullopt;
  const QByteArray body = file.left(file.size() - digestSize);
  if (Digest(body) != file.right(digestSize)) return std::nullopt;
  QDataStream in(body);
  in.setByteOrder(QDataStream::LittleEndian);
  quint32 magic = 0, version = 0, count = 0;
  Key key;
  qint32 binMs = 0, lengthMs = 0;
  in >> magic >> version;
  if (magic != kMagic || version != kVersion) return std::nullopt;
  in >> key.path >> key.size >> key.modified >> binMs >> lengthMs >> count;
  if (in.status() != QDataStream::Ok || !(key == expected)) return std::nullopt;
  if (binMs < 1 || lengthMs < 0 || count > kMaxBins) return std::nullopt;
  if (body.size() - in.device()->pos() != qint64(count) * 4) return std::nullopt;
  WaveformPeaks peaks;
  peaks.binMs = binMs;
  peaks.lengthMs = lengthMs;
  peaks.peak.resize(count);
  peaks.rms.resize(count);
  quint16 v = 0;
  for (quint32 i = 0; i < count; ++i) in >> v, peaks.peak[i] = v;
  for (quint32 i = 0; i < count; ++i) in >> v, peaks.rms[i] = v;
  if (in.status() != QDataStream::Ok) return std::nullopt;
  return peaks;
}

}  // namespace

QString Folder() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/Velmo/peaks");
}

QString FileFor(const QString& recordingPath) {
  const QByteArray name = QFileInfo(recordingPath).absoluteFilePath().toUtf8();
  return Folder() + QLatin1Char('/') +
         QString::fromLatin1(QCryptographicHash::hash(name, QCryptographicHash::Sha1).toHex()) +
         QStringLiteral(".peaks");
}

std::optional<WaveformPeaks> Load(const QString& recordingPath) {
  const std::optional<Key> key = KeyOf(recordingPath);
  if (!key) return std::nullopt;
  QFile file(FileFor(recordingPath));
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  // 4 bytes a bin plus the header: anything far larger is not ours.
  if (file.size() > qint64(kMaxBins) * 4 + 65536) return std::nullopt;
  return Parse(file.readAll(), *key);
}

bool Save(const QString& recordingPath, const WaveformPeaks& peaks) {
  const std::optional<Key> key = KeyOf(recordingPath);
  if (!key || peaks.peak.size() != peaks.rms.size() || peaks.peak.size() > kMaxBins) return false;
  if (!QDir().mkpath(Folder())) return false;
  const QByteArray body = Body(*key, peaks);
  QSaveFile file(FileFor(recordingPath));
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write(body);
  file.write(Digest(body));
  return file.commit();
}

std::optional<WaveformPeaks> LoadOrCompute(const QString& recordingPath, const PeakProgress& progress,
                                           const std::atomic<bool>* cancel) {
  if (std::optional<WaveformPeaks> cached = Load(recordingPath)) {
    if (progress) progress(100);
    return cached;
  }
  const std::optional<Key> before = KeyOf(recordingPath);
  if (!before) return std::nullopt;
  std::optional<WaveformPeaks> peaks = ComputePeaks(recordingPath, progress, cancel);
  if (!peaks) return std::nullopt;
  const std::optional<Key> after = KeyOf(recordingPath);
  if (after && *after == *before) Save(recordingPath, *peaks);
  return peaks;
}

}  // namespace PeakCache
