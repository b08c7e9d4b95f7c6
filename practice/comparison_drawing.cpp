#include "practice/comparison_drawing.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QStringList>
#include <algorithm>

#include "controls/twips.h"
#include "core/number_text.h"
#include "platform/plain_message.h"
#include "practice/answer_comparison.h"

namespace ChaSenMod {
namespace {

// The lines of a text; CR LF, a lone CR and a lone LF each end a line.
QStringList TextLines(const QString& text) {
  QString unified = text;
  unified.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  unified.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return unified.split(QLatin1Char('\n'));
}

QFontMetrics MetricsFor(const QFont& font, QPaintDevice* device) {
  return device ? QFontMetrics(font, device) : QFontMetrics(font);
}

int32_t SaturatedTwips(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// y + 1.3 × height, rounded half to even.
int32_t NextRow(int32_t y, int32_t height) {
  bool ok = true;
  const int32_t next = ProMod::RoundToInt32(static_cast<double>(y) + 1.3 * height, &ok);
  return ok ? next : INT32_MAX;
}

// The length in code units of the character at `at` (a surrogate pair is one
// character; an unpaired surrogate is one of its own).
qsizetype CharacterLength(const QString& text, qsizetype at) {
  if (text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate()) return 2;
  return 1;
}

}  // namespace

PrintSurface::PrintSurface(QPaintDevice* device, const QFont& font) : device_(device), font_(font) {}

int32_t PrintSurface::ScaleWidth() const { return device_ ? twips::FromPixelsInt(device_->width()) : 0; }

int32_t PrintSurface::ScaleHeight() const { return device_ ? twips::FromPixelsInt(device_->height()) : 0; }

void PrintSurface::Cls() {
  currentX_ = 0;
  currentY_ = 0;
  if (!device_) return;
  QPainter painter(device_);
  if (!painter.isActive()) return;
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.fillRect(QRect(0, 0, device_->width(), device_->height()), ColourValueToQColor(backColor_));
}

void PrintSurface::Print(const QString& text) {
  const QStringList lines = TextLines(text);
  const QFontMetrics metrics = MetricsFor(font_, device_);
  const int32_t startX = currentX_;
  int64_t y = currentY_;
  int lastWidth = 0;
  QPainter painter;
  const bool painting = device_ && painter.begin(device_);
  if (painting) {
    painter.setFont(font_);
    painter.setPen(ColourValueToQColor(foreColor_));
  }
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (i > 0) y += twips::FromPixelsInt(metrics.height());
    if (painting) {
      painter.drawText(QPointF(twips::ToPixelsF(startX), twips::ToPixelsF(static_cast<double>(y)) + metrics.ascent()),
                       lines[i]);
    }
    lastWidth = metrics.horizontalAdvance(lines[i]);
  }
  currentX_ = SaturatedTwips(static_cast<int64_t>(startX) + twips::FromPixelsInt(lastWidth));
  currentY_ = SaturatedTwips(y);
}

int32_t MeasureLabel::Width() const {
  const QFontMetrics metrics = MetricsFor(font_, device_);
  int widest = 0;
  for (const QString& line : TextLines(caption_)) widest = std::max(widest, metrics.horizontalAdvance(line));
  return twips::FromPixelsInt(widest);
}

int32_t MeasureLabel::Height() const {
  const QFontMetrics metrics = MetricsFor(font_, device_);
  return SaturatedTwips(static_cast<int64_t>(TextLines(caption_).size()) *
                        twips::FromPixelsInt(metrics.height()));
}

void DrawComparison(const QString& sentenceText, const QString& typedText, PrintSurface* PrintObj,
                    MeasureLabel* TempLabel, int32_t x0, int32_t y0, bool clearFirst) {
  // 1. The pairs, as they are shown: a filler is a blank in the sentence line
  // and "-" in the typed line, and every token is followed by a space.
  const PairList result = AlignAnswer(sentenceText, typedText);
  QStringList sentenceTokens, typedTokens;
  for (const AnswerPair& pair : result.pairs) {
    sentenceTokens << QString(pair.sentence).replace(result.filler, QLatin1Char(' ')) + QLatin1Char(' ');
    typedTokens << QString(pair.typed).replace(result.filler, QLatin1Char('-')) + QLatin1Char(' ');
  }

  // 2. Both a surface and a measuring label are needed.
  if (!PrintObj) return;
  if (!TempLabel) {
    platform::ShowPlainMessage(kNoMeasureLabelText);
    return;
  }

  // 3. The label measures in the surface's font at the surface's resolution.
  TempLabel->setFont(PrintObj->Font());
  TempLabel->setDevice(PrintObj->Device());

  // 4, 5.
  if (clearFirst) PrintObj->Cls();
  int32_t x = x0;
  int32_t y = y0;
  const int32_t width = PrintObj->ScaleWidth();

  // Measures a token and starts a new row when it does not fit into the
  // rest of this one. Returns the token's width.
  auto placeToken = [&](const QString& token) {
    TempLabel->setCaption(token);
    const int32_t w = TempLabel->Width();
    if (static_cast<int64_t>(x) + w >= width) {
      x = x0;
      y = NextRow(y, TempLabel->Height());
    }
    return w;
  };
  auto output = [&](const QString& text, ColourValue colour) {
    PrintObj->setCurrentX(x);
    PrintObj->setCurrentY(y);
    PrintObj->setForeColor(colour);
    PrintObj->Print(text);
  };

  // 6. The sentence line.
  QList<bool> matches;
  for (qsizetype j = 0; j < sentenceTokens.size(); ++j) {
    const int32_t w = placeToken(sentenceTokens[j]);
    const bool match = LowerCaseText(sentenceTokens[j]) == LowerCaseText(typedTokens[j]);
    matches << match;
    output(sentenceTokens[j], match ? kMatchColour : kSentenceMissColour);
    x = SaturatedTwips(static_cast<int64_t>(x) + w);
  }

  // 7. The typed line starts on the row below the sentence line's last row.
  x = x0;
  y = NextRow(y, TempLabel->Height());

  // 8. The typed line.
  for (qsizetype j = 0; j < typedTokens.size(); ++j) {
    const QString& typed = typedTokens[j];
    const QString& sentence = sentenceTokens[j];
    const int32_t w = placeToken(typed);
    if (matches[j] && typed != sentence) {
      // Capitals only: letter by letter, red where the case differs. Lower
      // casing keeps lengths, so both tokens have their characters at the
      // same positions. No wrapping inside a token.
      for (qsizetype at = 0; at < typed.size();) {
        const qsizetype length = CharacterLength(typed, at);
        const QString character = typed.mid(at, length);
        TempLabel->setCaption(character);
        const int32_t cw = TempLabel->Width();
        output(character, character == sentence.mid(at, length) ? kMatchColour : kTypedMissColour);
        x = SaturatedTwips(static_cast<int64_t>(x) + cw);
        at += length;
      }
    } else {
      output(typed, matches[j] ? kMatchColour : kTypedMissColour);
      x = SaturatedTwips(static_cast<int64_t>(x) + w);
    }
  }
}

}  // namespace ChaSenMod
