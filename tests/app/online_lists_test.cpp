// The online lists: reading the lists and pictures, downloading, the link
// images and their rotation, "最新资料", a network that refuses or never
// answers, addresses that must never reach the desktop, and the downloaded
// files being gone afterwards. The lists come from a server on 127.0.0.1
// that the tests run themselves.
#include <QBuffer>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QNetworkProxy>
#include <QPainter>
#include <QTimer>
#include <functional>

#include "app/new_data_form.h"
#include "app/online_lists.h"
#include "controls/my_stree.h"
#include "controls/vsnet_button.h"
#include "core/random_source.h"
#include "core/text_codec.h"
#include "tests/app/local_http_server.h"
#include "tests/app/main_form_fixture.h"

namespace app_test {
namespace {

const QString kNoNewMaterials = QStringLiteral("未读到任何最新的音频资料，站长正在更新，请过段时间再试。");

// A one-pixel GIF as such pictures are usually published.
const QByteArray kGif("GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff!\xf9\x04\x01\x00\x00\x00\x00,"
                      "\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
                      43);

QByteArray Picture(const char* format, QSize size = QSize(280, 48), QColor colour = QColor(40, 120, 200)) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(colour);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes;
}

// A list as the server publishes it: ANSI text, CR LF line ends.
QByteArray ListFile(const QStringList& lines) { return ProMod::EncodeAnsi(lines.join(QStringLiteral("\r\n"))); }

QString Line(const QString& a, const QString& b, const QString& c = QString()) {
  return c.isEmpty() ? a + online::kSplit + b : a + online::kSplit + b + online::kSplit + c;
}

// Runs the event loop until the condition holds or the time is up.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > timeoutMs) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

QStringList FilesIn(const QString& folder) { return QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot); }

// ---------------------------------------------------------------------------
// Reading the lists and pictures

TEST(OnlineListsText, LinkListKeepsGoodLinesWithTheirToolTipsAndDropsTheRest) {
  const QString text = QStringList{
      QString(),
      Line("http://s.test/ad1.gif", "http://s.test/one", "第一个链接"),
      QString(),
      "a line without the separator",
      "http://s.test/ad2.gif<KVQSPLIT>http://s.test/upper",  // the separator is case-sensitive
      Line(" https://s.test/ad3.png ", " https://s.test/three "),
      Line("http://s.test/ad4.gif", "javascript:alert(1)"),
      Line("http://s.test/ad5.gif", "file:///etc/passwd"),
      Line("http://s.test/ad6.gif", "/usr/bin/xterm"),
      Line("file:///etc/passwd", "http://s.test/six"),
      Line("ad7.gif", "http://s.test/seven"),
      Line("http://s.test/ad8.gif", "http://s.test/eight", "提示") + online::kSplit + "extra",
  }.join(ProMod::kCrLf);
  const std::vector<online::LinkEntry> entries = online::ParseLinkList(text);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].picture, "http://s.test/ad1.gif");
  EXPECT_EQ(entries[0].address, "http://s.test/one");
  EXPECT_EQ(entries[0].toolTip, "第一个链接");
  EXPECT_EQ(entries[1].picture, "https://s.test/ad3.png");
  EXPECT_EQ(entries[1].address, "https://s.test/three");
  EXPECT_TRUE(entries[1].toolTip.isEmpty());
  EXPECT_EQ(entries[2].address, "http://s.test/eight");
  EXPECT_EQ(entries[2].toolTip, "提示");
  EXPECT_TRUE(online::ParseLinkList(QString()).empty());
}

TEST(OnlineListsText, NewMaterialsSkipEmptyAndUnusableLines) {
  const QString text = QStringList{
      Line("第一课 问候", "http://s.test/1"), QString(), QString(), Line("第二课 购物", "https://s.test/2"),
      "标题<KVQENTER>中间" + online::kSplit + "http://s.test/3", "没有地址的标题", Line(QString(), "http://s.test/4"),
      Line("本机文件", "file:///etc/passwd"), Line("程序", "C:\\Windows\\System32\\calc.exe"),
  }.join(ProMod::kCrLf);
  const std::vector<online::MaterialEntry> entries = online::ParseNewMaterials(text);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].title, "第一课 问候");
  EXPECT_EQ(entries[0].address, "http://s.test/1");
  EXPECT_EQ(entries[1].title, "第二课 购物");
  EXPECT_EQ(entries[1].address, "https://s.test/2");
  // A separator inside a title would split the item block.
  EXPECT_FALSE(entries[2].title.contains(ProMod::kEnter));
  EXPECT_EQ(entries[2].address, "http://s.test/3");
}

