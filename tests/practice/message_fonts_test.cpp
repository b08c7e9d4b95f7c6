#include <gtest/gtest.h>

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QTextLayout>

#include "platform/fonts.h"

namespace {

// The family whose glyphs draw the first character of `text` in `font`.
QString GlyphFamily(const QFont& font, const QString& text) {
  QTextLayout layout(text, font);
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  const auto runs = layout.glyphRuns(0, 1);
  return runs.isEmpty() ? QString() : runs.first().rawFont().familyName().toLower();
}

bool Installed(const char* family) { return QFontDatabase::families().contains(QString::fromUtf8(family)); }

}  // namespace

TEST(FontSubstitutions, ChineseIsDrawnInSimplifiedChineseShapes) {
  if (!Installed("Noto Serif CJK SC") || !Installed("Noto Sans CJK SC"))
    GTEST_SKIP() << "the Simplified Chinese fonts are not installed";
  platform::RegisterFontSubstitutions();  // the test main did it already; again is harmless
  const QString han = QStringLiteral("复读机");
  EXPECT_EQ(GlyphFamily(QFont(QStringLiteral("宋体"), 9), han), QStringLiteral("noto serif cjk sc"));
  EXPECT_EQ(GlyphFamily(QFont(QStringLiteral("SimSun"), 9), han), QStringLiteral("noto serif cjk sc"));
  EXPECT_EQ(GlyphFamily(QFont(QStringLiteral("黑体"), 9), han), QStringLiteral("noto sans cjk sc"));
  // Latin names keep Latin glyphs of their own kind and take Chinese from SC.
  EXPECT_EQ(GlyphFamily(QFont(QStringLiteral("Arial"), 9), han), QStringLiteral("noto sans cjk sc"));
  EXPECT_EQ(GlyphFamily(QGuiApplication::font(), han), QStringLiteral("noto sans cjk sc"));
  const QStringList once = QFont::substitutes(QStringLiteral("宋体"));
  platform::RegisterFontSubstitutions();
  EXPECT_EQ(QFont::substitutes(QStringLiteral("宋体")), once);
}
