// The sentence line writer and reader agree: whatever a learner types as a
// text or remark, the line reads back as the same times, text and remark,
// and never splits the material file.
#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QString>

#include "core/material_store.h"
#include "core/recording.h"
#include "core/time_text.h"
#include "tests/common/temp_folder.h"

namespace {

// Pieces that are dangerous inside a line, mixed with ordinary text.
QString RandomText(QRandomGenerator& random) {
  static const QString pieces[] = {
      QStringLiteral("["), QStringLiteral("]"), QStringLiteral("[0:00:01.000]"), QStringLiteral("<KVQENTER>"),
      QStringLiteral("<kvqenter>"), QStringLiteral("</KVQTABBASEDATA>"), QStringLiteral("<KVQTABEXEDATA>"),
      QStringLiteral(" "), QStringLiteral("\r\n"), QStringLiteral("Hello"), QStringLiteral("你好"),
      QStringLiteral("a<b"), QStringLiteral("\t"), QStringLiteral("𠀀"), QStringLiteral("x]y[z")};
  QString text;
  const int n = random.bounded(0, 8);
  for (int i = 0; i < n; ++i) text += pieces[random.bounded(int(std::size(pieces)))];
  return text;
}

TEST(SentenceLine, FormatThenParseGivesTheRecordBack) {
  ProMod::TotalLength = 10 * 3600 * 1000;
  QRandomGenerator random(20261209);
  for (int round = 0; round < 3000; ++round) {
    SentenceRecord r;
    r.Start = random.bounded(0, 9 * 3600 * 1000);
    r.End = r.Start + random.bounded(1100, 600000);  // an end within 60 ms reads as no end
    r.Text = RandomText(random);
    r.Remark = RandomText(random);
    const QString line = ProMod::FormatSentenceLine(r);
    SCOPED_TRACE(line.toStdString());
    // The table builder sees the line between separators, trimmed.
    const SentenceRecord back = ProMod::ParseSentenceLine(ProMod::TrimSentenceText(line), 2);
    // Time text holds at most .994 of a second; times are read back as the
    // text says.
    EXPECT_EQ(back.Start, SoundMod::ParseTime(SoundMod::FormatTime(r.Start)));
    EXPECT_EQ(back.End, SoundMod::ParseTime(SoundMod::FormatTime(r.End)));
    if (r.Start % 1000 <= 994) {
      EXPECT_EQ(back.Start, r.Start);
    }
    EXPECT_EQ(back.Text, ProMod::TrimSentenceText(ProMod::StorableText(r.Text)));
    EXPECT_EQ(back.Remark, ProMod::TrimSentenceText(ProMod::StorableText(r.Remark)));
    EXPECT_FALSE(line.contains(ProMod::kEnter, Qt::CaseInsensitive));
    EXPECT_EQ(line.count(QLatin1Char('[')), 2);
    EXPECT_EQ(line.count(QLatin1Char(']')), 2);
    if (HasFailure()) break;
  }
}

TEST(SentenceLine, PlainTextsAreWrittenAsTheyAre) {
  EXPECT_EQ(ProMod::FormatSentenceLine(3120, QStringLiteral("Good morning."), 5994, QStringLiteral("早上好")),
            QStringLiteral("[0:00:03.120]Good morning.[0:00:05.994]早上好"));
  EXPECT_EQ(ProMod::StorableText(QStringLiteral("[注意]<KVQENTER>")), QStringLiteral("［注意］＜KVQENTER>"));
}

TEST(ChooseRecording, AVanishedRecordingChangesNothing) {
  TempFolder folder;
  ProMod::ResetStore();
  ProMod::CurrentAudioPath = QStringLiteral("/kept.mp3");
  ProMod::CurrentMaterialPath = QStringLiteral("/kept.mp3.qvl");
  ProMod::BaseData = QStringLiteral("[0:00:01.000]kept[0:00:02.000]");
  ProMod::BuildSentenceTable();
  EXPECT_FALSE(ProMod::ChooseRecording(folder.File(QStringLiteral("gone.mp3"))));
  EXPECT_EQ(ProMod::CurrentAudioPath, QStringLiteral("/kept.mp3"));
  EXPECT_EQ(ProMod::CurrentMaterialPath, QStringLiteral("/kept.mp3.qvl"));
  EXPECT_EQ(ProMod::Sentences.Count(), 1);
  ProMod::ResetStore();
}

}  // namespace
