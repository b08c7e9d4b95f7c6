// The main window's online lists: the start-up page, the link images of the
// toolbar and their rotation, and "最新资料". Everything is fetched in the
// background; the window never waits for the network.
#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "app/main_form.h"
#include "app/new_data_form.h"
#include "app/online_lists.h"
#include "app/picture_box.h"
#include "controls/my_stree.h"
#include "controls/vsnet_button.h"
#include "core/material_store.h"
#include "core/message_service.h"
#include "core/random_source.h"

namespace {

// More link images than this would only queue downloads for pictures the
// rotation hardly ever shows.
constexpr size_t kMaxLinkImages = 20;

const QString kNoNewMaterials = QStringLiteral("未读到任何最新的音频资料，站长正在更新，请过段时间再试。");

// Runs a call once, after the first frame of a window has been painted.
class FirstPaintWatch : public QObject {
 public:
  FirstPaintWatch(QWidget* window, std::function<void()> then)
      : QObject(window), window_(window), then_(std::move(then)) {
    window->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == window_ && event->type() == QEvent::Paint) {
      window_->removeEventFilter(this);
      // Queued: the frame is finished and on the screen before it runs.
      QTimer::singleShot(0, window_, then_);
      deleteLater();
    }
    return false;
  }

 private:
  QWidget* window_;
  std::function<void()> then_;
};

// A downloaded link picture in the link image's box: never stretched; a
// picture larger than the box is scaled down whole, a smaller one centred.
PictureBox::Painter LinkPicturePainter(const QImage& picture) {
  return [picture](const QSize& size, qreal ratio, bool) {
    QPixmap canvas(size * ratio);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(Qt::transparent);
    if (size.isEmpty()) return canvas;
    QPainter p(&canvas);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    QSizeF shown = picture.size();
    if (shown.width() > size.width() || shown.height() > size.height())
      shown.scale(QSizeF(size), Qt::KeepAspectRatio);
    const QRectF target((size.width() - shown.width()) / 2.0, (size.height() - shown.height()) / 2.0,
                        shown.width(), shown.height());
    p.drawImage(target, picture);
    return canvas;
  };
}

// The text of a downloaded list; the file is deleted after reading.
QString TakeList(const QString& path) {
  if (path.isEmpty()) return QString();
  const QString text = ProMod::ReadTextFile(path);
  QFile::remove(path);
  return text;
}

}  // namespace

QString MainForm::HomePage() {
  const QString server = online::MaterialServer();
  return server.isEmpty() ? QString() : server + QLatin1Char('/');
}

QString MainForm::BuiltInLink() { return HomePage(); }

QString MainForm::WebSiteLine() {
  const QString home = HomePage();
  // Without a material server there is no address to give.
  if (home.isEmpty()) return QStringLiteral("更多的音频资料请访问<Velmo女孩>网站。");
  return QStringLiteral("更多的音频资料请访问<Velmo女孩 ") + home + QStringLiteral(">");
}

bool MainForm::FetchingOnline() const {
  return firstPaintWatch_ || (startupDownloads_ && startupDownloads_->Running() > 0) ||
         (newMaterialsDownloads_ && newMaterialsDownloads_->Running() > 0);
}

// ---------------------------------------------------------------------------
// Start-up page and link images

void MainForm::LoadOnlineLists() {
  // A fetch still running belongs to an earlier call: drop it unanswered.
  startupDownloads_.reset();
  delete firstPaintWatch_.data();
  ShowBuiltInLink();
  if (online::MaterialServer().isEmpty()) return;
  startupDownloads_ = std::make_unique<online::Downloader>();
  firstPaintWatch_ = new FirstPaintWatch(this, [this] { StartOnlineFetch(); });
  if (isVisible()) update();
}

// No links: the built-in image with the built-in link, no rotation.
void MainForm::ShowBuiltInLink() {
  timer1_.stop();
  while (urlImage_.size() > 1) {
    delete urlImage_.back();
    urlImage_.pop_back();
  }
  linkAddresses_ = QStringList{BuiltInLink()};
  urlImage_[0]->setToolTip(BuiltInLink());
  urlImage_[0]->show();
}

void MainForm::StartOnlineFetch() {
  if (!startupDownloads_) return;
  startupDownloads_->DownloadFile(online::ServerAddress(online::kAutoPagePath), QStringLiteral("autoVoice"),
                                  [this](const QString& path) { AutoPageArrived(path); });
  startupDownloads_->DownloadFile(online::ServerAddress(online::kLinkListPath), QStringLiteral("mainvoice"),
                                  [this](const QString& path) { LinkListArrived(path); });
}

void MainForm::AutoPageArrived(const QString& path) {
  const QString address = online::AutoPageAddress(TakeList(path));
  if (!address.isEmpty()) ProMod::OpenWithShell(address);
}

