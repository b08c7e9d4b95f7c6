// The library folder listing and the message box service.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "core/library_scan.h"
#include "core/message_service.h"
#include "platform/app_paths.h"
#include "platform/plain_message.h"
#include "tests/common/msgbox_recorder.h"
#include "tests/common/temp_folder.h"

using namespace ProMod;

namespace {
class LibraryTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetApplicationFolder(app.Path()); }
  void TearDown() override { platform::SetApplicationFolder(QString()); }
  TempFolder app;
};
}  // namespace

TEST_F(LibraryTest, CreatesTheRootAndListsCategoriesAndRecordings) {
  EXPECT_EQ(CategoryList(), QStringList{QStringLiteral("语音主目录")});
  EXPECT_TRUE(EnsureLibraryRoot());
  EXPECT_TRUE(QFileInfo(app.File("语音")).isDir());
  for (const char* dir : {"语音/英语", "语音/B dialogues", "语音/a", "语音/a/deeper"}) app.MakeDir(QString::fromUtf8(dir));
  for (const char* file : {"语音/x.mp3", "语音/y.MP3", "语音/a/a.MP3", "语音/a/b.Mp3", "语音/a/c.mp3.qvl", "语音/a/d.wav",
                           "语音/a/e.mp3x", "语音/a/.hidden.mp3"})
    app.Write(QString::fromUtf8(file), "x");
  app.MakeDir(QStringLiteral("语音/a/folder.mp3"));

  EXPECT_EQ(CategoryList(), (QStringList{"语音主目录", "a", "B dialogues", "英语"}));
  EXPECT_EQ(ListFolder(FolderForCategory(0, QString()), false), QStringLiteral("x.mp3<KVQENTER>y.MP3"));
  EXPECT_EQ(FolderForCategory(1, QStringLiteral("a")), app.File("语音/a/"));
  EXPECT_EQ(ListFolder(FolderForCategory(1, QStringLiteral("a")), false), QStringLiteral("a.MP3<KVQENTER>b.Mp3"));
  EXPECT_EQ(ListFolder(app.File("语音"), true), QStringLiteral("a\r\nB dialogues\r\n英语"));
  EXPECT_EQ(ListFolder(app.File("语音/英语"), false), QString());
}

TEST_F(LibraryTest, BrokenLibrariesGiveEmptyLists) {
  // A root that is a file: not replaced, nothing listed.
  app.Write(QStringLiteral("语音"), "not a folder");
  EXPECT_FALSE(EnsureLibraryRoot());
  EXPECT_EQ(app.Read(QStringLiteral("语音")), QByteArray("not a folder"));
  EXPECT_EQ(CategoryList(), QStringList{QStringLiteral("语音主目录")});
  EXPECT_EQ(ListFolder(app.File("语音/"), false), QString());
  // A category removed while running, or never there.
  EXPECT_EQ(ListFolder(app.File("gone/"), false), QString());
  EXPECT_EQ(ListFolder(QString(), true), QString());
}

TEST_F(LibraryTest, UnreadableCategoryGivesEmptyList) {
  // Categories no one can list, root included: a symbolic link to itself,
  // a name that now belongs to a file, a path through a file.
  ASSERT_TRUE(EnsureLibraryRoot());
  ASSERT_TRUE(QFile::link(QStringLiteral("loop"), app.File("语音/loop")));
  app.Write(QStringLiteral("语音/was a folder"), "x");
  EXPECT_EQ(ListFolder(app.File("语音/loop/"), false), QString());
  EXPECT_EQ(ListFolder(app.File("语音/loop/"), true), QString());
  EXPECT_EQ(ListFolder(app.File("语音/was a folder/"), false), QString());
  EXPECT_EQ(ListFolder(app.File("语音/was a folder/deeper/"), true), QString());
  // Neither is offered as a category.
  EXPECT_EQ(CategoryList(), QStringList{kRootEntryCaption});

  // A folder without read permission lists nothing either, where the
  // permission holds (root reads every folder).
  app.MakeDir(QStringLiteral("语音/locked"));
  app.Write(QStringLiteral("语音/locked/a.mp3"), "x");
  QFile::setPermissions(app.File("语音/locked"), QFileDevice::Permissions());
  const bool denied = !QFileInfo(app.File("语音/locked")).isReadable();
  const QString listed = ListFolder(app.File("语音/locked/"), false);
  QFile::setPermissions(app.File("语音/locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  if (denied) {
    EXPECT_EQ(listed, QString());
  }
}

TEST(ShowMsgBox, ContractOfTheService) {
  MsgBoxRecorder boxes;
  int beeps = 0;
  platform::SetBeepHandler([&beeps] { ++beeps; });

  QString text = QStringLiteral("第一行\r\n第二行");
  int32_t style = 1;
  QString title;
  int16_t icon = 7;
  EXPECT_EQ(ShowMsgBox(text, style, title, icon), 1);
  EXPECT_EQ(icon, 0) << "the corrected icon is written back";
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Velmo复读机"));
  EXPECT_EQ(boxes.Last().text, text);
  EXPECT_FALSE(boxes.Last().twoButtons);
  EXPECT_EQ(boxes.Last().icon, 0);

  icon = -1;
  style = 2;
  title = QStringLiteral("提示");
  boxes.QueueAnswer(0);
  EXPECT_EQ(ShowMsgBox(text, style, title, icon), 0);
  EXPECT_EQ(icon, 0);
  EXPECT_TRUE(boxes.Last().twoButtons);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("提示"));

  // Any style other than 1 has two buttons; answers other than 1 are 0.
  boxes.QueueAnswer(5);
  EXPECT_EQ(ShowMsgBox(QStringLiteral("x"), 0, QString(), kIconStop), 0);
  EXPECT_TRUE(boxes.Last().twoButtons);
  EXPECT_EQ(boxes.Last().icon, kIconStop);
  EXPECT_EQ(beeps, 3);
  platform::SetBeepHandler([] {});
}
