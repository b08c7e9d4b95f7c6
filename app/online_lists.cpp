#include "app/online_lists.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QTimer>
#include <QUrl>
#include <memory>
#include <optional>

#include "core/material_store.h"
#include "platform/shell.h"

#ifndef VELMO_MATERIAL_SERVER
#define VELMO_MATERIAL_SERVER ""
#endif

namespace online {
namespace {

std::optional<QString>& ServerOverride() {
  static std::optional<QString> server;
  return server;
}

QString& DownloadFolderOverride() {
  static QString folder;
  return folder;
}

QString NormalisedServer(const QString& address) {
  QString s = address.trimmed();
  while (s.endsWith(QLatin1Char('/'))) s.chop(1);
  return IsWebAddress(s) ? s : QString();
}

// The end of a local file name: letters, digits, ".", "-" and "_" of the
// wanted name, so that nothing from an address can reach outside the
// download folder or make an odd file name.
QString SafeFileName(const QString& wanted) {
  QString name;
  for (QChar c : wanted) {
    if (name.size() >= 40) break;
    const ushort u = c.unicode();
    if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '.' || u == '-' ||
        u == '_')
      name += c;
  }
  return name.isEmpty() ? QStringLiteral("download") : name;
}

QStringList Lines(const QString& text) {
  static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
  return text.split(lineEnd);
}

// The fields of a list line, or none when the line is empty or lacks the
// separator.
QStringList Fields(const QString& line) {
  if (line.isEmpty() || !line.contains(kSplit)) return {};
  QStringList parts = line.split(kSplit, Qt::KeepEmptyParts, Qt::CaseSensitive);
  for (QString& part : parts) part = part.trimmed();
  return parts;
}

const char* PictureFormat(const QByteArray& bytes) {
  if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a")) return "gif";
  if (bytes.startsWith("\xFF\xD8\xFF")) return "jpeg";
  if (bytes.startsWith(QByteArray("\x89PNG\r\n\x1A\n", 8))) return "png";
  if (bytes.startsWith("BM")) return "bmp";
  return nullptr;
}

}  // namespace

QString BuiltMaterialServer() { return QString::fromUtf8(VELMO_MATERIAL_SERVER); }

QString MaterialServer() {
  return NormalisedServer(ServerOverride() ? *ServerOverride() : BuiltMaterialServer());
}

void SetMaterialServer(const QString& address) { ServerOverride() = address; }

QString ServerAddress(const QString& path) {
  const QString server = MaterialServer();
  return server.isEmpty() ? QString() : server + path;
}

QString DownloadFolder() {
  return DownloadFolderOverride().isEmpty() ? QDir::tempPath() : DownloadFolderOverride();
}

void SetDownloadFolder(const QString& folder) { DownloadFolderOverride() = folder; }

bool IsWebAddress(const QString& text) {
  const QString s = text.trimmed();
  if (s.isEmpty()) return false;
  for (QChar c : s) {
    if (c.unicode() < 0x20 || c.isSpace() || c.unicode() == 0x7f) return false;
  }
  const QUrl url(s, QUrl::StrictMode);
  if (!url.isValid() || url.isRelative()) return false;
  const QString scheme = url.scheme().toLower();
  return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !url.host().isEmpty();
}

std::vector<LinkEntry> ParseLinkList(const QString& text) {
  std::vector<LinkEntry> entries;
  for (const QString& line : Lines(text)) {
    const QStringList parts = Fields(line);
    if (parts.size() < 2 || !IsWebAddress(parts[0]) || !IsWebAddress(parts[1])) continue;
    entries.push_back({parts[0], parts[1], parts.size() > 2 ? parts[2] : QString()});
  }
  return entries;
}

std::vector<MaterialEntry> ParseNewMaterials(const QString& text) {
  std::vector<MaterialEntry> entries;
  for (const QString& line : Lines(text)) {
    const QStringList parts = Fields(line);
    // An entry without a title would be an item nobody can see or click.
    if (parts.size() < 2 || parts[0].isEmpty() || !IsWebAddress(parts[1])) continue;
    // The titles are joined into one item block; a separator inside a title
    // would split it and shift every later title away from its address.
    QString title = parts[0];
    title.replace(ProMod::kEnter, QStringLiteral("＜KVQENTER>"));
    entries.push_back({title, parts[1]});
  }
  return entries;
}