TEST(OnlineListsText, OnlyHttpAndHttpsAddressesWithAHostAreWebAddresses) {
  for (const char* good : {"http://s.test/", "https://s.test/a?b=c#d", "HTTP://S.TEST", " http://127.0.0.1:8080/x "})
    EXPECT_TRUE(online::IsWebAddress(QString::fromUtf8(good))) << good;
  for (const char* bad : {"", "file:///etc/passwd", "/etc/passwd", "C:\\Windows\\notepad.exe", "javascript:alert(1)",
                          "ftp://s.test/x", "http://", "http:/s.test", "s.test/page", "mailto:a@s.test",
                          "http://s.test/a b", "http://s.test/\nfile:///etc/passwd", "data:text/html,hi"})
    EXPECT_FALSE(online::IsWebAddress(QString::fromUtf8(bad))) << bad;
}

TEST(OnlineListsText, StartPageIsTheFirstLineWhenItIsAWebAddress) {
  // Blank lines before it are trimmed away with the text.
  EXPECT_EQ(online::AutoPageAddress("\r\n  \r\nhttp://s.test/welcome\r\nhttp://s.test/other"),
            QString("http://s.test/welcome"));
  EXPECT_EQ(online::AutoPageAddress("\r\nhttp://s.test/welcome \r\nhttp://s.test/other"), "http://s.test/welcome");
  EXPECT_EQ(online::AutoPageAddress("\r\nfile:///etc/passwd"), "");
  EXPECT_EQ(online::AutoPageAddress(QString()), "");
}

TEST(OnlineListsText, PicturesAreGifJpegPngOrBmpByContentAndSmallEnough) {
  EXPECT_EQ(online::DecodeLinkPicture(kGif).size(), QSize(1, 1));
  EXPECT_EQ(online::DecodeLinkPicture(Picture("PNG")).size(), QSize(280, 48));
  EXPECT_EQ(online::DecodeLinkPicture(Picture("JPG")).size(), QSize(280, 48));
  EXPECT_EQ(online::DecodeLinkPicture(Picture("BMP")).size(), QSize(280, 48));
  EXPECT_TRUE(online::DecodeLinkPicture("<svg xmlns='http://www.w3.org/2000/svg'/>").isNull());
  EXPECT_TRUE(online::DecodeLinkPicture("GIF89a but nothing after it").isNull());
  EXPECT_TRUE(online::DecodeLinkPicture(QByteArray()).isNull());
  // A bitmap of 3 MB is no link picture, though it would decode.
  const QByteArray large = Picture("BMP", QSize(1000, 1000));
  ASSERT_GT(large.size(), online::kMaxDownloadBytes);
  EXPECT_TRUE(online::DecodeLinkPicture(large).isNull());
  // Small on the wire, enormous in memory.
  EXPECT_TRUE(online::DecodeLinkPicture(Picture("PNG", QSize(5000, 2))).isNull());
}

// ---------------------------------------------------------------------------
// Downloads

class DownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    online::SetDownloadFolder(folder_.Path());
  }
  void TearDown() override {
    online::SetDownloadFolder(QString());
    QNetworkProxy::setApplicationProxy(QNetworkProxy::DefaultProxy);
  }
  // Downloads and waits for the answer; "<none>" when there was none.
  QString Fetch(online::Downloader& d, const QString& address, const QString& name = QString()) {
    QString result = QStringLiteral("<none>");
    bool called = false;
    d.DownloadFile(address, name, [&](const QString& path) {
      result = path;
      called = true;
    });
    EXPECT_FALSE(called) << "answered inside the call";
    EXPECT_TRUE(WaitFor([&] { return called; }, 5000));
    return result;
  }

  TempFolder folder_;
  LocalHttpServer server_;
};

