// velmo-tool import: the imported table as JSON lines, and --write on a copy
// of a lesson.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include "core/audio_player.h"
#include "core/material_store.h"
#include "core/text_codec.h"
#include "tests/common/msgbox_recorder.h"
#include "tests/common/temp_folder.h"
#include "tests/core/audio_test_media.h"
#include "tools/commands.h"

namespace {
struct ToolRun {
  int status = 0;
  QStringList lines;
  QString err;
};

ToolRun RunTool(int (*command)(const QStringList&, QTextStream&, QTextStream&), const QStringList& args) {
  MsgBoxRecorder boxes(0);
  QString out, err;
  QTextStream outStream(&out), errStream(&err);
  ToolRun run;
  run.status = command(args, outStream, errStream);
  outStream.flush();
  errStream.flush();
  run.lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  run.err = err;
  for (const ProMod::MsgBoxRequest& box : boxes.Shown()) run.err += box.text;
  SoundMod::CloseAudio();
  ProMod::ResetStore();
  return run;
}
ToolRun Import(const QStringList& args) { return RunTool(velmo_tool::RunImport, args); }

QJsonObject Json(const QString& line) { return QJsonDocument::fromJson(line.toUtf8()).object(); }

// A lesson: the recording, its material file with settings, two sentences
// and a practice record, and an LRC file beside it.
struct Lesson {
  TempFolder folder;
  QString audio, material, lrc;
  QByteArray materialBytes;
  static constexpr const char* kSet = "<KVQTABSETDATA>speed=1\r\n</KVQTABSETDATA>";
  static constexpr const char* kExe =
      "<KVQTABEXEDATA>2026-12-01<KvqExeEnter>3<KvqExeEnter>typed 练习<KVQENTER></KVQTABEXEDATA>";

  Lesson() {
    audio = folder.File("第1课 lesson.mp3");
    material = audio + ".qvl";
    lrc = folder.File("第1课 lesson.lrc");
    if (!audio_test::HaveMedia()) return;
    QFile::copy(audio_test::MediaPath("mono22.mp3"), audio);
    materialBytes = ProMod::EncodeAnsi(QString::fromUtf8(kSet) +
                                       "<KVQTABBASEDATA>[0:00:00.100]Old one[0:00:00.500]<KVQENTER>"
                                       "[0:00:00.600]Old two[0:00:00.900]</KVQTABBASEDATA>" +
                                       QString::fromUtf8(kExe) + "\r\n");
    folder.Write("第1课 lesson.mp3.qvl", materialBytes);
    folder.Write("第1课 lesson.lrc",
                 ProMod::EncodeAnsi("[ti:第一课]\r\n[00:00.20]早上好 [Good] morning\r\n[00:00.80][00:00.50]再见"));
  }
  QByteArray Material() const { return folder.Read("第1课 lesson.mp3.qvl"); }
};
}  // namespace

TEST(ImportCommand, PrintsTheLinesThenTheTableForALength) {
  TempFolder folder;
  folder.Write("a.srt", "1\r\n00:00:01,000 --> 00:00:02,000\r\n<i>Hi</i> \"there\"\r\n");
  const ToolRun run = Import({folder.File("a.srt"), "--length", "1500"});
  ASSERT_EQ(run.status, 0) << run.err.toStdString();
  ASSERT_EQ(run.lines.size(), 2);
  EXPECT_EQ(Json(run.lines[0])["lrc"].toString(), "[0:00:01.000]Hi \"there\"[0:00:01.500]\r\n");
  EXPECT_EQ(run.lines[1],
            "{\"index\":1,\"start\":1000,\"end\":1500,\"startText\":\"0:00:01.000\",\"endText\":\"0:00:01.500\","
            "\"text\":\"Hi \\\"there\\\"\",\"remark\":\"\"}");
}

