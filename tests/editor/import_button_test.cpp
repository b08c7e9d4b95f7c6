// "导入LRC" with a real file: the working table and the list are replaced,
// nothing is chosen or played anew, a current sentence beyond the new table
// is cleared; a file without usable lines is refused with its reason.
// Needs the subtitle import of the editor library (skipped without it).
#include "editor/subtitle_import.h"
#include "tests/editor/editor_fixture.h"

namespace editor_test {
namespace {

class ImportButtonTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    SetStree::SetSubtitleFileChooser([this](QWidget*) { return file_; });
  }
  void Choose(const QString& name, const QByteArray& bytes) {
    ASSERT_TRUE(folder_.Write(name, bytes));
    file_ = folder_.File(name);
  }
  TempFolder folder_;
  QString file_;
};

TEST_F(ImportButtonTest, ReplacesTheTableAndClearsACurrentSentenceBeyondIt) {
  EvenLesson(4);
  SetStree& e = Open();
  ClickItem(3);
  Choose("song.lrc", "[ti:Song]\r\n[00:01.00]Hello\r\n[00:03.00]World\r\n");
  Click(e.VsNetButton(5));
  EXPECT_TRUE(msgs_.Shown().empty());
  ASSERT_EQ(e.Count(), 2);
  EXPECT_EQ(e.Entry(1).Text, "Hello");
  EXPECT_EQ(e.Entry(1).Start, 1000);
  EXPECT_EQ(e.Entry(1).End, 3000);
  EXPECT_EQ(e.Entry(2).End, 100000);
  EXPECT_EQ(e.MyStree1()->LabelCount(), 2);
  EXPECT_EQ(e.MyStree1()->ItemStr(2), "World");
  EXPECT_EQ(e.CurrentSentence(), 0);
  EXPECT_TRUE(OverlayShown());
  EXPECT_EQ(e.Label4()->text(), "选择句子进行设置");
  EXPECT_FALSE(e.Timer1()->isActive());
  EXPECT_TRUE(e.HasUnsavedChanges());
  EXPECT_EQ(ProMod::BaseData.count(ProMod::kEnter), 3);  // the store keeps the old table until saving
  Click(e.VsNetButton(1));
  EXPECT_EQ(ProMod::BaseData, "[0:00:01.000]Hello[0:00:03.000]<KVQENTER>[0:00:03.000]World[0:01:40.000]");
}

TEST_F(ImportButtonTest, ACurrentSentenceInsideTheNewTableStays) {
  EvenLesson(4);
  SetStree& e = Open();
  ClickItem(1);
  Choose("two.lrc", "[00:01.00]Hello\r\n[00:03.00]World\r\n");
  Click(e.VsNetButton(5));
  EXPECT_EQ(e.Count(), 2);
  EXPECT_EQ(e.CurrentSentence(), 1);
  EXPECT_FALSE(OverlayShown());
}

TEST_F(ImportButtonTest, AFileWithoutSentencesIsRefusedWithItsReason) {
  EvenLesson(2);
  SetStree& e = Open();
  Choose("tags.lrc", "[ti:Song]\r\n[00:01.00]\r\n");
  const QString reason = ImportSubtitleFile(file_, ProMod::TotalLength).failure;
  ASSERT_FALSE(reason.isEmpty());
  Click(e.VsNetButton(5));
  ASSERT_EQ(msgs_.Count(), 1);
  EXPECT_EQ(msgs_.Last().text, reason);
  EXPECT_EQ(msgs_.Last().title, "读取失败");
  EXPECT_EQ(msgs_.Last().icon, ProMod::kIconStop);
  EXPECT_FALSE(msgs_.Last().twoButtons);
  EXPECT_EQ(e.Count(), 2);
  EXPECT_FALSE(e.HasUnsavedChanges());
}

}  // namespace
}  // namespace editor_test