TEST_F(DownloadTest, FilesLandInTheDownloadFolderUnderUniqueSafeNames) {
  server_.Serve("/pics/ad1.gif", kGif);
  online::Downloader d;
  const QString first = Fetch(d, server_.Url("/pics/ad1.gif"));
  const QString second = Fetch(d, server_.Url("/pics/ad1.gif"));
  ASSERT_FALSE(first.isEmpty());
  EXPECT_NE(first, second) << "a second download never overwrites the first";
  EXPECT_EQ(QFileInfo(first).absolutePath(), QFileInfo(folder_.Path()).absoluteFilePath());
  EXPECT_TRUE(first.endsWith("ad1.gif")) << first.toStdString();
  QFile f(first);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), kGif);
  // A name from the address cannot climb out of the folder.
  server_.Serve("/x/..%2F..%2Fevil", "x");
  const QString odd = Fetch(d, server_.Url("/x/..%2F..%2Fevil"), QString());
  EXPECT_EQ(QFileInfo(odd).absolutePath(), QFileInfo(folder_.Path()).absoluteFilePath());
  EXPECT_EQ(Fetch(d, server_.Url("/x/..%2F..%2Fevil"), "../../autoVoice").section('/', 0, -2),
            QFileInfo(odd).absolutePath());
}

TEST_F(DownloadTest, FailuresAnswerWithNoFile) {
  server_.Serve("/big.txt", QByteArray(online::kMaxDownloadBytes + 1, 'x'));
  server_.Serve("/gone.txt", "error page", 500);
  online::Downloader d;
  EXPECT_EQ(Fetch(d, server_.Url("/missing.txt")), "");
  EXPECT_EQ(Fetch(d, server_.Url("/gone.txt")), "");
  EXPECT_EQ(Fetch(d, server_.Url("/big.txt")), "");
  EXPECT_EQ(Fetch(d, "file:///etc/passwd"), "");
  EXPECT_EQ(Fetch(d, LocalHttpServer::RefusingAddress() + "/a.txt"), "");
  EXPECT_TRUE(FilesIn(folder_.Path()).isEmpty());
  // A downloader that goes away takes its downloads with it, unanswered.
  bool called = false;
  {
    online::Downloader gone;
    server_.SetSilent(true);
    gone.DownloadFile(server_.Url("/a.txt"), QString(), [&](const QString&) { called = true; });
    WaitFor([&] { return server_.Connections() > 0; }, 2000);
  }
  QTest::qWait(50);
  EXPECT_FALSE(called);
}

// ---------------------------------------------------------------------------
// The main window with a material server

class OnlineListsTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    online::SetDownloadFolder(downloads_.Path());
    online::SetMaterialServer(server_.Address());
  }
  void TearDown() override {
    MainFormTest::TearDown();
    ProMod::SetRandomSource({});
    online::SetDownloadFolder(QString());
    QNetworkProxy::setApplicationProxy(QNetworkProxy::DefaultProxy);
  }

  void ServeLinks(const QStringList& lines) { server_.Serve(online::kLinkListPath, ListFile(lines)); }
  QString Pic(const QString& name, const QByteArray& bytes) {
    server_.Serve("/pics/" + name, bytes);
    return server_.Url("/pics/" + name);
  }
  // Opens the window and waits for the start-up fetch to end.
  MainForm& OpenAndFetch() {
    MainForm& f = Open();
    EXPECT_TRUE(WaitFor([&] { return !f.FetchingOnline(); }, 6000));
    return f;
  }
  // Clicks "最新资料" and waits until the list has arrived and been shown.
  void ClickNewMaterials() {
    QTest::mouseClick(form().VsNetButton(MainForm::kNewMaterialsButton), Qt::LeftButton);
    EXPECT_TRUE(WaitFor([&] { return !form().FetchingOnline(); }, 6000));
    QApplication::processEvents();
  }
  std::vector<int> ShownImages() {
    std::vector<int> shown;
    for (int i = 0; form().UrlImage(i); ++i)
      if (!form().UrlImage(i)->isHidden()) shown.push_back(i);
    return shown;
  }
  // No downloaded file is left, nor a list copy in the application folder.
  void ExpectNoFilesLeft() {
    EXPECT_TRUE(FilesIn(downloads_.Path()).isEmpty()) << FilesIn(downloads_.Path()).join(' ').toStdString();
    for (const char* name : {"autoVoice", "mainvoice", "NewVoice"}) EXPECT_FALSE(QFileInfo::exists(app_.File(name)));
  }

  TempFolder downloads_;
  LocalHttpServer server_;
};