void MainForm::LinkListArrived(const QString& path) {
  std::vector<online::LinkEntry> entries = online::ParseLinkList(TakeList(path));
  if (entries.size() > kMaxLinkImages) entries.resize(kMaxLinkImages);
  if (entries.empty()) return;  // the built-in link stays
  // The pictures arrive in any order; the images are made in the order of
  // the list once every picture has arrived or failed, so that
  // LinkAddresses(1) and (2) are always the first usable lines.
  auto pictures = std::make_shared<std::vector<QImage>>(entries.size());
  auto due = std::make_shared<size_t>(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    auto arrived = [this, entries, pictures, due, i](const QString& file) {
      if (!file.isEmpty()) {
        (*pictures)[i] = online::ReadLinkPicture(file);
        QFile::remove(file);
      }
      if (--*due == 0) ShowLinkImages(entries, *pictures);
    };
    startupDownloads_->DownloadFile(entries[i].picture, QString(), arrived);
  }
}

void MainForm::ShowLinkImages(const std::vector<online::LinkEntry>& entries, const std::vector<QImage>& pictures) {
  const TwipRect box = Geometry(urlImage_[0]);
  for (size_t i = 0; i < entries.size() && i < pictures.size(); ++i) {
    if (pictures[i].isNull()) continue;
    const int n = static_cast<int>(urlImage_.size());
    auto* image = new PictureBox(LinkPicturePainter(pictures[i]), picture2_);
    image->setObjectName(QStringLiteral("UrlImage_%1").arg(n));
    image->hide();
    Place(image, box);
    image->setToolTip(entries[i].toolTip);
    image->raise();
    connect(image, &PictureBox::Click, this, [this, n] { UrlImage_Click(n); });
    urlImage_.push_back(image);
    linkAddresses_ << entries[i].address;
  }
  if (urlImage_.size() < 2) return;  // no picture could be shown: the built-in link stays
  urlImage_[0]->hide();
  urlImage_[1]->show();
  timer1_.start();
}

void MainForm::Timer1_Timer() {
  const int n = std::min(static_cast<int>(linkAddresses_.size()), static_cast<int>(urlImage_.size())) - 1;
  if (n < 1) return;
  ProMod::Randomize();
  const int k = 1 + std::clamp(static_cast<int>(ProMod::Rnd() * static_cast<float>(n)), 0, n - 1);
  for (int i = 0; i < static_cast<int>(urlImage_.size()); ++i) urlImage_[i]->setVisible(i == k);
}

void MainForm::UrlImage_Click(int index) {
  if (index < 0 || index >= linkAddresses_.size()) return;
  ProMod::OpenWithShell(linkAddresses_[index]);
}

// ---------------------------------------------------------------------------
// "最新资料"

void MainForm::ShowNewMaterials() {
  const QString address = online::ServerAddress(online::kNewMaterialsPath);
  if (address.isEmpty()) {
    ProMod::ShowMsgBox(kNoNewMaterials, 1, ProMod::kAppTitle, ProMod::kIconInformation);
    return;
  }
  if (!newMaterialsDownloads_) newMaterialsDownloads_ = std::make_unique<online::Downloader>();
  if (newMaterialsDownloads_->Running() > 0) return;  // the list is on its way
  // The button rests while the list is fetched; the window stays usable.
  buttons_[kNewMaterialsButton]->setEnabled(false);
  newMaterialsDownloads_->DownloadFile(address, QStringLiteral("NewVoice"),
                                       [this](const QString& path) { NewMaterialsArrived(path); });
}

void MainForm::NewMaterialsArrived(const QString& path) {
  buttons_[kNewMaterialsButton]->setEnabled(true);
  const std::vector<online::MaterialEntry> entries = online::ParseNewMaterials(TakeList(path));
  // The learner opened another window while the list was on its way and has
  // moved on: neither the list nor the message is pushed over it.
  if (QApplication::activeModalWidget()) return;
  if (entries.empty()) {
    ProMod::ShowMsgBox(kNoNewMaterials, 1, ProMod::kAppTitle, ProMod::kIconInformation);
    return;
  }
  // Opened from the event loop rather than from inside the download's own
  // signal, which the modal window would otherwise hold up.
  QTimer::singleShot(0, this, [this, entries] {
    if (!QApplication::activeModalWidget()) OpenNewDataForm(entries);
  });
}

void MainForm::OpenNewDataForm(const std::vector<online::MaterialEntry>& entries) {
  auto* form = new NewDataForm(myStree1_, this);
  QStringList titles;
  for (const online::MaterialEntry& entry : entries) titles << entry.title;
  form->MyStree1()->setGetData(titles.join(ProMod::kEnter));
  for (size_t i = 0; i < entries.size(); ++i)
    form->MyStree1()->SetabelItemData(static_cast<int>(i) + 1, entries[i].address);
  QPointer<QDialog> guard(form);
  ShowChildWindow(form, QString(), QString());
  delete guard.data();
}
