// Builds the audio test files from speech that espeak-ng wrote and MP3s
// that lame encoded (see CMakeLists.txt), and writes the manifest of
// expected lengths. Everything here is independent of the player's own
// decoder: lengths come from WAV sample counts, either of the encoder's
// input or of lame's own decoder.
//
//   media_tool stereo IN.wav OUT.wav   mono 22.05 kHz -> stereo 44.1 kHz
//   media_tool picture OUT.png         a ~200 KB picture for an ID3 tag
//   media_tool derive DIR              the files that must be refused, a
//                                      truncated file, a copy at an odd name
//   media_tool manifest DIR            DIR/manifest.txt
#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>
#include <QTextStream>
#include <cstdint>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Wav {
  int rate = 0;
  int channels = 0;
  std::vector<int16_t> samples;  // interleaved
  int64_t Frames() const { return channels ? static_cast<int64_t>(samples.size()) / channels : 0; }
};

uint32_t Le32(const char* p) {
  const auto* u = reinterpret_cast<const unsigned char*>(p);
  return u[0] | (u[1] << 8) | (u[2] << 16) | (uint32_t(u[3]) << 24);
}
uint16_t Le16(const char* p) {
  const auto* u = reinterpret_cast<const unsigned char*>(p);
  return static_cast<uint16_t>(u[0] | (u[1] << 8));
}

bool ReadWav(const QString& path, Wav* wav) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return false;
  const QByteArray all = f.readAll();
  if (all.size() < 12 || !all.startsWith("RIFF") || all.mid(8, 4) != "WAVE") return false;
  qsizetype pos = 12;
  bool haveFormat = false;
  while (pos + 8 <= all.size()) {
    const QByteArray id = all.mid(pos, 4);
    qsizetype size = Le32(all.constData() + pos + 4);
    const char* body = all.constData() + pos + 8;
    // Streaming writers leave the data size open (0 or 0xFFFFFFFF).
    if (id == "data" && (size == 0 || pos + 8 + size > all.size())) size = all.size() - pos - 8;
    if (id == "fmt ") {
      if (Le16(body) != 1 || Le16(body + 14) != 16) return false;  // 16-bit PCM only
      wav->channels = Le16(body + 2);
      wav->rate = static_cast<int>(Le32(body + 4));
      haveFormat = true;
    } else if (id == "data" && haveFormat) {
      wav->samples.resize(static_cast<size_t>(size / 2));
      for (size_t i = 0; i < wav->samples.size(); ++i) wav->samples[i] = static_cast<int16_t>(Le16(body + 2 * i));
      return wav->channels > 0;
    }
    pos += 8 + size + (size & 1);
  }
  return false;
}

bool WriteWav(const QString& path, const Wav& wav) {
  QByteArray out;
  auto put32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) out.append(char((v >> (8 * i)) & 0xFF)); };
  auto put16 = [&](uint16_t v) { out.append(char(v & 0xFF)); out.append(char(v >> 8)); };
  const uint32_t dataBytes = static_cast<uint32_t>(wav.samples.size() * 2);
  out.append("RIFF");
  put32(36 + dataBytes);
  out.append("WAVEfmt ");
  put32(16);
  put16(1);
  put16(static_cast<uint16_t>(wav.channels));
  put32(static_cast<uint32_t>(wav.rate));
  put32(static_cast<uint32_t>(wav.rate * wav.channels * 2));
  put16(static_cast<uint16_t>(wav.channels * 2));
  put16(16);
  out.append("data");
  put32(dataBytes);
  for (int16_t s : wav.samples) put16(static_cast<uint16_t>(s));
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(out) == out.size();
}

// Doubles the rate by linear interpolation (exactly twice the frames) and
// makes the right channel half as loud as the left, so that a channel mix-up
// shows in the decoded samples.
int Stereo(const QString& in, const QString& out) {
  Wav src;
  if (!ReadWav(in, &src) || src.channels != 1) return 1;
  Wav dst;
  dst.rate = src.rate * 2;
  dst.channels = 2;
  const size_t n = src.samples.size();
  dst.samples.reserve(n * 4);
  for (size_t i = 0; i < n; ++i) {
    const int a = src.samples[i];
    const int b = i + 1 < n ? src.samples[i + 1] : a;
    for (int v : {a, (a + b) / 2}) {
      dst.samples.push_back(static_cast<int16_t>(v));
      dst.samples.push_back(static_cast<int16_t>(v / 2));
    }
  }
  return WriteWav(out, dst) ? 0 : 1;
}