TEST_F(OnlineListsTest, StartUpOpensTheStartPageAndMakesLinkImagesInListOrder) {
  server_.Serve(online::kAutoPagePath, ListFile({"http://s.test/welcome", "http://s.test/not-this"}));
  ServeLinks({
      Line(Pic("one.png", Picture("PNG")), "http://s.test/1", "第一个链接"),
      QString(),
      "no separator here",
      Line(server_.Url("/pics/missing.gif"), "http://s.test/missing"),
      Line(Pic("text.gif", "this is not a picture"), "http://s.test/text"),
      Line(Pic("huge.bmp", Picture("BMP", QSize(1000, 1000))), "http://s.test/huge"),
      Line(Pic("two.gif", kGif), "http://s.test/2"),
      Line(Pic("three.jpg", Picture("JPG", QSize(200, 40))), "http://s.test/3"),
  });
  MainForm& f = OpenAndFetch();
  EXPECT_EQ(opened_, QStringList{"http://s.test/welcome"});
  EXPECT_EQ(f.LinkAddresses(),
            (QStringList{MainForm::BuiltInLink(), "http://s.test/1", "http://s.test/2", "http://s.test/3"}));
  EXPECT_EQ(MainForm::BuiltInLink(), server_.Address() + "/");
  ASSERT_NE(f.UrlImage(3), nullptr);
  EXPECT_EQ(f.UrlImage(4), nullptr);
  EXPECT_EQ(f.UrlImage(1)->toolTip(), "第一个链接");
  EXPECT_TRUE(f.UrlImage(2)->toolTip().isEmpty());
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(f.Geometry(f.UrlImage(i)).Left, f.Geometry(f.UrlImage(0)).Left) << i;
    EXPECT_EQ(f.Geometry(f.UrlImage(i)).Width, f.Geometry(f.UrlImage(0)).Width) << i;
    EXPECT_FALSE(f.UrlImage(i)->Picture().isNull()) << i;
  }
  EXPECT_EQ(ShownImages(), std::vector<int>{1});
  EXPECT_TRUE(f.Timer1()->isActive());
  EXPECT_EQ(f.Timer1()->interval(), 30000);
  // Every image opens its own link.
  QTest::mouseClick(f.UrlImage(1), Qt::LeftButton);
  EXPECT_EQ(opened_.last(), "http://s.test/1");
  f.UrlImage_Click(3);
  EXPECT_EQ(opened_.last(), "http://s.test/3");
  ExpectNoFilesLeft();
  EXPECT_EQ(msgs_.Count(), 0);
}

TEST_F(OnlineListsTest, StartUpFetchWaitsForTheWindowsFirstFrame) {
  ServeLinks({Line(Pic("a.png", Picture("PNG")), "http://s.test/a")});
  form_ = std::make_unique<MainForm>();
  QTest::qWait(150);
  EXPECT_EQ(server_.Connections(), 0) << "fetched before the window was on the screen";
  EXPECT_TRUE(form().FetchingOnline());
  form().show();
  ASSERT_TRUE(WaitFor([&] { return !form().FetchingOnline(); }, 6000));
  EXPECT_EQ(form().LinkAddresses().size(), 2);
}

