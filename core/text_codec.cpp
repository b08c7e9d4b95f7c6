#include "core/text_codec.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace ProMod {
namespace {

constexpr char32_t kEuro = 0x20AC;
constexpr char32_t kReplacement = 0xFFFD;
// Code page 936 writes the euro sign as this single byte; GB18030 has no
// meaning for it.
constexpr unsigned char kEuroByte = 0x80;
// Bytes handed to iconv per call (a multiple of 4, for UTF-32 input).
constexpr size_t kChunk = 4096;

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (Valid()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t Get() const { return cd_; }
  void Reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

 private:
  iconv_t cd_;
};

}  // namespace

QString DecodeAnsi(const QByteArray& bytes) {
  if (bytes.isEmpty()) return QString();
  Converter conv("UTF-32LE", "GB18030");
  if (!conv.Valid()) return QString::fromLatin1(bytes);

  // Decoded text never has more characters than the file has bytes. The
  // input goes to iconv in pieces: a cost per call that grows with the
  // length handed over (as under AddressSanitizer) then stays bounded.
  std::vector<char32_t> points(static_cast<size_t>(bytes.size()) + 1);
  size_t produced = 0;
  char* in = const_cast<char*>(bytes.constData());
  size_t inLeft = static_cast<size_t>(bytes.size());
  while (inLeft > 0) {
    size_t chunk = std::min(inLeft, kChunk);
    const size_t chunkSize = chunk;
    char* out = reinterpret_cast<char*>(points.data() + produced);
    size_t outLeft = (points.size() - produced) * sizeof(char32_t);
    const size_t before = outLeft;
    const size_t rc = iconv(conv.Get(), &in, &chunk, &out, &outLeft);
    produced += (before - outLeft) / sizeof(char32_t);
    inLeft -= chunkSize - chunk;
    if (rc != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) {
      points.resize(points.size() * 2);
      continue;
    }
    // A sequence cut by the end of the piece: the next piece holds the rest.
    if (errno == EINVAL && chunk < inLeft) continue;
    // An invalid or cut-off sequence: the euro byte of code page 936 reads
    // as the euro sign, anything else as the replacement character; then go
    // on with the next byte.
    const unsigned char bad = static_cast<unsigned char>(*in);
    points[produced++] = bad == kEuroByte ? kEuro : kReplacement;
    ++in;
    --inLeft;
    conv.Reset();
  }
  return QString::fromUcs4(points.data(), static_cast<qsizetype>(produced));
}

QByteArray EncodeAnsi(const QString& text) {
  QByteArray result;
  if (text.isEmpty()) return result;
  result.reserve(text.size() * 2);
  Converter conv("GB18030", "UTF-32LE");

  // Code points, with unpaired surrogates replaced: they are no characters
  // and no encoding can carry them.
  std::u32string points;
  points.reserve(static_cast<size_t>(text.size()));
  const QChar* p = text.constData();
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    const char16_t c = p[i].unicode();
    if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(p[i + 1].unicode())) {
      points.push_back(QChar::surrogateToUcs4(c, p[i + 1].unicode()));
      ++i;
    } else if (QChar::isSurrogate(c)) {
      points.push_back(kReplacement);
    } else {
      points.push_back(c);
    }
  }
  if (!conv.Valid()) {
    for (char32_t cp : points) result.append(cp < 0x80 ? static_cast<char>(cp) : '?');
    return result;
  }

  std::vector<char> buffer(8192);
  auto convertRun = [&](const char32_t* begin, size_t count) {
    char* in = reinterpret_cast<char*>(const_cast<char32_t*>(begin));
    size_t inLeft = count * sizeof(char32_t);
    while (inLeft > 0) {
      char* out = buffer.data();
      size_t outLeft = buffer.size();
      size_t chunk = std::min(inLeft, kChunk);
      const size_t chunkSize = chunk;
      const size_t rc = iconv(conv.Get(), &in, &chunk, &out, &outLeft);
      inLeft -= chunkSize - chunk;
      result.append(buffer.data(), static_cast<qsizetype>(buffer.size() - outLeft));
      if (rc != static_cast<size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      // Not representable (should not happen with GB18030): a question mark,
      // as the code page conversion would write.
      result.append('?');
      in += sizeof(char32_t);
      inLeft = inLeft >= sizeof(char32_t) ? inLeft - sizeof(char32_t) : 0;
      conv.Reset();
    }
    // Flush any shift state.
    char* out = buffer.data();
    size_t outLeft = buffer.size();
    iconv(conv.Get(), nullptr, nullptr, &out, &outLeft);
    result.append(buffer.data(), static_cast<qsizetype>(buffer.size() - outLeft));
  };

  size_t runStart = 0;
  for (size_t i = 0; i < points.size(); ++i) {
    if (points[i] == kEuro) {
      if (i > runStart) convertRun(points.data() + runStart, i - runStart);
      result.append(static_cast<char>(kEuroByte));
      runStart = i + 1;
    }
  }
  if (runStart < points.size()) convertRun(points.data() + runStart, points.size() - runStart);
  return result;
}

}  // namespace ProMod