QString AutoPageAddress(const QString& text) {
  const QString trimmed = ProMod::TrimSentenceText(text);
  if (trimmed.isEmpty()) return QString();
  const QString first = Lines(trimmed).value(0).trimmed();
  return IsWebAddress(first) ? first : QString();
}

QImage DecodeLinkPicture(const QByteArray& bytes) {
  if (bytes.size() > kMaxDownloadBytes) return QImage();
  const char* format = PictureFormat(bytes);
  if (!format) return QImage();
  QByteArray data = bytes;
  QBuffer buffer(&data);
  if (!buffer.open(QIODevice::ReadOnly)) return QImage();
  QImageReader reader(&buffer, format);
  reader.setAutoDetectImageFormat(false);
  const QSize size = reader.size();
  if (!size.isValid() || size.isEmpty() || size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)
    return QImage();
  QImage image = reader.read();
  if (image.isNull() || image.width() > kMaxPictureSide || image.height() > kMaxPictureSide) return QImage();
  return image;
}

QImage ReadLinkPicture(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxDownloadBytes) return QImage();
  return DecodeLinkPicture(file.read(kMaxDownloadBytes + 1));
}

// ---------------------------------------------------------------------------
// Downloads

Downloader::Downloader(QObject* parent) : QObject(parent), manager_(new QNetworkAccessManager(this)) {
  manager_->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

Downloader::~Downloader() {
  // Cancel without calling back: whoever asked may be going away too.
  for (QNetworkReply* reply : replies_) {
    disconnect(reply, nullptr, this, nullptr);
    reply->abort();
    delete reply;
  }
  replies_.clear();
}

void Downloader::DownloadFile(const QString& address, const QString& name, Done done) {
  if (!IsWebAddress(address)) {
    // Answered like any failed download: later, never inside the call.
    QTimer::singleShot(0, this, [done] { done(QString()); });
    return;
  }
  const QString trimmed = address.trimmed();
  const QString fileName = SafeFileName(name.isEmpty() ? trimmed.section(QLatin1Char('/'), -1) : name);

  QNetworkRequest request{QUrl(trimmed)};
  // Always a fresh copy: the lists change on the server.
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  request.setRawHeader("Cache-Control", "no-cache");
  request.setMaximumRedirectsAllowed(5);
  request.setTransferTimeout(kDownloadTimeoutMs);
  QNetworkReply* reply = manager_->get(request);
  replies_.insert(reply);

  auto body = std::make_shared<QByteArray>();
  auto tooLarge = std::make_shared<bool>(false);
  auto take = [reply, body, tooLarge] {
    if (*tooLarge) return;
    const qint64 declared = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    if (declared > kMaxDownloadBytes || body->size() + reply->bytesAvailable() > kMaxDownloadBytes) {
      *tooLarge = true;
      reply->abort();
      return;
    }
    body->append(reply->readAll());
  };
  connect(reply, &QNetworkReply::metaDataChanged, this, take);
  connect(reply, &QNetworkReply::readyRead, this, take);
  // A server that trickles data keeps the transfer timeout from firing;
  // this one does not wait for anybody.
  auto* deadline = new QTimer(reply);
  deadline->setSingleShot(true);
  connect(deadline, &QTimer::timeout, reply, &QNetworkReply::abort);
  deadline->start(kDownloadTimeoutMs);

  connect(reply, &QNetworkReply::finished, this, [this, reply, body, tooLarge, take, fileName, done] {
    if (reply->error() == QNetworkReply::NoError) take();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool ok = !*tooLarge && reply->error() == QNetworkReply::NoError && status >= 200 && status < 300;
    Finish(reply, *body, ok, fileName, done);
  });
}

void Downloader::Finish(QNetworkReply* reply, const QByteArray& body, bool ok, const QString& name,
                        const Done& done) {
  replies_.erase(reply);
  reply->deleteLater();
  QString path;
  if (ok) {
    QTemporaryFile file(DownloadFolder() + QStringLiteral("/velmo-XXXXXX-") + name);
    file.setAutoRemove(false);
    if (file.open()) {
      const bool written = file.write(body) == body.size();
      path = file.fileName();
      file.close();
      if (!written) {
        QFile::remove(path);
        path.clear();
      }
    }
  }
  done(path);
}

}  // namespace online

namespace ProMod {

void OpenWithShell(const QString& text) {
  if (!online::IsWebAddress(text)) return;
  platform::OpenWithShell(text.trimmed());
}

}  // namespace ProMod
