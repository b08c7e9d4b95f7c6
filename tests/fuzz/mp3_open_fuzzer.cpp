// Opening a recording: the MPEG stream search, RIFF and ID3v2 parsing, and
// libmpg123 behind them, on any bytes. A file that opens decodes exactly
// its length, also after a seek.
#include <QBuffer>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/mp3_decoder.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString path = fuzz::WriteInput(QStringLiteral("recording.mp3"), data, size);
  QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  const bool looks = platform::LooksLikeMpegAudio(buffer);

  platform::Mp3Decoder decoder;
  if (!decoder.Open(path)) return 0;
  fuzz::Check(looks);
  const int64_t length = decoder.LengthFrames();
  fuzz::Check(length > 0 && decoder.SampleRate() > 0 && (decoder.Channels() == 1 || decoder.Channels() == 2));
  // Decode at most a few seconds from the middle on; never past the length.
  std::vector<char> out(4096 * static_cast<size_t>(decoder.BytesPerFrame()));
  fuzz::Check(decoder.SeekToFrame(length / 2));
  int64_t total = 0;
  for (int i = 0; i < 64; ++i) {
    const int64_t got = decoder.Read(out.data(), 4096);
    if (got <= 0) break;
    total += got;
  }
  fuzz::Check(length / 2 + total <= length);
  return 0;
}
