#include "controls/caption_layout.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <algorithm>
#include <cmath>

struct CaptionLayout::AdvanceTable {
  explicit AdvanceTable(const QFont& font) : metrics(font), bmp(65536, -1.0f) {}
  QFontMetricsF metrics;
  std::vector<float> bmp;  // advance per UTF-16 unit, -1 = not measured yet
  QHash<uint, float> astral;
};

namespace {

// One advance table per font, shared by every list using that font. Only the
// user-interface thread measures captions.
std::shared_ptr<CaptionLayout::AdvanceTable> TableFor(const QFont& font) {
  static QHash<QString, std::shared_ptr<CaptionLayout::AdvanceTable>> tables;
  const QString key = font.key();
  auto it = tables.find(key);
  if (it != tables.end()) return it.value();
  if (tables.size() >= 64) tables.clear();  // fonts change rarely; keep the cache small
  auto table = std::make_shared<CaptionLayout::AdvanceTable>(font);
  tables.insert(key, table);
  return table;
}

// Characters a line may break before or after without a space: ideographs,
// kana, hangul, full-width forms, and the em dash that stands for a hidden
// Chinese character.
bool IsWide(uint c) {
  return (c >= 0x1100 && c <= 0x115F) || c == 0x2014 || (c >= 0x2E80 && c <= 0xA4CF) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
         (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFF);
}

}  // namespace

CaptionLayout::CaptionLayout(const QFont& font) : font_(font), table_(TableFor(font)) {
  QFontMetrics fm(font_);
  lineHeight_ = std::max(1, fm.height());
  ascent_ = fm.ascent();
}

double CaptionLayout::AdvanceAt(const QString& text, int i) const {
  const char16_t u = text.at(i).unicode();
  if (QChar::isHighSurrogate(u) && i + 1 < text.size() && QChar::isLowSurrogate(text.at(i + 1).unicode())) {
    const uint code = QChar::surrogateToUcs4(u, text.at(i + 1).unicode());
    auto it = table_->astral.find(code);
    if (it != table_->astral.end()) return it.value();
    const float a = static_cast<float>(table_->metrics.horizontalAdvance(text.mid(i, 2)));
    table_->astral.insert(code, a);
    return a;
  }
  float& slot = table_->bmp[u];
  if (slot < 0.0f) slot = std::max(0.0f, static_cast<float>(table_->metrics.horizontalAdvance(QChar(u))));
  return slot;
}

template <typename Sink>
void CaptionLayout::Run(const QString& text, double widthPx, bool wrap, Sink&& sink) const {
  const int n = text.size();
  const QChar* s = text.constData();
  auto unitLength = [&](int i) {
    return (s[i].isHighSurrogate() && i + 1 < n && s[i + 1].isLowSurrogate()) ? 2 : 1;
  };
  auto codeAt = [&](int i) {
    return unitLength(i) == 2 ? QChar::surrogateToUcs4(s[i], s[i + 1]) : static_cast<uint>(s[i].unicode());
  };
  int p = 0;
  for (;;) {
    int q = p;
    while (q < n && s[q] != QLatin1Char('\r') && s[q] != QLatin1Char('\n')) ++q;
    if (!wrap) {
      double w = 0;
      for (int i = p; i < q; i += unitLength(i)) w += AdvanceAt(text, i);
      sink(Line{p, q - p, w});
    } else {
      int lineStart = p;
      double lineWidth = 0, pendingSpace = 0;
      bool hasContent = false;
      int i = p;
      while (i < q) {
        if (s[i] == QLatin1Char(' ')) {
          while (i < q && s[i] == QLatin1Char(' ')) pendingSpace += AdvanceAt(text, i++);
          continue;
        }
        int j = i;
        if (IsWide(codeAt(i))) {
          j = i + unitLength(i);
        } else {
          while (j < q && s[j] != QLatin1Char(' ') && !IsWide(codeAt(j))) j += unitLength(j);
        }
        double w = 0;
        for (int k = i; k < j; k += unitLength(k)) w += AdvanceAt(text, k);
        if (hasContent && lineWidth + pendingSpace + w > widthPx) {
          sink(Line{lineStart, i - lineStart, lineWidth});
          lineStart = i;
          lineWidth = 0;
          pendingSpace = 0;
          hasContent = false;
        }
        if (!hasContent && pendingSpace + w > widthPx) {
          // Longer than a whole line: split between characters, at least
          // one character per line.
          double current = pendingSpace;
          for (int k = i; k < j;) {
            const double a = AdvanceAt(text, k);
            if (current + a > widthPx && k > lineStart) {
              sink(Line{lineStart, k - lineStart, current});
              lineStart = k;
              current = 0;
            }
            current += a;
            k += unitLength(k);
          }
          lineWidth = current;
        } else {
          lineWidth += pendingSpace + w;
        }
        pendingSpace = 0;
        hasContent = true;
        i = j;
      }
      sink(Line{lineStart, q - lineStart, hasContent ? lineWidth : pendingSpace});
    }
    if (q >= n) break;
    p = (s[q] == QLatin1Char('\r') && q + 1 < n && s[q + 1] == QLatin1Char('\n')) ? q + 2 : q + 1;
  }
}

void CaptionLayout::BreakLines(const QString& text, double widthPx, bool wrap, std::vector<Line>& lines) const {
  lines.clear();
  Run(text, widthPx, wrap, [&](const Line& line) { lines.push_back(line); });
}

CaptionLayout::Extent CaptionLayout::Measure(const QString& text, double widthPx, bool wrap) const {
  Extent extent;
  extent.lines = 0;
  Run(text, widthPx, wrap, [&](const Line& line) {
    ++extent.lines;
    extent.width = std::max(extent.width, line.width);
  });
  return extent;
}

void CaptionLayout::Paint(QPainter& painter, const QString& text, double x, double y, double widthPx, bool wrap,
                          double clipTop, double clipBottom) const {
  int index = 0;
  Run(text, widthPx, wrap, [&](const Line& line) {
    const double top = y + static_cast<double>(index++) * lineHeight_;
    if (top + lineHeight_ <= clipTop || top >= clipBottom || line.length == 0) return;
    painter.drawText(QPointF(x, top + ascent_), text.mid(line.start, line.length));
  });
}
