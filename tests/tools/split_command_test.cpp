// velmo-tool split on recordings made from speech: the proposed table as
// JSON lines, and --write into a material file with other sections.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include "core/audio_player.h"
#include "core/material_store.h"
#include "core/text_codec.h"
#include "tests/common/msgbox_recorder.h"
#include "tests/common/temp_folder.h"
#include "tests/core/spoken_lesson.h"
#include "tools/commands.h"

namespace {

struct ToolRun {
  int status = 0;
  QStringList lines;
  QString err;
};

ToolRun Split(const QStringList& args) {
  MsgBoxRecorder boxes(0);
  QString out, err;
  QTextStream outStream(&out), errStream(&err);
  ToolRun run;
  run.status = velmo_tool::RunSplit(args, outStream, errStream);
  outStream.flush();
  errStream.flush();
  run.lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  run.err = err;
  SoundMod::CloseAudio();
  ProMod::ResetStore();
  return run;
}

QJsonObject Json(const QString& line) { return QJsonDocument::fromJson(line.toUtf8()).object(); }

// A spoken lesson with a material file holding settings, an old sentence
// and a practice record; peaks are cached in a folder of the test's own.
class SplitCommandTest : public ::testing::Test {
 protected:
  static constexpr const char* kSet = "<KVQTABSETDATA>speed=1\r\n</KVQTABSETDATA>";
  static constexpr const char* kExe =
      "<KVQTABEXEDATA>2026-12-01<KvqExeEnter>3<KvqExeEnter>typed 练习<KVQENTER></KVQTABEXEDATA>";

  void SetUp() override {
    oldCache_ = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", cache_.Path().toUtf8());
    lesson_ = MakeSpokenLesson(spoken::Sentences().mid(0, 4), {300, 250, 1000, 600}, -20.0);
    audio_ = folder_.File("第2课.mp3");
    ASSERT_TRUE(WriteLessonMp3(lesson_, audio_));
    material_ = ProMod::EncodeAnsi(QString::fromUtf8(kSet) +
                                   "<KVQTABBASEDATA>[0:00:00.100]Old one[0:00:00.500]</KVQTABBASEDATA>" +
                                   QString::fromUtf8(kExe) + "\r\n");
    folder_.Write("第2课.mp3.qvl", material_);
  }
  void TearDown() override { qputenv("XDG_CACHE_HOME", oldCache_); }
  QByteArray Material() const { return folder_.Read("第2课.mp3.qvl"); }

  TempFolder cache_, folder_;
  QByteArray oldCache_, material_;
  SpokenLesson lesson_;
  QString audio_;
};

}  // namespace

TEST_F(SplitCommandTest, PrintsTheProposalAndWritesOnlyTheSentenceSection) {
  ToolRun run = Split({audio_});
  ASSERT_EQ(run.status, 0) << run.err.toStdString();
  ASSERT_EQ(run.lines.size(), 5);
  EXPECT_NEAR(Json(run.lines[0])["length"].toInt(), lesson_.pcm.size() * 1000 / lesson_.rate, 2);
  for (int k = 0; k < 4; ++k) {
    const QJsonObject s = Json(run.lines[k + 1]);
    EXPECT_EQ(s["index"].toInt(), k + 1);
    EXPECT_EQ(s["text"].toString(), QStringLiteral("第%1句").arg(k + 1));
    EXPECT_LE(s["start"].toInt(), lesson_.truth[k].start + 30);
    EXPECT_GE(s["end"].toInt(), lesson_.truth[k].end - 30);
    EXPECT_EQ(s["startText"].toString(), SoundMod::FormatTime(s["start"].toInt()));
  }
  EXPECT_EQ(Material(), material_) << "without --write nothing is written";

  const ToolRun written = Split({"--write", audio_});
  ASSERT_EQ(written.status, 0) << written.err.toStdString();
  EXPECT_EQ(written.lines, run.lines);
  QString base;
  for (int k = 1; k <= 4; ++k) {
    const QJsonObject s = Json(run.lines[k]);
    base += ProMod::FormatSentenceLine(s["start"].toInt(), s["text"].toString(), s["end"].toInt()) + ProMod::kEnter;
  }
  EXPECT_EQ(ProMod::DecodeAnsi(Material()), QString::fromUtf8(kSet) + "<KVQTABBASEDATA>" + base +
                                                "</KVQTABBASEDATA>" + QString::fromUtf8(kExe) + "\r\n");
  // What the main window then reads back.
  run = [&] {
    MsgBoxRecorder boxes(0);
    QString out, err;
    QTextStream o(&out), e(&err);
    ToolRun r;
    r.status = velmo_tool::RunSentences({audio_}, o, e);
    o.flush();
    r.lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    SoundMod::CloseAudio();
    ProMod::ResetStore();
    return r;
  }();
  ASSERT_EQ(run.lines.size(), 5);
  EXPECT_EQ(Json(run.lines[4])["text"].toString(), QStringLiteral("第4句"));
}

TEST_F(SplitCommandTest, ALongerLeastPauseJoinsSentences) {
  const ToolRun run = Split({audio_, "--min-pause", "700"});
  ASSERT_EQ(run.status, 0) << run.err.toStdString();
  ASSERT_EQ(run.lines.size(), 3) << "the 300 and 250 ms pauses no longer count";
  EXPECT_GE(Json(run.lines[1])["end"].toInt(), lesson_.truth[1].end - 30);
}

TEST_F(SplitCommandTest, NothingIsWrittenOnAnyError) {
  // Half a minute of one tone: nothing to propose.
  SpokenLesson tone;
  tone.pcm.resize(22050 * 30);
  for (size_t i = 0; i < tone.pcm.size(); ++i) tone.pcm[i] = static_cast<int16_t>(8000 * std::sin(i * 0.05));
  ASSERT_TRUE(WriteLessonMp3(tone, folder_.File("tone.mp3")));
  folder_.Write("tone.mp3.qvl", material_);
  SpokenLesson silence;
  silence.pcm.resize(22050 * 5);
  ASSERT_TRUE(WriteLessonMp3(silence, folder_.File("silence.mp3")));
  folder_.Write("junk.mp3", QByteArray(4000, '\x5a'));

  struct Case {
    QStringList args;
    int status;
    const char* says;
  } cases[] = {
      {{folder_.File("tone.mp3"), "--write"}, 1, "no pauses"},
      {{folder_.File("silence.mp3"), "--write"}, 1, "no pauses"},
      {{folder_.File("junk.mp3"), "--write"}, 1, "cannot be decoded"},
      {{folder_.File("missing.mp3"), "--write"}, 1, "no such recording"},
      {{audio_, "--min-pause"}, 2, "usage"},
      {{audio_, "--min-pause", "0"}, 2, "usage"},
      {{audio_, "--min-pause", "25x"}, 2, "usage"},
      {{audio_, audio_}, 2, "usage"},
      {{}, 2, "usage"},
  };
  for (const Case& c : cases) {
    const ToolRun run = Split(c.args);
    EXPECT_EQ(run.status, c.status) << c.args.join(' ').toStdString();
    EXPECT_TRUE(run.lines.isEmpty()) << c.args.join(' ').toStdString();
    EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.says))) << run.err.toStdString();
  }
  EXPECT_EQ(Material(), material_);
  EXPECT_EQ(folder_.Read("tone.mp3.qvl"), material_);
}
