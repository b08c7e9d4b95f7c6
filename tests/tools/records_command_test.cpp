// velmo-tool records: the practice history as the browser orders it, as JSON lines.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include "core/audio_player.h"
#include "core/material_store.h"
#include "tests/common/msgbox_recorder.h"
#include "tests/common/qt_print.h"
#include "tests/common/temp_folder.h"
#include "tests/core/audio_test_media.h"
#include "tools/commands.h"

namespace {
struct ToolRun {
  int status = 0;
  QStringList lines;
  QString err;
};

ToolRun Records(const QStringList& args) {
  MsgBoxRecorder boxes;
  QString out, err;
  QTextStream outStream(&out), errStream(&err);
  ToolRun run;
  run.status = velmo_tool::RunRecords(args, outStream, errStream);
  outStream.flush();
  errStream.flush();
  run.lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  run.err = err;
  SoundMod::CloseAudio();
  ProMod::ResetStore();
  return run;
}

QJsonObject Json(const QString& line) { return QJsonDocument::fromJson(line.toUtf8()).object(); }

TEST(RecordsCommand, PrintsTheRecordsNewestDayFirstOnePerLine) {
  if (!audio_test::HaveMedia()) GTEST_SKIP() << "no test media";
  TempFolder folder;
  const QString audio = folder.File("第1课.mp3");
  ASSERT_TRUE(QFile::copy(audio_test::MediaPath("mono22.mp3"), audio));
  ProMod::CurrentMaterialPath = audio + ".qvl";
  ProMod::BaseData = QStringLiteral("[0:00:00.500]Good morning.[0:00:01.500]");
  ProMod::ExeData = QStringLiteral(
      "[0:00:00.500]Good morning.[0:00:01.500]good mornin<KvqExeEnter>\"拼写\"<KvqExeEnter>2026/3/5<KVQENTER>"
      "junk<KVQENTER>"
      "[0:00:02.000]Two.[0:00:03.000]tow\r\nline<KvqExeEnter><KvqExeEnter>2026年3月7日<KVQENTER>"
      "[0:00:00.500]Good morning.[0:00:01.500]good morning<KvqExeEnter><KvqExeEnter>2026-03-05<KVQENTER>"
      "Untimed.<KvqExeEnter><KvqExeEnter>2026.3.6<KVQENTER>");
  ASSERT_TRUE(ProMod::SaveMaterialFile());
  ProMod::ResetStore();

  const ToolRun run = Records({audio});
  ASSERT_EQ(run.status, 0) << run.err.toStdString();
  ASSERT_EQ(run.lines.size(), 4);
  EXPECT_EQ(run.lines[0],
            QStringLiteral("{\"date\":\"2026-03-07\",\"start\":2000,\"end\":3000,\"text\":\"Two.\","
                           "\"typed\":\"tow\\r\\nline\",\"remark\":\"\"}"));
  const QJsonObject untimed = Json(run.lines[1]);
  EXPECT_EQ(untimed["date"].toString(), "2026-03-06");
  EXPECT_EQ(untimed["start"].toInt(), 0);
  EXPECT_GT(untimed["end"].toInt(), 5000) << "a record without times spans the recording";
  EXPECT_EQ(untimed["text"].toString(), "Untimed.");
  EXPECT_EQ(Json(run.lines[2])["typed"].toString(), "good morning") << "a later save of the same day first";
  EXPECT_EQ(Json(run.lines[3])["remark"].toString(), QStringLiteral("\"拼写\""));
  EXPECT_TRUE(run.err.contains("1 piece")) << run.err.toStdString();
}

TEST(RecordsCommand, ARecordingWithoutMaterialPrintsNothing) {
  if (!audio_test::HaveMedia()) GTEST_SKIP() << "no test media";
  TempFolder folder;
  const QString audio = folder.File("plain.mp3");
  ASSERT_TRUE(QFile::copy(audio_test::MediaPath("mono22.mp3"), audio));
  const ToolRun run = Records({audio});
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(run.lines.isEmpty());
  EXPECT_TRUE(run.err.isEmpty());
}

TEST(RecordsCommand, ErrorsGoToStandardErrorWithAStatus) {
  EXPECT_EQ(Records({}).status, 2);
  const ToolRun missing = Records({"/no/such/recording.mp3"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(missing.lines.isEmpty());
  EXPECT_TRUE(missing.err.contains("no such recording"));
  if (!audio_test::HaveMedia()) return;
  const ToolRun bad = Records({audio_test::MediaPath("random.mp3")});
  EXPECT_EQ(bad.status, 1);
  EXPECT_TRUE(bad.err.contains("cannot be decoded")) << bad.err.toStdString();
}

}  // namespace
