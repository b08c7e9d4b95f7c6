// The material file: text file reading and writing, sections, sentence
// lines, the sentence table.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "core/material_store.h"
#include "core/text_codec.h"
#include "core/time_text.h"

#include <sys/resource.h>

#include <csignal>

#include "core/message_service.h"
#include "tests/common/msgbox_recorder.h"
#include "tests/common/temp_folder.h"

using namespace ProMod;

namespace {
class MaterialFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetStore();
    TotalLength = 90000;
  }
  void TearDown() override { ResetStore(); }
  TempFolder folder;
};

const QString kAllEmpty = QStringLiteral(
    "<KVQTABSETDATA></KVQTABSETDATA><KVQTABBASEDATA></KVQTABBASEDATA><KVQTABEXEDATA></KVQTABEXEDATA>");
}  // namespace

TEST_F(MaterialFileTest, ReadTextFileJoinsLinesWithLeadingBreak) {
  struct Case {
    QByteArray bytes;
    QString expected;
  } cases[] = {
      {"", ""},
      {"abc", "\r\nabc"},
      {"abc\r\n", "\r\nabc"},
      {"a\r\nb\r\nc", "\r\na\r\nb\r\nc"},
      {"a\rb", "\r\na\r\nb"},          // bare CR ends a line
      {"a\nb\n", "\r\na\r\nb"},        // LF-only files read as lines too
      {"a\r\n\r\nb", "\r\na\r\n\r\nb"},  // blank lines survive
      {"\r\n", "\r\n"},
      {"a\r\n\r\n", "\r\na\r\n"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(folder.Write("t.txt", c.bytes));
    EXPECT_EQ(ReadTextFile(folder.File("t.txt")), c.expected) << c.bytes.toStdString();
  }
  EXPECT_EQ(ReadTextFile(folder.File("missing.txt")), QString());
  EXPECT_EQ(ReadTextFile(folder.Path()), QString()) << "a folder is no file";
  EXPECT_EQ(ReadTextFile(QString()), QString());
}

TEST_F(MaterialFileTest, WriteTextFileReplacesWholeFileWithOneBreak) {
  const QString path = folder.File("w.txt");
  ASSERT_TRUE(WriteTextFile(path, QStringLiteral("a much longer first version of the text")));
  ASSERT_TRUE(WriteTextFile(path, QStringLiteral("短")));
  EXPECT_EQ(folder.Read("w.txt"), EncodeAnsi(QStringLiteral("短")) + "\r\n");
  // No temporary file is left next to it.
  EXPECT_EQ(QDir(folder.Path()).entryList(QDir::Files), QStringList{"w.txt"});
}

TEST_F(MaterialFileTest, WriteIntoMissingFolderFailsAndKeepsNothingHalfWritten) {
  EXPECT_FALSE(WriteTextFile(folder.File("no/such/folder/x.txt"), QStringLiteral("x")));
  EXPECT_FALSE(WriteTextFile(QString(), QStringLiteral("x")));
}

TEST_F(MaterialFileTest, SaveWithEmptySectionsThenLoad) {
  CurrentMaterialPath = folder.File("a.mp3.qvl");
  EXPECT_TRUE(SaveMaterialFile());
  EXPECT_EQ(folder.Read("a.mp3.qvl"), kAllEmpty.toLatin1() + "\r\n");
  SetData = BaseData = ExeData = QStringLiteral("stale");
  LoadMaterialFile();
  EXPECT_EQ(SetData, QString());
  EXPECT_EQ(BaseData, QString());
  EXPECT_EQ(ExeData, QString());
}

TEST_F(MaterialFileTest, RoundTripKeepsTextsRemarkBreaksAndRareCharacters) {
  CurrentMaterialPath = folder.File("lesson 1 第一课.mp3.qvl");
  SetData = QStringLiteral("x=1");
  BaseData = QStringLiteral("[0:00:01.000]Hello.[0:00:02.500]第一行\r\n第二行<KVQENTER>");
  // € (code page 936 single byte), a CJK extension B character and an emoji
  // (four-byte GB18030 sequences) and a character outside GBK.
  ExeData = QStringLiteral("€ 𠀀 😀 ㈠ ✓");
  ASSERT_TRUE(SaveMaterialFile());
  const QString set = SetData, base = BaseData, exe = ExeData;
  ResetStore();
  CurrentMaterialPath = folder.File("lesson 1 第一课.mp3.qvl");
  LoadMaterialFile();
  EXPECT_EQ(SetData, set);
  EXPECT_EQ(BaseData, base);
  EXPECT_EQ(ExeData, exe);
}

TEST_F(MaterialFileTest, LfOnlyRemarkComesBackAsCrLf) {
  ASSERT_TRUE(folder.Write("b.qvl", "<KVQTABBASEDATA>[0:00:01.000]A[0:00:02.000]x\ny</KVQTABBASEDATA>"));
  CurrentMaterialPath = folder.File("b.qvl");
  LoadMaterialFile();
  EXPECT_EQ(BaseData, QStringLiteral("[0:00:01.000]A[0:00:02.000]x\r\ny"));
}

TEST_F(MaterialFileTest, SectionsAreFoundIndependently) {
  struct Case {
    QByteArray file;
    QString set, base, exe;
  } cases[] = {
      {"no tags at all", "", "", ""},
      {"<KVQTABBASEDATA>only base", "", "only base", ""},
      {"<KVQTABEXEDATA>e</KVQTABEXEDATA><KVQTABSETDATA>s</KVQTABSETDATA>", "s", "", "e"},  // wrong order
      {"<KVQTABBASEDATA>", "", "", ""},  // tag at the very end
      {"<KVQTABBASEDATA>a<KVQTABBASEDATA>b</KVQTABBASEDATA>", "", "a", ""},  // reopened before closed
      {"<kvqtabbasedata>lower</kvqtabbasedata>", "", "", ""},                // tags are case-sensitive
      {"<KVQTABSETDATA>s</KVQTABSETDATA>junk<KVQTABBASEDATA>b</KVQTABBASEDATA>", "s", "b", ""},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(folder.Write("s.qvl", c.file));
    CurrentMaterialPath = folder.File("s.qvl");
    LoadMaterialFile();
    EXPECT_EQ(SetData, c.set) << c.file.toStdString();
    EXPECT_EQ(BaseData, c.base) << c.file.toStdString();
    EXPECT_EQ(ExeData, c.exe) << c.file.toStdString();
  }
}

TEST_F(MaterialFileTest, MissingFileAfterAnotherLeavesNothingBehind) {
  ASSERT_TRUE(folder.Write("one.qvl", "<KVQTABBASEDATA>x</KVQTABBASEDATA><KVQTABEXEDATA>y</KVQTABEXEDATA>"));
  CurrentMaterialPath = folder.File("one.qvl");
  LoadMaterialFile();
  ASSERT_EQ(BaseData, QStringLiteral("x"));
  CurrentMaterialPath = folder.File("two.qvl");
  LoadMaterialFile();
  EXPECT_TRUE(BaseData.isEmpty());
  EXPECT_TRUE(ExeData.isEmpty());
  EXPECT_FALSE(QFile::exists(folder.File("two.qvl"))) << "loading never creates a file";
}

TEST_F(MaterialFileTest, JunkAndInvalidBytesDoNotCrash) {
  QByteArray junk;
  junk.reserve(50 * 1024 * 1024);
  uint32_t x = 12345;
  while (junk.size() < 50 * 1024 * 1024) {
    x = x * 1103515245u + 12345u;
    junk.append(static_cast<char>(x >> 24));
  }
  junk.append("<KVQTABBASEDATA>[0:00:01.000]ok[0:00:02.000]</KVQTABBASEDATA>");
  ASSERT_TRUE(folder.Write("junk.qvl", junk));
  CurrentMaterialPath = folder.File("junk.qvl");
  LoadMaterialFile();
  EXPECT_TRUE(BaseData.endsWith(QStringLiteral("[0:00:01.000]ok[0:00:02.000]")));
  BuildSentenceTable();
  EXPECT_GE(Sentences.UBound(), 2);
}

TEST_F(MaterialFileTest, FailedSaveTellsTheUserAndKeepsTheTexts) {
  // A folder that is missing, and one whose name belongs to a file: no
  // permission check involved, so this holds for root too.
  ASSERT_TRUE(folder.Write("plain", "a file"));
  for (const QString& path : {folder.File("gone/a.mp3.qvl"), folder.File("plain/a.mp3.qvl")}) {
    SCOPED_TRACE(path.toStdString());
    MsgBoxRecorder boxes;
    CurrentMaterialPath = path;
    BaseData = QStringLiteral("typed remark");
    EXPECT_FALSE(SaveMaterialFile());
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_TRUE(boxes.Last().text.contains(CurrentMaterialPath));
    EXPECT_EQ(boxes.Last().title, QStringLiteral("错误"));
    EXPECT_FALSE(boxes.Last().twoButtons);
    EXPECT_EQ(boxes.Last().icon, kIconError);
    EXPECT_EQ(BaseData, QStringLiteral("typed remark"));
  }
  EXPECT_EQ(folder.Read("plain"), QByteArray("a file"));
}

// Writes stop with an error beyond `bytes` (as on a full disk), for root
// too: the process's file size limit.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    savedHandler_ = std::signal(SIGXFSZ, SIG_IGN);  // an error, not a signal
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, savedHandler_);
  }
  bool Active() const { return active_; }

 private:
  rlimit saved_{};
  void (*savedHandler_)(int) = nullptr;
  bool active_ = false;
};