TEST(ImportCommand, ReadsALessonAndWritesOnlyItsSentenceSection) {
  if (!audio_test::HaveMedia()) GTEST_SKIP() << "no test media";
  Lesson lesson;
  ToolRun run = Import({lesson.lrc, lesson.audio});
  ASSERT_EQ(run.status, 0) << run.err.toStdString();
  ASSERT_EQ(run.lines.size(), 5);
  EXPECT_EQ(Json(run.lines[0])["lrc"].toString(),
            "[0:00:00.000] morning\r\n[0:00:00.200] morning\r\n[0:00:00.500]再见\r\n[0:00:00.800]再见\r\n")
      << "[Good] is a tag at 0 ms with the line's text";
  EXPECT_EQ(lesson.Material(), lesson.materialBytes) << "without --write nothing is written";
  const int length = Json(run.lines[4])["end"].toInt();
  EXPECT_GT(length, 1000);

  run = Import({lesson.lrc, lesson.audio, "--write"});
  ASSERT_EQ(run.status, 0) << run.err.toStdString();
  const QString written = ProMod::DecodeAnsi(lesson.Material());
  const QString base = QStringLiteral(
      "<KVQTABBASEDATA>[0:00:00.000]morning[0:00:00.200]<KVQENTER>[0:00:00.200]morning[0:00:00.500]<KVQENTER>"
      "[0:00:00.500]再见[0:00:00.800]<KVQENTER>[0:00:00.800]再见[%1]<KVQENTER></KVQTABBASEDATA>")
                           .arg(SoundMod::FormatTime(length));
  EXPECT_EQ(written, QString::fromUtf8(Lesson::kSet) + base + QString::fromUtf8(Lesson::kExe) + "\r\n");

  // What the main window then reads back.
  run = RunTool(velmo_tool::RunSentences, {lesson.audio});
  ASSERT_EQ(run.lines.size(), 5);
  EXPECT_EQ(Json(run.lines[3])["text"].toString(), QStringLiteral("再见"));
  EXPECT_EQ(Json(run.lines[3])["end"].toInt(), 800);
}

TEST(ImportCommand, NothingIsWrittenOnAnyError) {
  if (!audio_test::HaveMedia()) GTEST_SKIP() << "no test media";
  Lesson lesson;
  lesson.folder.Write("tags.lrc", "[ti:x]\r\n[00:01.00]\r\n");
  lesson.folder.Write("utf16.lrc", QByteArray("\xFF\xFE[\0", 4));
  lesson.folder.Write("noise.mp3", QByteArray(4000, '\x5a'));

  struct Case {
    QStringList args;
    int status;
    const char* says;
  } cases[] = {
      {{lesson.folder.File("tags.lrc"), lesson.audio, "--write"}, 1, "读取LRC失败，未读到任何有效句！"},
      {{lesson.folder.File("utf16.lrc"), lesson.audio, "--write"}, 1, "UTF-16"},
      {{lesson.folder.File("missing.lrc"), lesson.audio, "--write"}, 1, "no such file"},
      {{lesson.lrc, lesson.folder.File("missing.mp3"), "--write"}, 1, "no such recording"},
      {{lesson.lrc, lesson.folder.File("noise.mp3"), "--write"}, 1, "cannot be decoded"},
      {{lesson.lrc, "--length", "1000", "--write"}, 2, "needs a recording"},
      {{lesson.lrc, "--length", "-5"}, 2, "usage"},
      {{lesson.lrc, "--length", "99999999999"}, 2, "usage"},
      {{lesson.lrc}, 2, "usage"},
  };
  for (const Case& c : cases) {
    const ToolRun run = Import(c.args);
    EXPECT_EQ(run.status, c.status) << c.args.join(' ').toStdString();
    EXPECT_TRUE(run.lines.isEmpty()) << c.args.join(' ').toStdString();
    EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.says))) << run.err.toStdString();
    EXPECT_EQ(lesson.Material(), lesson.materialBytes) << c.args.join(' ').toStdString();
  }
  EXPECT_FALSE(QFile::exists(lesson.folder.File("noise.mp3.qvl")));

  // A material file that cannot be read is not replaced.
  ASSERT_TRUE(QFile::remove(lesson.material));
  ASSERT_TRUE(lesson.folder.MakeDir("第1课 lesson.mp3.qvl"));
  const ToolRun run = Import({lesson.lrc, lesson.audio, "--write"});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.err.contains("material"));
}