// A fixed pseudo-random sequence, the same on every build.
struct Lcg {
  uint64_t state;
  uint32_t Next() {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>(state >> 33);
  }
};

int Picture(const QString& out) {
  QImage image(256, 256, QImage::Format_RGB32);
  Lcg rng{7};
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, rng.Next() | 0xFF000000u);
  return image.save(out, "PNG") ? 0 : 1;
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray ReadBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray Noise(qsizetype size, uint64_t seed) {
  Lcg rng{seed};
  QByteArray noise(size, 0);
  for (char& c : noise) c = static_cast<char>(rng.Next() & 0xFF);
  return noise;
}

void PutLe(QByteArray* out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out->append(char((value >> (8 * i)) & 0xFF));
}

// MPEG layer III in a RIFF/WAVE file, as old recorders wrote it: format tag
// 0x55 with its 12 extra bytes, a fact chunk, the data chunk holding the
// MP3 stream, and an INFO list after it that is no audio.
QByteArray RiffMpeg(const QByteArray& mp3) {
  QByteArray body("WAVE");
  body.append("fmt ");
  PutLe(&body, 30, 4);
  PutLe(&body, 0x55, 2);       // MPEG layer III
  PutLe(&body, 2, 2);          // channels
  PutLe(&body, 44100, 4);      // sample rate
  PutLe(&body, 16000, 4);      // bytes per second
  PutLe(&body, 1, 2);          // block align
  PutLe(&body, 0, 2);          // bits per sample
  PutLe(&body, 12, 2);         // extra bytes
  PutLe(&body, 1, 2);          // MPEGLAYER3_ID_MPEG
  PutLe(&body, 0, 4);          // flags
  PutLe(&body, 418, 2);        // block size
  PutLe(&body, 1, 2);          // frames per block
  PutLe(&body, 1393, 2);       // codec delay
  body.append("fact");
  PutLe(&body, 4, 4);
  PutLe(&body, 0, 4);
  body.append("data");
  PutLe(&body, static_cast<uint32_t>(mp3.size()), 4);
  body.append(mp3);
  if (mp3.size() & 1) body.append('\0');
  const QByteArray info = QByteArray("INFOINAM") + QByteArray("\x0c\0\0\0", 4) + QByteArray("Lesson one\0\0", 12);
  body.append("LIST");
  PutLe(&body, static_cast<uint32_t>(info.size()), 4);
  body.append(info);
  QByteArray riff("RIFF");
  PutLe(&riff, static_cast<uint32_t>(body.size()), 4);
  return riff + body;
}

// Files that other players open: junk before the first frame, MPEG audio in
// a RIFF file, a tag followed by padding it does not count. And one they
// might, which is refused: frames only beyond the first 64 KB.
bool DeriveVariants(const QDir& dir, const QByteArray& cbr) {
  auto at = [&](const char* name) { return dir.filePath(QString::fromUtf8(name)); };
  // An ID3v2.3 tag with one title frame, then 3000 zero bytes outside it.
  QByteArray tag("ID3\x03\x00\x00\x00\x00\x00\x15TIT2\x00\x00\x00\x0b\x00\x00\x00Lesson one", 31);
  tag.append(QByteArray(3000, 0));
  // Junk that starts like nothing in particular.
  QByteArray junk1k = Noise(1024, 99), junk60k = Noise(60 * 1024, 98);
  QByteArray junkHalf = Noise(std::max<qsizetype>(cbr.size(), 70 * 1024), 97);
  for (QByteArray* junk : {&junk1k, &junk60k, &junkHalf}) (*junk)[0] = 0x3C;
  return WriteBytes(at("junk_1k.mp3"), junk1k + cbr) && WriteBytes(at("junk_60k.mp3"), junk60k + cbr) &&
         WriteBytes(at("riff_mpeg.mp3"), RiffMpeg(cbr)) && WriteBytes(at("id3_padding.mp3"), tag + cbr) &&
         WriteBytes(at("second_half.mp3"), junkHalf + cbr);
}