TEST_F(MaterialFileTest, AWriteFailingHalfWayKeepsTheOldFileAndLeavesNoTemporaryFile) {
  ASSERT_TRUE(folder.Write("lesson.mp3.qvl", "old"));
  CurrentMaterialPath = folder.File("lesson.mp3.qvl");
  BaseData = QStringLiteral("[0:00:01.000]A sentence long enough to pass the limit.[0:00:02.000]备注");
  MsgBoxRecorder boxes;
  bool saved = true;
  {
    FileSizeLimit limit(16);
    ASSERT_TRUE(limit.Active());
    saved = SaveMaterialFile();
  }
  EXPECT_FALSE(saved);
  EXPECT_EQ(folder.Read("lesson.mp3.qvl"), QByteArray("old"));
  EXPECT_EQ(QDir(folder.Path()).entryList(QDir::Files | QDir::Hidden), QStringList{"lesson.mp3.qvl"});
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().icon, kIconError);
  EXPECT_TRUE(BaseData.endsWith(QStringLiteral("备注")));
  // Once the disk takes it again, the same save goes through.
  EXPECT_TRUE(SaveMaterialFile());
  LoadMaterialFile();
  EXPECT_TRUE(BaseData.endsWith(QStringLiteral("备注")));
}

TEST(TrimSentenceText, Rules) {
  struct Case {
    QString in, out;
  } cases[] = {
      {" \r\n<KVQENTER>abc<kvqenter>", "abc"},
      {"x", "x"},
      {" ", ""},
      {"\r", ""},
      {"  ab ", "ab"},
      {"<KVQENTER>", ""},
      {"<KVQENTER><KvqEnter>a", "a"},
      {"\tab\t", "\tab\t"},                    // tabs stay
      {"<KVQENTER> a ", " a"},                // no blank trimming after the separators
      {"<KVQENTE", "<KVQENTE"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ProMod::TrimSentenceText(c.in), c.out) << c.in.toStdString();
}

TEST(ParseSentenceLine, TimedLines) {
  ProMod::TotalLength = 90000;
  struct Case {
    QString line;
    int start, end;
    QString text, remark;
  } cases[] = {
      {"[0:00:01.000]Hello.[0:00:02.500]你好", 1000, 2500, "Hello.", "你好"},
      {"[0:00:01.000]Hello.[0:00:01.050]note", 1000, 90000, "Hello.", ""},  // end within 60 ms is no end
      {"[0:00:01.000]Hello.", 1000, 90000, "Hello.", ""},
      {"[0:00:01.000]Hello.[0:00:01.061]", 1000, 1061, "Hello.", ""},
      {"Hello.", 0, 90000, "Hello.", ""},
      {"[Music]Hello.", 0, 90000, "Hello.", ""},
      {"[0:00:03.120]  Good morning. [0:00:05.994] 早上好 ", 3120, 5994, "Good morning.", "早上好"},
      {"[01:02.5]LRC style", 62500, 90000, "LRC style", ""},
      {"[-1:00]x", 0, 90000, "[-1:00]x", ""},  // negative times are no tags
      {"[0:00:01.000]a[0:00:02.000]b[0:00:03.000]c", 0, 90000,
       "[0:00:01.000]a[0:00:02.000]b[0:00:03.000]c", ""},  // third tag not inside the text
      {"[", 0, 90000, "[", ""},
      {"]x[", 0, 90000, "]x[", ""},
  };
  for (const Case& c : cases) {
    const SentenceRecord r = ProMod::ParseSentenceLine(c.line, 7);
    SCOPED_TRACE(c.line.toStdString());
    EXPECT_EQ(r.Index, 7);
    EXPECT_EQ(r.Start, c.start);
    EXPECT_EQ(r.End, c.end);
    EXPECT_EQ(r.Text, c.text);
    EXPECT_EQ(r.Remark, c.remark);
    EXPECT_EQ(r.StartText, SoundMod::FormatTime(c.start));
    EXPECT_EQ(r.EndText, SoundMod::FormatTime(c.end));
    EXPECT_FALSE(r.Deleted);
  }
  ProMod::TotalLength = 0;
}

TEST(BuildSentenceTable, IndicesAndEmptyPieces) {
  ProMod::ResetStore();
  ProMod::TotalLength = 5000;
  ProMod::BaseData = QStringLiteral("<KVQENTER><KVQENTER>");
  ProMod::BuildSentenceTable();
  EXPECT_EQ(ProMod::Sentences.UBound(), 0);

  ProMod::BaseData = QStringLiteral("a<KVQENTER><KVQENTER>b");
  ProMod::BuildSentenceTable();
  ASSERT_EQ(ProMod::Sentences.UBound(), 3);
  EXPECT_EQ(ProMod::Sentences[2].Text, QStringLiteral("a"));
  EXPECT_EQ(ProMod::Sentences[2].Index, 2);
  EXPECT_EQ(ProMod::Sentences[3].Text, QStringLiteral("b"));
  EXPECT_EQ(ProMod::Sentences[3].End, 5000);
  EXPECT_EQ(ProMod::Sentences[1].Text, QString()) << "index 1 is never used";

  // The remark save's form (a separator after every line) and the editor's
  // (between lines only) build the same table.
  ProMod::BaseData = QStringLiteral("[0:00:01.000]A[0:00:02.000]r1<KVQENTER>[0:00:02.000]B[0:00:03.000]<KVQENTER>");
  ProMod::BuildSentenceTable();
  ASSERT_EQ(ProMod::Sentences.UBound(), 3);
  EXPECT_EQ(ProMod::Sentences[2].Remark, QStringLiteral("r1"));
  EXPECT_EQ(ProMod::Sentences[3].Start, 2000);

  ProMod::BaseData.clear();
  ProMod::BuildSentenceTable();
  EXPECT_EQ(ProMod::Sentences.UBound(), 0);
  ProMod::ResetStore();
}

TEST(BuildSentenceTable, StopsAtTheHighestSixteenBitIndex) {
  ProMod::ResetStore();
  QStringList lines;
  for (int i = 0; i < 40000; ++i) lines << QStringLiteral("s%1").arg(i);
  ProMod::BaseData = lines.join(ProMod::kEnter);
  ProMod::BuildSentenceTable();
  EXPECT_EQ(ProMod::Sentences.UBound(), 32767);
  EXPECT_EQ(ProMod::Sentences[32767].Index, 32767);
  EXPECT_EQ(ProMod::Sentences[32767].Text, QStringLiteral("s32765"));
  ProMod::ResetStore();
}

TEST(SentenceTable, OutOfRangeIndicesAreHarmless) {
  SentenceTable table;
  EXPECT_EQ(table.UBound(), 0);
  EXPECT_EQ(table[-1].Text, QString());
  EXPECT_EQ(table[5].Text, QString());
  table[5].Text = QStringLiteral("nowhere");
  EXPECT_EQ(table[5].Text, QString());
  table.Append(SentenceRecord{});
  EXPECT_EQ(table.UBound(), 2);
  EXPECT_EQ(table.Count(), 1);
}
