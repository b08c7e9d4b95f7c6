#pragma once
#include <QImage>
#include <QObject>
#include <QString>
#include <functional>
#include <set>
#include <vector>

class QNetworkAccessManager;
class QNetworkReply;

// The material server's three lists (the page opened at start-up, the link
// pictures of the toolbar, the new materials), their download and their
// reading. Nothing here is needed for the program's own work: every failure
// only means fewer or no links.
namespace online {

inline const QString kAutoPagePath = QStringLiteral("/softvoice/autoVoice.txt");
inline const QString kLinkListPath = QStringLiteral("/softvoice/mainvoice.txt");
inline const QString kNewMaterialsPath = QStringLiteral("/softvoice/NewVoice.txt");
// Separates the fields of a list line; matched exactly, case included.
inline const QString kSplit = QStringLiteral("<kvqsplit>");

// A download that has not finished by then is given up.
constexpr int kDownloadTimeoutMs = 3000;
// Nothing the server sends may be larger: a list or picture beyond this is
// no list or picture of ours.
constexpr qint64 kMaxDownloadBytes = 2 * 1024 * 1024;
// A link picture is a small banner; anything much larger is refused before
// it is decoded.
constexpr int kMaxPictureSide = 4096;

// The material server's address as the build names it (empty: no server).
QString BuiltMaterialServer();
// The address in use: "scheme://host[:port][/base]" without a trailing "/",
// or empty when there is no server (also when the build names something
// that is not an http or https address). Tests set their own.
QString MaterialServer();
void SetMaterialServer(const QString& address);
// The address of a list on the server; empty when there is no server.
QString ServerAddress(const QString& path);

// Where downloads are written (and deleted again after reading): the
// system's temporary folder unless a test names another.
QString DownloadFolder();
void SetDownloadFolder(const QString& folder);  // empty: the temporary folder

// True for an absolute http or https address with a host. Only such
// addresses are downloaded or handed to the desktop: a list from the server
// must never make the program open a local file or start a program.
bool IsWebAddress(const QString& text);

// A line of the link list: picture address, link address, tool tip.
struct LinkEntry {
  QString picture;
  QString address;
  QString toolTip;  // empty: none
};
// The usable lines of a link list as ReadTextFile gives it, in order: lines
// that are empty, lack the separator, or whose picture or link is not a web
// address are left out.
std::vector<LinkEntry> ParseLinkList(const QString& text);

// An entry of the new-materials list: its title and its address.
struct MaterialEntry {
  QString title;
  QString address;
};
// The usable entries of a new-materials list, in order: lines that are
// empty, lack the separator, have no title or whose address is not a web
// address are left out.
std::vector<MaterialEntry> ParseNewMaterials(const QString& text);

// The address on the first line of the start-up page list, or empty when
// that line is no web address.
QString AutoPageAddress(const QString& text);

// A link picture from downloaded bytes: GIF, JPEG, PNG or BMP by content,
// at most kMaxDownloadBytes and kMaxPictureSide pixels a side; a null image
// otherwise.
QImage DecodeLinkPicture(const QByteArray& bytes);
// The same from a downloaded file.
QImage ReadLinkPicture(const QString& path);

// Downloads web addresses into files of the download folder, several at
// once, never blocking the thread. Each download ends after
// kDownloadTimeoutMs at the latest; its callback then runs on this thread
// with the local file's path, or with an empty path when nothing usable
// arrived (no server, an error status, too large, too slow, not a web
// address). The caller reads the file and deletes it. Destroying the
// downloader cancels what is running without calling back.
class Downloader : public QObject {
  Q_OBJECT

 public:
  using Done = std::function<void(const QString& localPath)>;

  explicit Downloader(QObject* parent = nullptr);
  ~Downloader() override;

  // `name` is the end of the local file's name ("autoVoice"); empty takes
  // the last "/"-separated part of the address. The file gets a unique name
  // of its own, so downloads never overwrite each other or a file someone
  // placed in the temporary folder.
  void DownloadFile(const QString& address, const QString& name, Done done);
  // Downloads still running.
  int Running() const { return static_cast<int>(replies_.size()); }

 private:
  void Finish(QNetworkReply* reply, const QByteArray& body, bool ok, const QString& name, const Done& done);

  QNetworkAccessManager* manager_ = nullptr;
  std::set<QNetworkReply*> replies_;
};

}  // namespace online

namespace ProMod {

// Hands a web address to the desktop, which opens it in the browser
// (platform::OpenWithShell). Anything that is not an http or https address
// (a local file, a program, "javascript:") is refused silently.
void OpenWithShell(const QString& text);

}  // namespace ProMod
