#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetricsF>
#include <QStringList>

#include "controls/caption_layout.h"

namespace {

QStringList Lines(const CaptionLayout& layout, const QString& text, double width, bool wrap = true) {
  std::vector<CaptionLayout::Line> lines;
  layout.BreakLines(text, width, wrap, lines);
  QStringList out;
  for (const auto& line : lines) out << text.mid(line.start, line.length);
  return out;
}

QFont TestFont() {
  QFont font(QStringLiteral("DejaVu Sans Mono"));
  font.setPixelSize(10);
  return font;
}

class CaptionLayoutTest : public ::testing::Test {
 protected:
  CaptionLayoutTest() : layout_(TestFont()) {}
  double Width(const QString& text) const {
    double w = 0;
    for (int i = 0; i < text.size(); ++i) w += layout_.AdvanceAt(text, i);
    return w;
  }
  CaptionLayout layout_;
};

}  // namespace

TEST_F(CaptionLayoutTest, BreaksAtSpacesAndLineBreaks) {
  const double w = Width(QStringLiteral("aaaa bbbb"));
  // Spaces hang at the end of the line they follow.
  EXPECT_EQ(Lines(layout_, QStringLiteral("aaaa bbbb cccc"), w), (QStringList{"aaaa bbbb ", "cccc"}));
  EXPECT_EQ(Lines(layout_, QStringLiteral("aaaa bbbb   cccc"), w), (QStringList{"aaaa bbbb   ", "cccc"}));
  EXPECT_EQ(Lines(layout_, QStringLiteral("a\r\nb\nc\rd"), w), (QStringList{"a", "b", "c", "d"}));
  EXPECT_EQ(Lines(layout_, QStringLiteral("a\r\n"), w), (QStringList{"a", ""}));
  EXPECT_EQ(Lines(layout_, QString(), w), QStringList{""});
  // Without wrapping only line breaks count.
  EXPECT_EQ(Lines(layout_, QStringLiteral("aaaa bbbb cccc\r\nd"), w, false), (QStringList{"aaaa bbbb cccc", "d"}));
  const CaptionLayout::Extent e = layout_.Measure(QStringLiteral("aaaa bbbb cccc\r\nd"), w, false);
  EXPECT_EQ(e.lines, 2);
  EXPECT_DOUBLE_EQ(e.width, Width(QStringLiteral("aaaa bbbb cccc")));
}

TEST_F(CaptionLayoutTest, WideCharactersBreakAnywhereAndLongWordsSplit) {
  const QString chinese = QStringLiteral("你好世界你好世界");
  const double four = Width(chinese.left(4));
  EXPECT_EQ(Lines(layout_, chinese, four), (QStringList{"你好世界", "你好世界"}));
  // Hidden text (em dashes) wraps like the characters it stands for.
  EXPECT_EQ(Lines(layout_, QStringLiteral("————————"), Width(QStringLiteral("————"))).size(), 2);
  const double six = Width(QStringLiteral("xxxxxx"));
  EXPECT_EQ(Lines(layout_, QStringLiteral("ab xxxxxxxxxxxxxx"), six), (QStringList{"ab ", "xxxxxx", "xxxxxx", "xx"}));
  // No width at all: one character per line, never an empty loop.
  EXPECT_EQ(Lines(layout_, QStringLiteral("abc"), 0), (QStringList{"a", "b", "c"}));
  // A surrogate pair stays together.
  const QString pair = QString::fromUcs4(U"\U0001F600\U0001F600");
  const QStringList split = Lines(layout_, pair, 0);
  ASSERT_EQ(split.size(), 2);
  EXPECT_EQ(split[0].size(), 2);
  // Measure agrees with the line list.
  const QString text = QStringLiteral("The quick brown fox 你好 jumps over the lazy dog");
  EXPECT_EQ(layout_.Measure(text, 60, true).lines, Lines(layout_, text, 60).size());
}
