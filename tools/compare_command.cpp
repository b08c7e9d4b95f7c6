#include <QFont>
#include <QImage>
#include <cmath>

#include "practice/answer_comparison.h"
#include "practice/comparison_drawing.h"
#include "tools/commands.h"

namespace velmo_tool {
namespace {

constexpr int kMaxImageSide = 32767;  // pixels
constexpr int32_t kMarginTwips = 120;  // left and top margin, as in the dictation window

void PrintCompareUsage(QTextStream& err) {
  err << "usage: velmo-tool compare [--image OUT.png --width PIXELS] [--] SENTENCE TYPED\n";
}

// A JSON string literal. Characters that JSON cannot carry raw (quotes,
// backslashes, control characters) and surrogates without their partner are
// written as escapes, so the text comes back exactly as it was.
QString JsonString(const QString& text) {
  QString out;
  out.reserve(text.size() + 2);
  out += QLatin1Char('"');
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    const char16_t u = c.unicode();
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      out += c;
      out += text[++i];
    } else if (u == u'"') {
      out += QStringLiteral("\\\"");
    } else if (u == u'\\') {
      out += QStringLiteral("\\\\");
    } else if (u == u'\n') {
      out += QStringLiteral("\\n");
    } else if (u == u'\r') {
      out += QStringLiteral("\\r");
    } else if (u == u'\t') {
      out += QStringLiteral("\\t");
    } else if (u < 0x20 || c.isSurrogate()) {
      out += QStringLiteral("\\u%1").arg(static_cast<unsigned>(u), 4, 16, QLatin1Char('0'));
    } else {
      out += c;
    }
  }
  out += QLatin1Char('"');
  return out;
}

// {"pairs": [[sentence token, typed token], ...]} with the filler as "_".
QString PairsJson(const ChaSenMod::PairList& result) {
  QString out = QStringLiteral("{\"pairs\": [");
  for (qsizetype j = 0; j < result.pairs.size(); ++j) {
    if (j > 0) out += QStringLiteral(", ");
    const QString sentence = QString(result.pairs[j].sentence).replace(result.filler, QLatin1Char('_'));
    const QString typed = QString(result.pairs[j].typed).replace(result.filler, QLatin1Char('_'));
    out += QLatin1Char('[') + JsonString(sentence) + QStringLiteral(", ") + JsonString(typed) + QLatin1Char(']');
  }
  out += QStringLiteral("]}");
  return out;
}

QFont ImageFont() {
  QFont font(QStringLiteral("Noto Sans CJK SC"));
  font.setPixelSize(16);
  return font;
}

// Draws the comparison into an image `width` pixels wide and as tall as the
// drawing (plus the top margin below it). Returns false when the drawing is
// taller than an image can be; the image then holds its top part.
bool DrawImage(const QString& sentence, const QString& typed, int width, QImage* image) {
  const QFont font = ImageFont();
  // A first pass on a one-pixel-high image finds where the last row ends.
  QImage probe(width, 1, QImage::Format_RGB32);
  ChaSenMod::PrintSurface probeSurface(&probe, font);
  ChaSenMod::MeasureLabel label;
  ChaSenMod::DrawComparison(sentence, typed, &probeSurface, &label, kMarginTwips, kMarginTwips, true);
  label.setCaption(QStringLiteral("X"));
  const double bottomTwips = static_cast<double>(probeSurface.CurrentY()) + label.Height() + kMarginTwips;
  const double heightPx = std::ceil(bottomTwips / 15.0);
  const bool fits = heightPx <= kMaxImageSide;
  const int height = fits ? static_cast<int>(std::max(1.0, heightPx)) : kMaxImageSide;

  *image = QImage(width, height, QImage::Format_RGB32);
  ChaSenMod::PrintSurface surface(image, font);
  ChaSenMod::DrawComparison(sentence, typed, &surface, &label, kMarginTwips, kMarginTwips, true);
  return fits;
}

}  // namespace

// velmo-tool compare SENTENCE TYPED: the word-by-word comparison as JSON;
// with --image OUT.png --width PIXELS also the coloured drawing as a PNG.
int RunCompare(const QStringList& args, QTextStream& out, QTextStream& err) {
  QString imagePath;
  QString widthText;
  QStringList texts;
  bool optionsEnded = false;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    if (!optionsEnded && arg == QLatin1String("--")) {
      optionsEnded = true;
    } else if (!optionsEnded && (arg == QLatin1String("--image") || arg == QLatin1String("--width"))) {
      if (i + 1 >= args.size()) {
        err << "compare: " << arg << " needs a value\n";
        PrintCompareUsage(err);
        return 2;
      }
      (arg == QLatin1String("--image") ? imagePath : widthText) = args[++i];
    } else if (!optionsEnded && arg.startsWith(QLatin1String("--"))) {
      err << "compare: unknown option " << arg << "\n";
      PrintCompareUsage(err);
      return 2;
    } else {
      texts << arg;
    }
  }
  if (texts.size() != 2) {
    PrintCompareUsage(err);
    return 2;
  }
  if (imagePath.isEmpty() != widthText.isEmpty()) {
    err << "compare: --image and --width go together\n";
    PrintCompareUsage(err);
    return 2;
  }
  int width = 0;
  if (!widthText.isEmpty()) {
    bool ok = false;
    width = widthText.toInt(&ok);
    if (!ok || width < 1 || width > kMaxImageSide) {
      err << "compare: the width must be a whole number of pixels from 1 to " << kMaxImageSide << "\n";
      return 2;
    }
  }

  out << PairsJson(ChaSenMod::AlignAnswer(texts[0], texts[1])) << "\n";
  out.flush();

  if (imagePath.isEmpty()) return 0;
  QImage image;
  if (!DrawImage(texts[0], texts[1], width, &image)) {
    err << "compare: the drawing is taller than " << kMaxImageSide << " pixels; the image shows its top part\n";
  }
  if (!image.save(imagePath, "PNG")) {
    err << "compare: cannot write " << imagePath << "\n";
    return 1;
  }
  return 0;
}

}  // namespace velmo_tool
