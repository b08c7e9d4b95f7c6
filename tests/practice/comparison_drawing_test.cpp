#include "practice/comparison_drawing.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <algorithm>
#include <vector>

#include "tests/common/msgbox_recorder.h"

using ChaSenMod::DrawComparison;
using ChaSenMod::MeasureLabel;
using ChaSenMod::PrintSurface;

namespace {

enum class Ink { None, Black, Green, Red, Other };

// Text drawn without smoothing, so every pixel is either background or
// exactly the drawing colour.
QFont TestFont(const char* family = "DejaVu Sans") {
  QFont font(QString::fromUtf8(family));
  font.setPixelSize(16);
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

// One drawing on a white image.
struct Drawing {
  QImage image;
  QFont font;
  Drawing(int width, int height, const QFont& f = TestFont()) : image(width, height, QImage::Format_RGB32), font(f) {
    image.fill(Qt::white);
  }
  void Draw(const QString& sentence, const QString& typed) {
    PrintSurface surface(&image, font);
    MeasureLabel label;
    DrawComparison(sentence, typed, &surface, &label, 120, 120, true);
  }
  Ink At(int x, int y) const {
    const QRgb c = image.pixel(x, y);
    if (c == qRgb(255, 255, 255)) return Ink::None;
    if (c == qRgb(0, 0, 0)) return Ink::Black;
    if (c == qRgb(0, 128, 0)) return Ink::Green;
    if (c == qRgb(255, 0, 0)) return Ink::Red;
    return Ink::Other;
  }
  // Width in pixels of a text in the drawing's font on the image.
  int Px(const QString& text) const { return QFontMetrics(font, &image).horizontalAdvance(text); }
  int RowPitch() const {  // 1.3 × text height, in pixels
    return qRound(1.3 * QFontMetrics(font, &image).height());
  }
  // Bounding box of the pixels of one ink (empty when none).
  QRect Box(Ink ink, QRect within = QRect()) const {
    if (within.isNull()) within = image.rect();
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    for (int y = within.top(); y <= within.bottom(); ++y) {
      for (int x = within.left(); x <= within.right(); ++x) {
        if (At(x, y) != ink) continue;
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
  }
  int Count(Ink ink) const {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) n += At(x, y) == ink;
    return n;
  }
  // Horizontal bands of rows with ink, top to bottom.
  std::vector<QRect> Bands() const {
    std::vector<QRect> bands;
    int start = -1;
    for (int y = 0; y <= image.height(); ++y) {
      bool ink = false;
      for (int x = 0; y < image.height() && x < image.width() && !ink; ++x) ink = At(x, y) != Ink::None;
      if (ink && start < 0) start = y;
      if (!ink && start >= 0) {
        bands.push_back(QRect(0, start, image.width(), y - start));
        start = -1;
      }
    }
    return bands;
  }
};

constexpr int kMarginPx = 8;  // 120 twips

TEST(DrawComparison, CorrectAnswerIsAllBlackOnTwoRows) {
  Drawing d(400, 80);
  d.Draw("The cat sat on the mat.", "The cat sat on the mat.");
  EXPECT_EQ(d.Count(Ink::Green) + d.Count(Ink::Red) + d.Count(Ink::Other), 0);
  const auto bands = d.Bands();
  ASSERT_EQ(bands.size(), 2u);
  // The typed line is one row below the sentence line.
  EXPECT_NEAR(bands[1].top() - bands[0].top(), d.RowPitch(), 1);
  EXPECT_GE(d.Box(Ink::Black).left(), kMarginPx);
  EXPECT_LE(d.Box(Ink::Black).left(), kMarginPx + 2);
}

TEST(DrawComparison, MissingWordIsGreenAboveARedDash) {
  Drawing d(400, 80);
  d.Draw("a b c d e", "a b d e");
  const auto bands = d.Bands();
  ASSERT_EQ(bands.size(), 2u);
  const QRect green = d.Box(Ink::Green);
  const QRect red = d.Box(Ink::Red);
  ASSERT_FALSE(green.isNull());
  ASSERT_FALSE(red.isNull());
  EXPECT_TRUE(bands[0].contains(green));
  EXPECT_TRUE(bands[1].contains(red));
  // The green word is the third token; the red dash sits at the same place
  // in the typed line and is a flat stroke.
  const int start = kMarginPx + d.Px("a ") + d.Px("b ");
  EXPECT_GE(green.left(), start - 1);
  EXPECT_LE(green.right(), start + d.Px("c"));
  EXPECT_GE(red.left(), start - 1);
  EXPECT_LE(red.right(), start + d.Px("-"));
  EXPECT_LE(red.height(), 3);
  EXPECT_EQ(d.Count(Ink::Other), 0);
}

TEST(DrawComparison, CaseErrorColoursOnlyTheWrongLetters) {
  Drawing d(400, 80);
  d.Draw("Hello world", "hello woRld");
  EXPECT_EQ(d.Count(Ink::Green), 0);  // the sentence line counts the words as right
  const auto bands = d.Bands();
  ASSERT_EQ(bands.size(), 2u);
  EXPECT_EQ(d.Box(Ink::Red, bands[0]), QRect());
  // Red: the "h" and the "R" of the typed line, nothing else.
  const QRect firstRed = d.Box(Ink::Red, QRect(0, bands[1].top(), kMarginPx + d.Px("h"), bands[1].height()));
  EXPECT_FALSE(firstRed.isNull());
  const int rStart = kMarginPx + d.Px("hello ") + d.Px("wo");
  const QRect between(kMarginPx + d.Px("h") + 1, bands[1].top(), rStart - kMarginPx - d.Px("h") - 2,
                      bands[1].height());
  EXPECT_EQ(d.Box(Ink::Red, between), QRect());
  EXPECT_FALSE(d.Box(Ink::Black, between).isNull());
  const QRect r = d.Box(Ink::Red, QRect(rStart, bands[1].top(), d.Px("R"), bands[1].height()));
  EXPECT_FALSE(r.isNull());
  EXPECT_EQ(d.Box(Ink::Red, QRect(rStart + d.Px("R") + 1, 0, 400 - rStart - d.Px("R") - 1, 80)), QRect());
}

TEST(DrawComparison, ExtraWordIsBlankAboveRedWord) {
  Drawing d(500, 80);
  d.Draw("one two three four five", "one two three four five six");
  const auto bands = d.Bands();
  ASSERT_EQ(bands.size(), 2u);
  const int end = kMarginPx + d.Px("one two three four five ");
  EXPECT_EQ(d.Box(Ink::Black, bands[0]).right() < end, true);
  EXPECT_EQ(d.Count(Ink::Green), 0);  // the blanks of the extra word are invisible
  const QRect red = d.Box(Ink::Red);
  ASSERT_FALSE(red.isNull());
  EXPECT_TRUE(bands[1].contains(red));
  EXPECT_GE(red.left(), end - 1);
}

TEST(DrawComparison, LongSentenceWrapsAtTheWidthWithoutInterleaving) {
  QString sentence;
  for (int i = 0; i < 20; ++i) sentence += QString("word%1 ").arg(i);
  const QString typed = sentence.section(' ', 0, 18);  // the last word is missing
  Drawing d(200, 400);
  d.Draw(sentence, typed);
  const auto bands = d.Bands();
  ASSERT_GE(bands.size(), 6u);
  ASSERT_EQ(bands.size() % 2, 0u);
  const size_t rowsPerLine = bands.size() / 2;
  // Every row starts at the left margin and stays inside the width.
  for (const QRect& band : bands) {
    const QRect ink = d.Box(Ink::Black, band).united(d.Box(Ink::Green, band)).united(d.Box(Ink::Red, band));
    EXPECT_LE(ink.left(), kMarginPx + 2);
    EXPECT_LT(ink.right(), 200);
  }
  // The missing word is on the last row of the sentence line, its dash on
  // the last row of the typed line; rows follow at one pitch.
  EXPECT_TRUE(bands[rowsPerLine - 1].contains(d.Box(Ink::Green)));
  EXPECT_TRUE(bands.back().contains(d.Box(Ink::Red)));
  for (size_t i = 1; i < bands.size(); ++i) EXPECT_NEAR(bands[i].top() - bands[i - 1].top(), d.RowPitch(), 1);
}

TEST(DrawComparison, TokenWiderThanTheSurfaceStartsANewRowAndOverflows) {
  Drawing d(60, 140);
  d.Draw("extraordinarily", "extraordinarily");
  const auto bands = d.Bands();
  ASSERT_EQ(bands.size(), 2u);
  // The first row of each line stays empty: the token did not fit after
  // the margin.
  EXPECT_GE(bands[0].top(), kMarginPx + d.RowPitch() - 2);
  EXPECT_GE(bands[1].top() - bands[0].top(), 2 * d.RowPitch() - 1);
  // Drawn anyway, up to the right edge.
  EXPECT_GE(d.Box(Ink::Black, bands[0]).right(), 56);
}

TEST(DrawComparison, ErrorResultIsGreenSentenceOverRedTypedText) {
  Drawing d(1200, 200, TestFont("Noto Sans CJK SC"));
  d.Draw("a wonderful b", "a x y b");
  EXPECT_GT(d.Count(Ink::Green), 0);
  EXPECT_GT(d.Count(Ink::Red), 0);
  EXPECT_EQ(d.Count(Ink::Black), 0);
  // Message and sentence take two text lines above the typed text.
  EXPECT_LT(d.Box(Ink::Green).bottom(), d.Box(Ink::Red).top());
  EXPECT_GT(d.Box(Ink::Green).height(), QFontMetrics(d.font, &d.image).height());
}

TEST(DrawComparison, NeedsASurfaceAndAMeasuringLabel) {
  PlainMessageRecorder messages;
  QImage image(100, 50, QImage::Format_RGB32);
  image.fill(Qt::blue);
  PrintSurface surface(&image, TestFont());
  DrawComparison("a b", "a b", &surface, nullptr, 120, 120, true);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, ChaSenMod::kNoMeasureLabelText);
  EXPECT_EQ(messages.shown[0].text, QString::fromUtf8("PrintObj 和TempLabel必须同时存在！无法绘图"));
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) ASSERT_EQ(image.pixel(x, y), QColor(Qt::blue).rgb());

  MeasureLabel label;
  DrawComparison("a b", "a b", nullptr, &label, 120, 120, true);
  DrawComparison("a b", "a b", nullptr, nullptr, 120, 120, true);
  EXPECT_EQ(messages.shown.size(), 1u);
}

TEST(DrawComparison, ClearsOnlyWhenAsked) {
  QImage image(300, 80, QImage::Format_RGB32);
  image.fill(Qt::blue);
  PrintSurface surface(&image, TestFont());
  MeasureLabel label;
  DrawComparison("a b", "a b", &surface, &label, 120, 120, false);
  EXPECT_EQ(image.pixel(299, 79), QColor(Qt::blue).rgb());
  DrawComparison("a b", "a b", &surface, &label, 120, 120, true);
  EXPECT_EQ(image.pixel(299, 79), qRgb(255, 255, 255));
  // The label now measures in the surface's font.
  EXPECT_EQ(label.Font(), surface.Font());
}

TEST(PrintSurface, PrintsLinesAtTheCurrentPositionAndMovesOn) {
  QImage image(200, 100, QImage::Format_RGB32);
  PrintSurface surface(&image, TestFont());
  surface.Cls();
  EXPECT_EQ(surface.ScaleWidth(), 3000);
  const QFontMetrics metrics(TestFont(), &image);
  surface.setCurrentX(150);
  surface.setCurrentY(300);
  surface.Print("ab\r\ncd");
  EXPECT_EQ(surface.CurrentX(), 150 + 15 * metrics.horizontalAdvance("cd"));
  EXPECT_EQ(surface.CurrentY(), 300 + 15 * metrics.height());

  MeasureLabel label(TestFont());
  label.setDevice(&image);
  label.setCaption("long line\nx");
  EXPECT_EQ(label.Width(), 15 * metrics.horizontalAdvance("long line"));
  EXPECT_EQ(label.Height(), 2 * 15 * metrics.height());

  // Nothing to draw on: positions still move, nothing breaks.
  PrintSurface none;
  none.Cls();
  none.Print("x");
  EXPECT_EQ(none.ScaleWidth(), 0);
}

}  // namespace