TEST_F(OnlineListsTest, RotationNeverShowsImageZeroOnceOthersExist) {
  ServeLinks({Line(Pic("a.png", Picture("PNG")), "http://s.test/a"), "bad line",
              Line(Pic("b.png", Picture("PNG")), "http://s.test/b")});
  MainForm& f = OpenAndFetch();
  ASSERT_EQ(f.LinkAddresses().size(), 3);
  std::vector<float> numbers = {0.0f, 0.49f, 0.5f, 0.999999f, 0.25f, 0.75f};
  size_t next = 0;
  ProMod::SetRandomSource([&] { return numbers[next++ % numbers.size()]; });
  std::vector<int> seen;
  for (int i = 0; i < 12; ++i) {
    QMetaObject::invokeMethod(f.Timer1(), "timeout", Qt::DirectConnection);  // the timer ticking
    const std::vector<int> shown = ShownImages();
    ASSERT_EQ(shown.size(), 1u);
    seen.push_back(shown[0]);
  }
  EXPECT_EQ(seen, (std::vector<int>{1, 1, 2, 2, 1, 2, 1, 1, 2, 2, 1, 2}));
  // The clock-seeded generator too.
  ProMod::SetRandomSource({});
  for (int i = 0; i < 200; ++i) {
    f.Timer1_Timer();
    const std::vector<int> shown = ShownImages();
    ASSERT_EQ(shown.size(), 1u);
    ASSERT_NE(shown[0], 0);
  }
}

TEST_F(OnlineListsTest, TheLinkLineAndTheShoppingLineOpenTheFirstTwoLinks) {
  VELMO_REQUIRE_AUDIO_MEDIA();
  WriteMaterial(AddRecording("", "lesson.mp3"), ThreeSentences());
  ServeLinks({Line(Pic("a.png", Picture("PNG")), "http://s.test/home"),
              Line(Pic("b.png", Picture("PNG")), "http://s.test/shop")});
  OpenAndFetch();
  ChooseRecording(1);
  ClickSentenceItem(1);
  ClickSentenceItem(5);
  EXPECT_EQ(opened_, (QStringList{"http://s.test/home", "http://s.test/shop"}));
  EXPECT_FALSE(Playing());
}

TEST_F(OnlineListsTest, NewMaterialsListOpensItsWindowWhoseItemsOpenTheirAddresses) {
  server_.Serve(online::kNewMaterialsPath, ListFile({Line("第一课 问候", "http://s.test/lesson1"), QString(), QString(),
                                                     Line("第二课 购物", "http://s.test/lesson2"), QString(),
                                                     Line("英语数字听力专项练习 年份、小数与百分数", "http://s.test/n")}));
  ASSERT_TRUE(ProMod::WriteTextFile(app_.File("FaceSet.ini"),
                                    QStringLiteral("文件选择框--背景色1=255\r\n文件选择框--文字移入色=65280\r\n"
                                                   "文件选择框背景色角度=45")));
  MainForm& f = OpenAndFetch();
  bool seen = false;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    auto* window = qobject_cast<NewDataForm*>(QApplication::activeModalWidget());
    if (!window || seen) return;
    seen = true;
    MyStree* list = window->MyStree1();
    EXPECT_EQ(window->windowTitle(), "最新资料");
    EXPECT_EQ(list->LabelCount(), 3);
    if (list->LabelCount() != 3) return window->reject();
    // Laid out at the window's width: a long title keeps to one line.
    EXPECT_TRUE(list->IsShown(3));
    EXPECT_LE(list->CaptionRect(3).height(), list->CaptionRect(1).height() + 2);
    EXPECT_EQ(list->ItemStr(1), "第一课 问候");
    EXPECT_EQ(list->ItemStr(2), "第二课 购物");
    EXPECT_EQ(list->GetLabelItemData(2), "http://s.test/lesson2");
    // It looks like the recording list.
    MyStree* recordings = f.MyStree1();
    EXPECT_EQ(list->BackGroundColor1(), 255u);
    EXPECT_EQ(list->BackGroundColor1(), recordings->BackGroundColor1());
    EXPECT_EQ(list->BackGroundAngel(), 45);
    EXPECT_EQ(list->BackGroundColor2(), recordings->BackGroundColor2());
    EXPECT_EQ(list->LabelColorMoveIn(), recordings->LabelColorMoveIn());
    EXPECT_EQ(list->LabelFontSize(), recordings->LabelFontSize());
    EXPECT_EQ(list->LabelFontName(), "宋体");
    EXPECT_TRUE(list->HightLightUse());
    ClickItem(list, 2);
    ClickItem(list, 1);
    window->reject();
  });
  watch.start(10);
  ClickNewMaterials();
  ASSERT_TRUE(WaitFor([&] { return seen && !QApplication::activeModalWidget(); }, 3000));
  EXPECT_EQ(opened_, (QStringList{"http://s.test/lesson2", "http://s.test/lesson1"}));
  EXPECT_EQ(msgs_.Count(), 0);
  EXPECT_TRUE(f.VsNetButton(MainForm::kNewMaterialsButton)->isEnabled());
  ExpectNoFilesLeft();
}

