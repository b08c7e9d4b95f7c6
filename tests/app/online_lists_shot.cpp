// online_lists_shot APPFOLDER MAIN.png NEW.png [STAY_MS]: serves a link
// list with two pictures and a new-materials list from a server on
// 127.0.0.1, opens the main window on APPFOLDER (choosing the demo lesson
// when there is one), waits for the link pictures and saves a picture of the
// window; then clicks "最新资料" and saves a picture of the new-materials
// window. Each stays STAY_MS so that a screen grabber can
// take the screen too. Used to look at the windows; not a test.
#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>

#include "app/main_form.h"
#include "app/new_data_form.h"
#include "app/online_lists.h"
#include "controls/my_stree.h"
#include "core/audio_player.h"
#include "core/text_codec.h"
#include "platform/app_paths.h"
#include "platform/fonts.h"
#include "platform/shell.h"
#include "tests/app/local_http_server.h"

namespace {

QByteArray Banner(const QString& title, const QString& line, QColor from, QColor to) {
  QImage image(280, 48, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient fill(0, 0, 280, 0);
  fill.setColorAt(0, from);
  fill.setColorAt(1, to);
  p.setPen(QPen(to.darker(130), 1));
  p.setBrush(fill);
  p.drawRoundedRect(QRectF(0.5, 0.5, 279, 47), 8, 8);
  p.setBrush(Qt::white);
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(24, 24), 13, 13);
  p.setBrush(to);
  QPainterPath play;
  play.moveTo(20, 17);
  play.lineTo(31, 24);
  play.lineTo(20, 31);
  play.closeSubpath();
  p.drawPath(play);
  QFont big(QStringLiteral("Noto Sans CJK SC"));
  big.setBold(true);
  big.setPixelSize(16);
  p.setFont(big);
  p.setPen(Qt::white);
  p.drawText(QRect(46, 4, 230, 22), Qt::AlignLeft | Qt::AlignVCenter, title);
  QFont small(QStringLiteral("Noto Sans CJK SC"));
  small.setPixelSize(11);
  p.setFont(small);
  p.drawText(QRect(46, 26, 230, 18), Qt::AlignLeft | Qt::AlignVCenter, line);
  p.end();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

QByteArray List(const QStringList& lines) { return ProMod::EncodeAnsi(lines.join(QStringLiteral("\r\n"))); }

void Wait(int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 4) return 2;
  platform::RegisterFontSubstitutions();
  platform::SetApplicationFolder(QString::fromLocal8Bit(argv[1]));
  platform::SetShellOpenHandler([](const QString&) {});  // nothing opens a browser here
  SoundMod::SetOutputMode(SoundMod::OutputMode::NullOutput);
  const int stay = argc > 4 ? atoi(argv[4]) : 0;

  LocalHttpServer server;
  const QString split = online::kSplit;
  server.Serve(QStringLiteral("/pics/new.png"), Banner(QStringLiteral("新课上线：商务英语"),
                                                       QStringLiteral("30 课对话，句子已分好段"),
                                                       QColor(0x26, 0xa6, 0x9a), QColor(0x1e, 0x60, 0xa8)));
  server.Serve(QStringLiteral("/pics/news.png"), Banner(QStringLiteral("每日慢速英语新闻"),
                                                        QStringLiteral("每天更新，附文本与分段"),
                                                        QColor(0xff, 0xa7, 0x26), QColor(0xe5, 0x39, 0x35)));
  server.Serve(online::kLinkListPath,
               List({server.Url("/pics/new.png") + split + "https://materials.test/business" + split +
                         QStringLiteral("商务英语 30 课"),
                     server.Url("/pics/news.png") + split + "https://materials.test/news"}));
  server.Serve(online::kNewMaterialsPath,
               List({QStringLiteral("商务英语 第1课 见面与问候") + split + "https://materials.test/b1", QString(),
                     QStringLiteral("商务英语 第2课 电话预约") + split + "https://materials.test/b2",
                     QStringLiteral("商务英语 第3课 参观工厂") + split + "https://materials.test/b3",
                     QStringLiteral("慢速英语新闻 2026-12-08") + split + "https://materials.test/n1208",
                     QStringLiteral("慢速英语新闻 2026-12-09") + split + "https://materials.test/n1209", QString(),
                     QStringLiteral("少儿英语儿歌 十首（含歌词分段）") + split + "https://materials.test/songs",
                     QStringLiteral("英语数字听力专项练习 年份、小数与百分数") + split +
                         "https://materials.test/numbers"}));
  online::SetMaterialServer(server.Address());

  MainForm form;
  form.move(0, 0);
  form.resize(1060, 700);
  form.show();
  for (int i = 0; i < form.Combo1()->count(); ++i) {
    if (form.Combo1()->itemText(i) == QStringLiteral("示例")) {
      form.Combo1()->setCurrentIndex(i);
      form.Combo1_Click();
    }
  }
  if (form.MyStree1()->LabelCount() >= 1) {
    form.MyStree1()->setLabelCurClick(1);
    form.MyStree1_LabelClick(1);
  }
  QElapsedTimer clock;
  clock.start();
  while ((form.FetchingOnline() || clock.elapsed() < 500) && clock.elapsed() < 8000)
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  Wait(200);
  form.grab().save(QString::fromLocal8Bit(argv[2]));
  Wait(stay);

  // "最新资料": the window opens modally; the picture is taken from inside.
  QTimer watch;
  bool taken = false;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    auto* window = qobject_cast<NewDataForm*>(QApplication::activeModalWidget());
    if (!window || taken) return;
    taken = true;
    window->MyStree1()->setLabelCurClick(2);  // as after a click
    Wait(400);
    window->grab().save(QString::fromLocal8Bit(argv[3]));
    Wait(stay);
    window->reject();
  });
  watch.start(20);
  form.ShowNewMaterials();
  clock.restart();
  while (!taken && clock.elapsed() < 8000) QApplication::processEvents(QEventLoop::AllEvents, 20);
  Wait(100);
  return taken ? 0 : 1;
}