int Derive(const QString& dirPath) {
  const QDir dir(dirPath);
  auto at = [&](const QString& name) { return dir.filePath(name); };
  // Files that must be refused.
  Lcg rng{12345};
  QByteArray noise(64 * 1024, 0);
  for (char& c : noise) c = static_cast<char>(rng.Next() & 0xFF);
  // Make sure the noise does not open with an ID3 tag or a frame sync.
  noise[0] = 0x12;
  // An ID3v2.3 tag holding only padding, and no audio after it.
  QByteArray tagOnly("ID3\x03\x00\x00\x00\x00\x08\x00", 10);
  tagOnly.append(QByteArray(1024, 0));
  const QByteArray cbr = ReadBytes(at("cbr_stereo.mp3"));
  if (cbr.isEmpty()) return 1;
  if (!WriteBytes(at("random.mp3"), noise) || !WriteBytes(at("empty.mp3"), QByteArray()) ||
      !WriteBytes(at("tag_only.mp3"), tagOnly) || !WriteBytes(at("wav_renamed.mp3"), ReadBytes(at("speech.wav"))) ||
      !WriteBytes(at("truncated.mp3"), cbr.left(cbr.size() * 6 / 10)) || !DeriveVariants(dir, cbr))
    return 1;
  // A name with spaces, quotes and Chinese characters.
  const QString oddName = QStringLiteral("课文 \"第一课\" it's.mp3");
  return WriteBytes(at(oddName), cbr) ? 0 : 1;
}

int Manifest(const QString& dirPath) {
  const QDir dir(dirPath);
  auto at = [&](const QString& name) { return dir.filePath(name); };
  Wav speech, stereo;
  if (!ReadWav(at("speech.wav"), &speech) || !ReadWav(at("stereo.wav"), &stereo)) return 1;

  // Expected lengths. With lame's gapless information in the file, the
  // decoded length is the encoder's input length; lame's own decoder must
  // agree. Without it, every frame's samples count: lame's decoder drops the
  // 529-sample decoder delay that such a decode keeps. A truncated file has
  // no exact expectation (0): its gapless data no longer fits the frames.
  struct Entry {
    const char* mp3;
    const char* decoded;  // lame --decode output
    const Wav* source;    // encoder input, or null without gapless data
    bool exact = true;
  };
  const Entry entries[] = {
      {"cbr_stereo.mp3", "cbr_stereo.dec.wav", &stereo},
      {"vbr_xing.mp3", "vbr_xing.dec.wav", &stereo},
      {"vbr_no_xing.mp3", "vbr_no_xing.dec.wav", nullptr},
      {"mono22.mp3", "mono22.dec.wav", &speech},
      {"id3_picture.mp3", "id3_picture.dec.wav", &stereo},
      {"truncated.mp3", "truncated.dec.wav", nullptr, false},
  };
  QFile manifest(at("manifest.txt"));
  if (!manifest.open(QIODevice::WriteOnly | QIODevice::Text)) return 1;
  QTextStream outText(&manifest);
  outText << "# file rate channels expected_frames lame_decoded_frames\n";
  for (const Entry& e : entries) {
    Wav decoded;
    if (!ReadWav(at(e.decoded), &decoded)) {
      std::fprintf(stderr, "media_tool: cannot read %s\n", e.decoded);
      return 1;
    }
    int64_t expected = e.exact ? decoded.Frames() + 529 : 0;
    if (e.source) {
      expected = e.source->Frames();
      if (decoded.Frames() != expected || decoded.rate != e.source->rate) {
        std::fprintf(stderr, "media_tool: %s decodes to %lld frames, input had %lld\n", e.mp3,
                     static_cast<long long>(decoded.Frames()), static_cast<long long>(expected));
        return 1;
      }
    }
    outText << e.mp3 << ' ' << decoded.rate << ' ' << decoded.channels << ' ' << expected << ' ' << decoded.Frames()
            << '\n';
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && QString::fromUtf8(argv[1]) == "stereo") return Stereo(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
  if (argc == 3 && QString::fromUtf8(argv[1]) == "picture") return Picture(QString::fromLocal8Bit(argv[2]));
  if (argc == 3 && QString::fromUtf8(argv[1]) == "derive") return Derive(QString::fromLocal8Bit(argv[2]));
  if (argc == 3 && QString::fromUtf8(argv[1]) == "manifest") return Manifest(QString::fromLocal8Bit(argv[2]));
  std::fprintf(stderr, "usage: media_tool stereo IN OUT | picture OUT | derive DIR | manifest DIR\n");
  return 2;
}
