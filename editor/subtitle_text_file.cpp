#include "editor/subtitle_text_file.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "core/material_store.h"
#include "core/text_codec.h"

namespace {

// Larger files are no lyrics or subtitles; reading them whole would only
// exhaust memory.
constexpr qint64 kMaxFileBytes = 16LL * 1024 * 1024;
constexpr char16_t kByteOrderMark = 0xFEFF;

const QString& TooBigMessage() {
  static const QString text = QStringLiteral("导入失败：文件太大（超过16MB），不是歌词或字幕文件。");
  return text;
}

const QString& Utf16Message() {
  static const QString text = QStringLiteral(
      "无法读取此文件：它是UTF-16（Unicode）编码的。请用文本编辑器把它另存为UTF-8或ANSI编码后再导入。");
  return text;
}

bool StartsWith(const QByteArray& bytes, std::initializer_list<unsigned char> prefix) {
  if (bytes.size() < static_cast<qsizetype>(prefix.size())) return false;
  qsizetype i = 0;
  for (unsigned char b : prefix) {
    if (static_cast<unsigned char>(bytes[i++]) != b) return false;
  }
  return true;
}

// UTF-16 without a byte-order mark: text in it has a zero byte in nearly
// every other place, which no ANSI or UTF-8 text has.
bool LooksLikeUtf16(const QByteArray& bytes) {
  const qsizetype n = std::min<qsizetype>(bytes.size(), 4096);
  if (n < 4) return false;
  qsizetype zeros[2] = {0, 0};
  for (qsizetype i = 0; i < n; ++i) {
    if (bytes[i] == '\0') ++zeros[i % 2];
  }
  const qsizetype half = n / 2;
  return zeros[0] * 10 >= half * 3 || zeros[1] * 10 >= half * 3;
}

// A UTF-8 byte-order mark at the start of a line of a file that is read as
// GB18030 (a UTF-8 part joined to an ANSI part): its bytes would decode to
// "锘" and a stray character.
QByteArray DropLineStartUtf8Marks(const QByteArray& bytes) {
  if (!bytes.contains("\xEF\xBB\xBF")) return bytes;
  QByteArray result;
  result.reserve(bytes.size());
  const qsizetype n = bytes.size();
  qsizetype i = 0;
  while (i < n) {
    const bool lineStart = i == 0 || bytes[i - 1] == '\r' || bytes[i - 1] == '\n';
    if (lineStart && i + 2 < n && bytes.mid(i, 3) == "\xEF\xBB\xBF") {
      i += 3;
      continue;
    }
    result.append(bytes[i]);
    ++i;
  }
  return result;
}

QString DropLineStartMarks(const QString& text) {
  if (!text.contains(QChar(kByteOrderMark))) return text;
  QString result;
  result.reserve(text.size());
  bool lineStart = true;
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = text[i];
    if (lineStart && c == QChar(kByteOrderMark)) continue;
    lineStart = c == QLatin1Char('\n');
    result += c;
  }
  return result;
}

}  // namespace

bool IsUtf8(const QByteArray& bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
  const qsizetype n = bytes.size();
  qsizetype i = 0;
  while (i < n) {
    const unsigned char b = p[i];
    if (b < 0x80) {
      ++i;
      continue;
    }
    int more = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
      more = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
      more = 2;
      if (b == 0xE0) low = 0xA0;   // overlong
      if (b == 0xED) high = 0x9F;  // surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
      more = 3;
      if (b == 0xF0) low = 0x90;   // overlong
      if (b == 0xF4) high = 0x8F;  // beyond U+10FFFF
    } else {
      return false;
    }
    if (n - i <= more) return false;
    for (int k = 1; k <= more; ++k) {
      const unsigned char c = p[i + k];
      const unsigned char lo = k == 1 ? low : 0x80;
      const unsigned char hi = k == 1 ? high : 0xBF;
      if (c < lo || c > hi) return false;
    }
    i += more + 1;
  }
  return true;
}

SubtitleText DecodeSubtitleBytes(const QByteArray& bytes) {
  SubtitleText result;
  result.found = true;
  // UTF-32 marks start like UTF-16 ones (FF FE 00 00) and are refused alike.
  if (StartsWith(bytes, {0xFF, 0xFE}) || StartsWith(bytes, {0xFE, 0xFF}) ||
      StartsWith(bytes, {0x00, 0x00, 0xFE, 0xFF}) || LooksLikeUtf16(bytes)) {
    result.failure = Utf16Message();
    return result;
  }
  QString decoded;
  if (StartsWith(bytes, {0xEF, 0xBB, 0xBF})) {
    decoded = QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
  } else if (IsUtf8(bytes)) {
    decoded = QString::fromUtf8(bytes);
  } else {
    decoded = ProMod::DecodeAnsi(DropLineStartUtf8Marks(bytes));
  }
  result.text = DropLineStartMarks(ProMod::JoinFileLines(decoded));
  return result;
}

SubtitleText ReadSubtitleText(const QString& path) {
  SubtitleText result;
  if (path.isEmpty()) return result;
  const QFileInfo info(path);
  if (!info.exists() || !info.isFile()) return result;
  result.found = true;
  if (info.size() > kMaxFileBytes) {
    result.failure = TooBigMessage();
    return result;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    // Gone between the check and the opening: as if it had never been there.
    if (!QFileInfo::exists(path)) return SubtitleText{};
    result.failure = QStringLiteral("无法读取此文件，请检查是否有读取权限或文件正被其他程序占用。");
    return result;
  }
  const QByteArray bytes = file.read(kMaxFileBytes + 1);
  file.close();
  if (bytes.size() > kMaxFileBytes) {
    result.failure = TooBigMessage();
    return result;
  }
  return DecodeSubtitleBytes(bytes);
}
