#include <gtest/gtest.h>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include "practice/answer_comparison.h"
#include "tests/common/temp_folder.h"
#include "tools/commands.h"

namespace {

struct ToolRun {
  int status = -1;
  QString out, err;
};

ToolRun Compare(const QStringList& args) {
  ToolRun run;
  QTextStream out(&run.out);
  QTextStream err(&run.err);
  run.status = velmo_tool::RunCompare(args, out, err);
  out.flush();
  err.flush();
  return run;
}

// The printed pairs, read back through a JSON parser.
QJsonArray Pairs(const ToolRun& run) {
  QJsonParseError error{};
  const QJsonDocument doc = QJsonDocument::fromJson(run.out.toUtf8(), &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out.toStdString();
  return doc.object().value("pairs").toArray();
}

TEST(CompareCommand, PrintsThePairsWithFillersAsUnderscores) {
  const ToolRun run = Compare({"a b c d e", "a b xy d e"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "{\"pairs\": [[\"a\", \"a\"], [\"b\", \"b\"], [\"c_\", \"xy\"], [\"d\", \"d\"], [\"e\", \"e\"]]}\n");
  EXPECT_TRUE(run.err.isEmpty());
}

TEST(CompareCommand, TextsComeBackExactly) {
  // Quotes, backslashes, control characters and a lone surrogate survive
  // the JSON: every token reads back as the comparison made it.
  const QString sentence = QString("say \"hi\" \\ now") + QChar(0xD800);
  const QString typed = QString("say \"hi\" \\ x\ty\x01z") + QChar(0xD800);
  const ToolRun run = Compare({sentence, typed});
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(run.out.contains("\\ud800")) << run.out.toStdString();
  EXPECT_TRUE(run.out.contains("\\u0001")) << run.out.toStdString();
  const QJsonArray pairs = Pairs(run);
  const ChaSenMod::PairList direct = ChaSenMod::AlignAnswer(sentence, typed);
  ASSERT_EQ(pairs.size(), direct.pairs.size());
  for (qsizetype j = 0; j < direct.pairs.size(); ++j) {
    const QString s = QString(direct.pairs[j].sentence).replace(direct.filler, '_');
    const QString t = QString(direct.pairs[j].typed).replace(direct.filler, '_');
    EXPECT_EQ(pairs[j].toArray()[0].toString(), s);
    EXPECT_EQ(pairs[j].toArray()[1].toString(), t);
  }

  // The error result carries both texts whole, line break included.
  const ToolRun error = Compare({"a wonderful b", "a x y\r\nb"});
  const QJsonArray errorPairs = Pairs(error);
  ASSERT_EQ(errorPairs.size(), 1);
  EXPECT_EQ(errorPairs[0].toArray()[0].toString(), ChaSenMod::kWordCountErrorText + "\r\na wonderful b");
  EXPECT_EQ(errorPairs[0].toArray()[1].toString(), "a x y\r\nb");

  // Chinese text is written as it is.
  const ToolRun chinese = Compare({"我爱北京，你呢？", "我爱上海，你呢？"});
  EXPECT_TRUE(chinese.out.startsWith("{\"pairs\": [[\"我爱北京\", \"____\"], [\"，\", \"，\"]"));
}

TEST(CompareCommand, TypedFillerCharacterIsNotShownAsFiller) {
  const QString typed = QString("a b ") + QChar(ChaSenMod::kPreferredFiller) + "x d e";
  const QJsonArray pairs = Pairs(Compare({"a b c d e", typed}));
  ASSERT_EQ(pairs.size(), 5);
  EXPECT_EQ(pairs[2].toArray()[0].toString(), "c_");
  EXPECT_EQ(pairs[2].toArray()[1].toString(), QString(QChar(ChaSenMod::kPreferredFiller)) + "x");
}

TEST(CompareCommand, RefusesBadArguments) {
  for (const QStringList& args : {QStringList{}, QStringList{"one"}, QStringList{"a", "b", "c"},
                                  QStringList{"--image", "x.png", "a", "b"}, QStringList{"--width", "100", "a", "b"},
                                  QStringList{"--image", "x.png", "--width", "0", "a", "b"},
                                  QStringList{"--image", "x.png", "--width", "wide", "a", "b"},
                                  QStringList{"--image", "x.png", "--width", "40000", "a", "b"},
                                  QStringList{"--colour", "a", "b"}, QStringList{"a", "b", "--width"}}) {
    const ToolRun run = Compare(args);
    EXPECT_EQ(run.status, 2) << args.join(' ').toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_FALSE(run.err.isEmpty());
  }
  // After "--" texts may start with dashes.
  const ToolRun run = Compare({"--", "--a", "--a"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "{\"pairs\": [[\"--a\", \"--a\"]]}\n");
}

TEST(CompareCommand, DrawsThePng) {
  TempFolder folder;
  const QString path = folder.File("cmp.png");
  const ToolRun run = Compare({"--image", path, "--width", "240", "a b c d e", "a b d e"});
  EXPECT_EQ(run.status, 0) << run.err.toStdString();
  EXPECT_FALSE(run.out.isEmpty());
  QImage image(path);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.width(), 240);
  // Two rows plus the margins.
  EXPECT_GT(image.height(), 40);
  EXPECT_LT(image.height(), 100);
  int green = 0, red = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      green += c.green() > c.red() + 60 && c.green() > c.blue() + 60;
      red += c.red() > c.green() + 100 && c.red() > c.blue() + 100;
    }
  }
  EXPECT_GT(green, 0);
  EXPECT_GT(red, 0);

  // A longer text gives a taller image at the same width.
  QString longer;
  for (int i = 0; i < 40; ++i) longer += QString("word%1 ").arg(i);
  EXPECT_EQ(Compare({"--image", path, "--width", "240", longer, longer}).status, 0);
  EXPECT_GT(QImage(path).height(), 4 * image.height());
}

TEST(CompareCommand, UnwritableImageIsReported) {
  TempFolder folder;
  const ToolRun run = Compare({"--image", folder.File("missing/cmp.png"), "--width", "100", "a", "a"});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.err.contains("cannot write"));
}

}  // namespace
