// Material the editor must survive: a huge table, sentences that overlap,
// run backwards or lie beyond the recording, enormous texts, a recording
// that vanishes while the editor is open. Nothing reaches the store or the
// disk before "保 存".
#include <QDir>
#include <QFile>

#include "tests/editor/editor_fixture.h"

namespace editor_test {
namespace {

TEST_F(EditorTest, AHugeTableOpensAndStopsGrowingAtTheListsLimit) {
  SetLength(36'000'000);
  QStringList lines;
  for (int i = 0; i < 32766; ++i) {
    SentenceRecord r;
    r.Start = i * 1000;
    r.End = i * 1000 + 800;
    r.Text = QStringLiteral("s%1").arg(i + 1);
    lines << ProMod::FormatSentenceLine(r);
  }
  ProMod::BaseData = lines.join(ProMod::kEnter);
  ProMod::BuildSentenceTable();
  ASSERT_EQ(ProMod::Sentences.Count(), 32766);
  const QString before = ProMod::BaseData;
  SetStree& e = Open();
  EXPECT_EQ(e.Count(), 32766);
  EXPECT_EQ(e.MyStree1()->LabelCount(), MyStree::kMaxItems);
  ClickItem(1);
  Click(e.VsNetButton(6));
  Click(e.VsNetButton(4));
  EXPECT_EQ(e.Count(), 32766);
  ASSERT_EQ(msgs_.Count(), 2);
  EXPECT_EQ(msgs_.Last().text, "句子数量已达上限，无法再增加句子。");
  EXPECT_EQ(ProMod::BaseData, before);
  Click(e.VsNetButton(1));
  EXPECT_EQ(ProMod::BaseData, before);  // every sentence, also those the list cannot show
}

TEST_F(EditorTest, SentencesBeyondTheRecordingOrBackwardsAreShownInsideIt) {
  SetLength(10000);
  // A table as another writer may leave it: overlapping, backwards, beyond the end.
  ProMod::Sentences.Clear();
  const Line lines[] = {{1000, 6000, "overlaps", ""}, {5000, 3000, "backwards", ""},
                        {12000, 15000, "beyond", ""}, {4000, 4000, "no length", ""},
                        {-50, 20000, "everything", ""}};
  for (const Line& l : lines) {
    SentenceRecord r;
    r.Start = l.start;
    r.End = l.end;
    r.Text = l.text;
    ProMod::Sentences.Append(r);
  }
  SetStree& e = Open();
  ASSERT_EQ(e.Count(), 5);
  for (int i = 1; i <= 5; ++i) {
    ClickItem(i);
    EXPECT_GE(e.QelPBar2()->MinValue(), 0) << i;
    EXPECT_LT(e.QelPBar2()->MinValue(), e.QelPBar2()->MaxValue()) << i;
    EXPECT_LE(e.QelPBar2()->MaxValue(), 10000) << i;
    EXPECT_GE(e.MarkerLeft(0), e.MarkerMinLeft()) << i;
    EXPECT_LE(e.MarkerLeft(1), e.MarkerMaxLeft()) << i;
    for (int k = 0; k < 12; ++k) Click(e.Command1(k));
  }
  ClickItem(3);  // beyond the end: the stored times stay until a marker is let go
  EXPECT_EQ(e.QelPBar2()->MinValue(), 9999);
  DragMarker(0, -100);
  EXPECT_LT(e.Entry(3).Start, e.Entry(3).End);
  EXPECT_LE(e.Entry(3).End, 10000);
  ClickItem(1);
  Click(e.VsNetBut8(15));
  EXPECT_TRUE(plain_.isEmpty());
  EXPECT_TRUE(msgs_.Shown().empty());
  EXPECT_EQ(ProMod::BaseData, "");
}

TEST_F(EditorTest, HugeTextsAreEditedAndSaved) {
  const QString big(100000, QLatin1Char('x'));
  Lesson({{1000, 2000, big, big}});
  SetStree& e = Open();
  ClickItem(1);
  EXPECT_EQ(e.QelText1()->Text().size(), 100000);
  Type(e.QelText1(), "y");
  EXPECT_EQ(e.Entry(1).Text.size(), 100001);
  Click(e.VsNetButton(1));
  EXPECT_TRUE(ProMod::BaseData.contains(big + QLatin1Char('y')));
  EXPECT_EQ(ProMod::BaseData.size(), ProMod::FormatSentenceLine(e.Entry(1)).size());
}

TEST_F(EditorTest, ARecordingThatVanishesWhileOpenLeavesTheEditorWorking) {
  VELMO_REQUIRE_AUDIO_MEDIA();
  TempFolder folder;
  const QString audio = folder.File(QStringLiteral("课文 one.mp3"));
  ASSERT_TRUE(QFile::copy(audio_test::MediaPath("mono22.mp3"), audio));
  SoundMod::SetOutputMode(SoundMod::OutputMode::NullOutput);
  SetLength(SoundMod::OpenAudio(audio));
  ASSERT_GT(ProMod::TotalLength, 0);
  ProMod::CurrentAudioPath = audio;
  ProMod::CurrentMaterialPath = audio + QStringLiteral(".qvl");
  Lesson({{500, 1500, "a", ""}, {2000, 3000, "b", ""}});
  SetStree& e = Open();
  ASSERT_TRUE(QFile::remove(audio));
  ClickItem(2);
  DragMarker(0, 20, 2);
  for (int i = 0; i < 30 && e.Timer1()->isActive(); ++i) QTest::qWait(10);
  Click(e.Command1(9));
  Click(e.VsNetButton(6));
  EXPECT_EQ(e.Count(), 3);
  EXPECT_FALSE(QFile::exists(ProMod::CurrentMaterialPath));  // the editor writes no file
  Click(e.VsNetButton(1));
  EXPECT_FALSE(QFile::exists(ProMod::CurrentMaterialPath));
  EXPECT_EQ(ProMod::BaseData.split(ProMod::kEnter).size(), 3);
  editor_.reset();
  SoundMod::CloseAudio();
  SoundMod::SetOutputMode(SoundMod::OutputMode::Automatic);
}

}  // namespace
}  // namespace editor_test