TEST_F(OnlineListsTest, NewMaterialsWithoutEntriesTellTheLearner) {
  MainForm& f = OpenAndFetch();
  const QList<QByteArray> lists = {ListFile({QString(), "没有分隔符", Line("本机", "file:///etc/passwd")}),
                                   QByteArray()};
  int expected = 0;
  for (const QByteArray& list : lists) {
    server_.Serve(online::kNewMaterialsPath, list);
    ClickNewMaterials();
    ASSERT_EQ(msgs_.Count(), ++expected);
    EXPECT_EQ(msgs_.Last().text, kNoNewMaterials);
    EXPECT_EQ(msgs_.Last().title, ProMod::kAppTitle);
    EXPECT_FALSE(msgs_.Last().twoButtons);
    EXPECT_EQ(msgs_.Last().icon, ProMod::kIconInformation);
  }
  server_.Serve(online::kNewMaterialsPath, "not here", 404);
  ClickNewMaterials();
  EXPECT_EQ(msgs_.Count(), expected + 1);
  EXPECT_TRUE(f.VsNetButton(MainForm::kNewMaterialsButton)->isEnabled());
  ExpectNoFilesLeft();
}

TEST_F(OnlineListsTest, RefusedConnectionKeepsTheBuiltInLink) {
  online::SetMaterialServer(LocalHttpServer::RefusingAddress());
  MainForm& f = OpenAndFetch();
  EXPECT_EQ(f.LinkAddresses(), QStringList{MainForm::BuiltInLink()});
  EXPECT_EQ(ShownImages(), std::vector<int>{0});
  EXPECT_FALSE(f.Timer1()->isActive());
  QTest::mouseClick(f.UrlImage(0), Qt::LeftButton);
  EXPECT_EQ(opened_, QStringList{MainForm::BuiltInLink()});
  ClickNewMaterials();
  ASSERT_EQ(msgs_.Count(), 1);
  EXPECT_EQ(msgs_.Last().text, kNoNewMaterials);
}

TEST_F(OnlineListsTest, ServerThatNeverAnswersNeitherDelaysNorFreezesTheWindow) {
  server_.SetSilent(true);
  QElapsedTimer clock;
  clock.start();
  MainForm& f = Open();
  // The window is up before anything is fetched, and the fetch starts on its own.
  EXPECT_LT(clock.elapsed(), 2000);
  ASSERT_TRUE(WaitFor([&] { return server_.Connections() >= 2; }, 2000));
  QTest::mouseClick(f.VsNetButton(MainForm::kNewMaterialsButton), Qt::LeftButton);
  EXPECT_FALSE(f.VsNetButton(MainForm::kNewMaterialsButton)->isEnabled()) << "rests while the list is fetched";

  // A 20 ms timer keeps ticking and the window answers clicks meanwhile.
  qint64 last = clock.elapsed(), longestGap = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    longestGap = std::max(longestGap, clock.elapsed() - last);
    last = clock.elapsed();
  });
  ticker.start(20);
  QTest::qWait(200);
  QTest::mouseClick(f.VsNetButton(MainForm::kHelpButton), Qt::LeftButton);
  ASSERT_EQ(msgs_.Count(), 1);
  EXPECT_EQ(msgs_.Last().text, f.HelpMessage());

  const qint64 before = clock.elapsed();
  ASSERT_TRUE(WaitFor([&] { return !f.FetchingOnline(); }, 5000)) << "the fetch must give up";
  const qint64 gaveUpAfter = clock.elapsed();
  EXPECT_LT(gaveUpAfter, 4500);
  EXPECT_GT(gaveUpAfter - before, 1500) << "gave up before its time";
  EXPECT_LT(longestGap, 500);
  ASSERT_EQ(msgs_.Count(), 2);
  EXPECT_EQ(msgs_.Last().text, kNoNewMaterials);
  EXPECT_EQ(f.LinkAddresses(), QStringList{MainForm::BuiltInLink()});
  EXPECT_EQ(ShownImages(), std::vector<int>{0});
  EXPECT_FALSE(f.Timer1()->isActive());
  EXPECT_TRUE(opened_.isEmpty());
  EXPECT_TRUE(f.VsNetButton(MainForm::kNewMaterialsButton)->isEnabled());
  ExpectNoFilesLeft();
}

