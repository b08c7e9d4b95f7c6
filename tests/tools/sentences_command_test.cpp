// velmo-tool sentences: the table as the main window builds it, as JSON lines.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include "core/audio_player.h"
#include "core/material_store.h"
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

ToolRun Sentences(const QStringList& args) {
  MsgBoxRecorder boxes;
  QString out, err;
  QTextStream outStream(&out), errStream(&err);
  ToolRun run;
  run.status = velmo_tool::RunSentences(args, outStream, errStream);
  outStream.flush();
  errStream.flush();
  run.lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  run.err = err;
  SoundMod::CloseAudio();
  ProMod::ResetStore();
  return run;
}

QJsonObject Json(const QString& line) { return QJsonDocument::fromJson(line.toUtf8()).object(); }
}  // namespace

TEST(SentencesCommand, PrintsLengthThenOneObjectPerSentence) {
  if (!audio_test::HaveMedia()) GTEST_SKIP() << "no test media";
  TempFolder folder;
  const QString audio = folder.File("第1课 \"quoted\" lesson.mp3");
  ASSERT_TRUE(QFile::copy(audio_test::MediaPath("mono22.mp3"), audio));
  ProMod::CurrentMaterialPath = audio + ".qvl";
  ProMod::BaseData = QStringLiteral(
      "[0:00:00.500]Good morning.[0:00:01.250]早上好\r\n\"第二行\"<KVQENTER>Untimed line<KVQENTER><KVQENTER>"
      "[0:00:01.300]Last.");
  ASSERT_TRUE(ProMod::SaveMaterialFile());
  ProMod::ResetStore();

  const ToolRun run = Sentences({audio});
  ASSERT_EQ(run.status, 0) << run.err.toStdString();
  ASSERT_EQ(run.lines.size(), 4);
  EXPECT_TRUE(run.lines[0].startsWith("{\"length\":"));
  const int length = Json(run.lines[0])["length"].toInt();
  EXPECT_GT(length, 1000);

  const QJsonObject first = Json(run.lines[1]);
  EXPECT_EQ(first["index"].toInt(), 2);
  EXPECT_EQ(first["start"].toInt(), 500);
  EXPECT_EQ(first["end"].toInt(), 1250);
  EXPECT_EQ(first["startText"].toString(), "0:00:00.500");
  EXPECT_EQ(first["endText"].toString(), "0:00:01.250");
  EXPECT_EQ(first["text"].toString(), "Good morning.");
  EXPECT_EQ(first["remark"].toString(), QStringLiteral("早上好\r\n\"第二行\""));
  EXPECT_TRUE(run.lines[1].startsWith("{\"index\":2,\"start\":500,\"end\":1250,\"startText\""))
      << "keys keep their order";

  const QJsonObject untimed = Json(run.lines[2]);
  EXPECT_EQ(untimed["index"].toInt(), 3);
  EXPECT_EQ(untimed["start"].toInt(), 0);
  EXPECT_EQ(untimed["end"].toInt(), length) << "an untimed line spans the recording";
  EXPECT_EQ(Json(run.lines[3])["index"].toInt(), 4) << "empty pieces take no index";
  EXPECT_EQ(Json(run.lines[3])["end"].toInt(), length);
}

TEST(SentencesCommand, RecordingWithoutMaterialPrintsOnlyTheLength) {
  if (!audio_test::HaveMedia()) GTEST_SKIP() << "no test media";
  const ToolRun run = Sentences({audio_test::MediaPath("cbr_stereo.mp3")});
  EXPECT_EQ(run.status, 0);
  ASSERT_EQ(run.lines.size(), 1);
  EXPECT_GT(Json(run.lines[0])["length"].toInt(), 0);
}

TEST(SentencesCommand, ErrorsGoToStandardErrorWithNonZeroStatus) {
  TempFolder folder;
  ToolRun run = Sentences({folder.File("missing.mp3")});
  EXPECT_NE(run.status, 0);
  EXPECT_TRUE(run.lines.isEmpty());
  EXPECT_FALSE(run.err.isEmpty());

  folder.Write("noise.mp3", QByteArray(4000, '\x5a'));
  run = Sentences({folder.File("noise.mp3")});
  EXPECT_NE(run.status, 0);
  EXPECT_TRUE(run.lines.isEmpty());

  if (audio_test::HaveMedia()) {
    ASSERT_TRUE(QFile::copy(audio_test::MediaPath("mono22.mp3"), folder.File("a.mp3")));
    ASSERT_TRUE(folder.MakeDir("a.mp3.qvl"));  // a folder where the material file should be
    run = Sentences({folder.File("a.mp3")});
    EXPECT_NE(run.status, 0);
    EXPECT_TRUE(run.err.contains("material"));
  }

  run = Sentences({});
  EXPECT_EQ(run.status, 2);
}
