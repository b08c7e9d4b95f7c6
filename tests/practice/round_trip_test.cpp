// A dictation saved, browsed, pruned and annotated, through the material file.
#include <QCheckBox>

#include "controls/text_box.h"
#include "practice/exe_find_form.h"
#include "practice/exe_form.h"
#include "tests/common/qt_print.h"
#include "tests/practice/practice_fixture.h"

namespace practice_test {
namespace {

// The file's text between a section's tags.
QByteArray SectionBytes(const QByteArray& file, const QByteArray& open, const QByteArray& close) {
  const qsizetype from = file.indexOf(open);
  const qsizetype to = file.indexOf(close, from);
  return (from < 0 || to < 0) ? QByteArray() : file.mid(from, to + close.size() - from);
}

class RoundTrip : public PracticeTest {};

TEST_F(RoundTrip, DictationRecordsBrowserDeleteRemarkReopen) {
  VELMO_REQUIRE_AUDIO_MEDIA();
  const QString audio = OpenRecording(ThreeSentences().join(ProMod::kEnter), QString(),
                                      QStringLiteral("Colour=255\r\n备注=设置"));
  const QString material = ProMod::MaterialPathFor(audio);
  const QByteArray before = ReadBytes(material);

  // A dictation of the three sentences, in the order 4, 2, 3.
  PickIndices({4, 2, 3}, 4);
  {
    ExeForm dictation;
    dictation.show();
    const QString typed[] = {QStringLiteral("listen to each sentence"), QStringLiteral("good morning"),
                             QStringLiteral("this is lessen one")};
    for (int k = 1; k <= 3; ++k) {
      dictation.Text1()->setText(typed[k - 1]);
      dictation.VsNetBut2_Click(1);
    }
    msgs_.QueueAnswer(1);
    dictation.close();
    ASSERT_TRUE(dictation.property("EidtIsSave").toBool());
  }
  SaveAndReload(audio);
  const PracticeRecords::Section saved = PracticeRecords::ReadSection(ProMod::ExeData);
  ASSERT_EQ(saved.records.size(), 3u) << "the material file holds three records";
  EXPECT_EQ(saved.records[0].sentence, QStringLiteral("Listen to each sentence."));
  EXPECT_EQ(saved.records[2].typed, QStringLiteral("this is lessen one"));

  // The browser: delete one, save a remark on another.
  {
    ExeFindForm browser;
    ASSERT_EQ(browser.Records().size(), 3u);
    EXPECT_EQ(browser.Records()[0].sentence, QStringLiteral("This is lesson one.")) << "the last saved first";
    browser.MyStree1_LabelClick(2);  // Good morning.
    msgs_.QueueAnswer(1);
    browser.VsNetBut4_Click();
    ASSERT_EQ(browser.Records().size(), 2u);
    browser.MyStree1_LabelClick(1);  // This is lesson one.
    browser.QelTextMu2()->setText(QStringLiteral("lesson 不是 lessen"));
    browser.VsNetBut8_Click();
    browser.close();
    ASSERT_TRUE(browser.property("EidtIsSave").toBool());
  }
  SaveAndReload(audio);

  // Reopened: two records, the remark kept. The browser wrote them newest
  // first, and reading a day back puts the later one in the section first.
  ExeFindForm reopened;
  ASSERT_EQ(reopened.Records().size(), 2u);
  EXPECT_EQ(reopened.Records()[0].sentence, QStringLiteral("Listen to each sentence."));
  EXPECT_EQ(reopened.Records()[0].typed, QStringLiteral("listen to each sentence"));
  EXPECT_EQ(reopened.Records()[1].sentence, QStringLiteral("This is lesson one."));
  EXPECT_EQ(reopened.Records()[1].remark, QStringLiteral("lesson 不是 lessen"));
  EXPECT_EQ(reopened.Records()[1].date, today_);
  EXPECT_TRUE(reopened.KeptPieces().isEmpty());

  // The other sections of the file are byte for byte what they were.
  const QByteArray after = ReadBytes(material);
  EXPECT_EQ(SectionBytes(after, "<KVQTABSETDATA>", "</KVQTABSETDATA>"),
            SectionBytes(before, "<KVQTABSETDATA>", "</KVQTABSETDATA>"));
  EXPECT_EQ(SectionBytes(after, "<KVQTABBASEDATA>", "</KVQTABBASEDATA>"),
            SectionBytes(before, "<KVQTABBASEDATA>", "</KVQTABBASEDATA>"));
  EXPECT_FALSE(SectionBytes(before, "<KVQTABBASEDATA>", "</KVQTABBASEDATA>").isEmpty());
  EXPECT_TRUE(after.startsWith(SectionBytes(before, "<KVQTABSETDATA>", "</KVQTABSETDATA>") +
                               SectionBytes(before, "<KVQTABBASEDATA>", "</KVQTABBASEDATA>") + "<KVQTABEXEDATA>"));
  EXPECT_TRUE(after.endsWith("</KVQTABEXEDATA>\r\n"));
}

}  // namespace
}  // namespace practice_test