TEST_F(OnlineListsTest, LocalFilesProgramsAndScriptsAreNeverOpened) {
  const QStringList unsafe = {"file:///etc/passwd", "/usr/bin/xterm", "C:\\Windows\\System32\\calc.exe",
                              "javascript:alert(1)", "  file:///etc/passwd"};
  server_.Serve(online::kAutoPagePath, ListFile({"file:///etc/passwd"}));
  QStringList links, materials;
  const QString picture = Pic("a.png", Picture("PNG"));
  for (const QString& address : unsafe) {
    links << Line(picture, address, "提示");
    materials << Line("标题", address);
  }
  links << Line("file:///etc/passwd", "http://s.test/ok") << Line("/usr/share/pixmaps/debian-logo.png", "http://s.test/ok");
  ServeLinks(links);
  server_.Serve(online::kNewMaterialsPath, ListFile(materials));
  MainForm& f = OpenAndFetch();
  EXPECT_EQ(f.LinkAddresses(), QStringList{MainForm::BuiltInLink()});
  EXPECT_EQ(ShownImages(), std::vector<int>{0});
  EXPECT_FALSE(server_.Requests().contains("/pics/a.png")) << "no picture is fetched for an unusable line";
  ClickNewMaterials();
  ASSERT_EQ(msgs_.Count(), 1);
  EXPECT_EQ(msgs_.Last().text, kNoNewMaterials);
  // Whatever the caller: the desktop never gets them.
  NewDataForm window(f.MyStree1());
  window.MyStree1()->setGetData(QStringList(unsafe.size(), "x").join(ProMod::kEnter));
  for (int i = 0; i < unsafe.size(); ++i) {
    window.MyStree1()->SetabelItemData(i + 1, unsafe[i]);
    window.MyStree1_LabelClick(i + 1);
    ProMod::OpenWithShell(unsafe[i]);
  }
  EXPECT_TRUE(opened_.isEmpty()) << opened_.join(' ').toStdString();
  ExpectNoFilesLeft();
}

TEST_F(OnlineListsTest, WithoutAMaterialServerNothingIsFetchedAndNoAddressIsNamed) {
  VELMO_REQUIRE_AUDIO_MEDIA();
  online::SetMaterialServer(QString());
  AddRecording("", "lesson.mp3");  // no material file: the message names the web site
  MainForm& f = Open();
  QTest::qWait(100);
  EXPECT_FALSE(f.FetchingOnline());
  EXPECT_EQ(server_.Connections(), 0);
  EXPECT_EQ(f.LinkAddresses(), QStringList{QString()});
  EXPECT_TRUE(f.UrlImage(0)->toolTip().isEmpty());
  QTest::mouseClick(f.UrlImage(0), Qt::LeftButton);
  EXPECT_TRUE(opened_.isEmpty());
  ChooseRecording(1);
  ASSERT_EQ(msgs_.Count(), 1);
  EXPECT_FALSE(msgs_.Last().text.contains("://"));
  EXPECT_TRUE(msgs_.Last().text.endsWith(QStringLiteral("更多的音频资料请访问<Velmo女孩>网站。")));
  EXPECT_FALSE(f.HelpMessage().contains("://"));
  // A build setting that is no web address counts as none.
  online::SetMaterialServer("file:///srv/materials");
  EXPECT_TRUE(online::MaterialServer().isEmpty());
  online::SetMaterialServer("https://materials.test/base/");
  EXPECT_EQ(online::ServerAddress(online::kNewMaterialsPath), "https://materials.test/base/softvoice/NewVoice.txt");
}

}  // namespace
}  // namespace app_test
