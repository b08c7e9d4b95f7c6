#include "platform/mp3_decoder.h"

#include <mpg123.h>

#include <QFile>
#include <QIODevice>
#include <algorithm>
#include <array>
#include <cstring>

namespace platform {
namespace {

// ---------------------------------------------------------------------------
// Recognising an MPEG audio stream before the library sees it. libmpg123
// resynchronises on anything that looks like a frame header, so a WAV file
// or random data would "decode" to a few hundred milliseconds of noise.

// Accepted: a run of kRunFrames frame headers with the same version, layer
// and sample rate, each frame starting where the one before ends, whose
// first frame starts within kSearchWindow bytes of the audio area.
constexpr int kRunFrames = 4;
constexpr qint64 kSearchWindow = 64 * 1024;
// The longest frame there is: MPEG-2.5 layer II at 160 kbit/s and 8 kHz.
constexpr qint64 kMaxFrameBytes = 2881;

struct FrameHeader {
  int version = 0;  // 1 = MPEG-1, 2 = MPEG-2, 25 = MPEG-2.5
  int layer = 0;    // 1, 2 or 3
  int sampleRate = 0;
  int length = 0;  // bytes, header included
};

bool ParseFrameHeader(const unsigned char* b, FrameHeader* h) {
  if (b[0] != 0xFF || (b[1] & 0xE0) != 0xE0) return false;
  const int versionBits = (b[1] >> 3) & 3;
  const int layerBits = (b[1] >> 1) & 3;
  const int bitrateIndex = b[2] >> 4;
  const int rateIndex = (b[2] >> 2) & 3;
  const int padding = (b[2] >> 1) & 1;
  const int emphasis = b[3] & 3;
  // Reserved values; a free-format bitrate (index 0) gives no frame length
  // to check and does not occur in practice.
  if (versionBits == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3 ||
      emphasis == 2)
    return false;

  static const int kRates[3] = {44100, 48000, 32000};
  static const int kBitrates[5][15] = {
      {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // MPEG-1 layer I
      {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // MPEG-1 layer II
      {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // MPEG-1 layer III
      {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},     // MPEG-2/2.5 layer I
      {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},          // MPEG-2/2.5 layers II, III
  };
  h->version = versionBits == 3 ? 1 : (versionBits == 2 ? 2 : 25);
  h->layer = 4 - layerBits;
  h->sampleRate = kRates[rateIndex] / (h->version == 1 ? 1 : (h->version == 2 ? 2 : 4));
  const int table = h->version == 1 ? h->layer - 1 : (h->layer == 1 ? 3 : 4);
  const int bitrate = kBitrates[table][bitrateIndex] * 1000;
  if (h->layer == 1) {
    h->length = (12 * bitrate / h->sampleRate + padding) * 4;
  } else if (h->layer == 3 && h->version != 1) {
    h->length = 72 * bitrate / h->sampleRate + padding;
  } else {
    h->length = 144 * bitrate / h->sampleRate + padding;
  }
  return h->length >= 4;
}

// Reads exactly n bytes at offset; false at the end of the data.
bool ReadAt(QIODevice& dev, qint64 offset, unsigned char* out, qint64 n) {
  if (!dev.seek(offset)) return false;
  return dev.read(reinterpret_cast<char*>(out), n) == n;
}

uint32_t Le32(const unsigned char* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }

// The part of the data that may hold MPEG audio: after any ID3v2 tags, or
// the data chunk of a RIFF/WAVE file whose format is MPEG audio.
struct AudioArea {
  qint64 begin = 0;
  qint64 end = 0;
  bool valid = false;
};

// Format tags of RIFF/WAVE files holding MPEG audio: layers I and II, and
// layer III.
constexpr uint16_t kWaveMpeg = 0x50;
constexpr uint16_t kWaveMpegLayer3 = 0x55;

// A RIFF/WAVE file: its data chunk when the format is MPEG audio; invalid
// for any other format (PCM above all) or without a data chunk.
AudioArea RiffArea(QIODevice& dev, qint64 size) {
  AudioArea area;
  unsigned char b[16];
  qint64 offset = 12;
  int format = -1;
  while (offset + 8 <= size && ReadAt(dev, offset, b, 8)) {
    const qint64 chunk = Le32(b + 4);
    const qint64 body = offset + 8;
    if (std::memcmp(b, "fmt ", 4) == 0 && chunk >= 2 && ReadAt(dev, body, b + 8, 2)) {
      format = b[8] | (b[9] << 8);
    } else if (std::memcmp(b, "data", 4) == 0) {
      if (format != kWaveMpeg && format != kWaveMpegLayer3) return area;
      area.begin = body;
      // Writers that stream leave the size open (0 or too large).
      area.end = (chunk == 0 || body + chunk > size) ? size : body + chunk;
      area.valid = area.begin < area.end;
      return area;
    }
    offset = body + chunk + (chunk & 1);
  }
  return area;
}

// Where audio may start: after any number of ID3v2 tags ("ID3", version,
// flags, a 28-bit size in four 7-bit bytes, the body and, with flag 0x10,
// a 10-byte footer), or inside a RIFF/WAVE file's MPEG data chunk.
AudioArea FindAudioArea(QIODevice& dev) {
  const qint64 size = dev.size();
  unsigned char b[12];
  if (ReadAt(dev, 0, b, 12) && std::memcmp(b, "RIFF", 4) == 0 && std::memcmp(b + 8, "WAVE", 4) == 0)
    return RiffArea(dev, size);
  AudioArea area;
  qint64 offset = 0;
  while (ReadAt(dev, offset, b, 10) && b[0] == 'I' && b[1] == 'D' && b[2] == '3') {
    if (b[3] == 0xFF || b[4] == 0xFF || (b[6] | b[7] | b[8] | b[9]) & 0x80) return area;
    const qint64 body = (qint64(b[6]) << 21) | (qint64(b[7]) << 14) | (qint64(b[8]) << 7) | qint64(b[9]);
    offset += 10 + body + ((b[5] & 0x10) ? 10 : 0);
  }
  area.begin = offset;
  area.end = size;
  area.valid = offset < size;  // a tag and no audio is no recording
  return area;
}

// Whether a run of kRunFrames consistent frames starts at `at` in `bytes`.
// A run that reaches `bytes`' end early counts only when `mayEnd` (the
// bytes are all there is) and the run starts the audio area.
bool RunStartsAt(const QByteArray& bytes, qsizetype at, bool mayEnd) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
  FrameHeader first;
  if (!ParseFrameHeader(data + at, &first)) return false;
  qsizetype offset = at + first.length;
  for (int i = 1; i < kRunFrames; ++i) {
    if (offset + 4 > bytes.size()) return mayEnd;
    FrameHeader next;
    if (!ParseFrameHeader(data + offset, &next)) return false;
    if (next.version != first.version || next.layer != first.layer || next.sampleRate != first.sampleRate)
      return false;
    offset += next.length;
  }
  return true;
}

// The first audio frame and the end of the audio, or an invalid area when
// the data holds no MPEG audio by the rule in the header.
AudioArea FindMpegStream(QIODevice& dev) {
  AudioArea area = FindAudioArea(dev);
  if (!area.valid) return area;
  area.valid = false;
  // The window and room for a whole run starting at its last byte.
  const qint64 wanted = std::min(area.end - area.begin, kSearchWindow + kRunFrames * kMaxFrameBytes + 4);
  if (!dev.seek(area.begin)) return area;
  const QByteArray bytes = dev.read(wanted);
  if (bytes.size() != wanted) return area;
  const bool wholeArea = area.begin + wanted == area.end;
  // Zero padding after a tag is no junk: a run right after it may be a
  // short file that ends before kRunFrames frames.
  qsizetype firstNonZero = 0;
  while (firstNonZero < bytes.size() && bytes[firstNonZero] == 0) ++firstNonZero;
  // Runs starting at offsets 0 to 65 535 of the window, with a whole header.
  const qsizetype end = std::min<qsizetype>(kSearchWindow, bytes.size() - 3);
  for (qsizetype at = firstNonZero; at < end; ++at) {
    if (static_cast<unsigned char>(bytes[at]) != 0xFF) continue;
    if (!RunStartsAt(bytes, at, wholeArea && at == firstNonZero)) continue;
    area.begin += at;
    area.valid = true;
    return area;
  }
  return area;
}

// ---------------------------------------------------------------------------
// libmpg123 reads the file through a QFile so that any path Qt can open
// (spaces, quotes, Chinese characters) works the same way. The library sees
// the stream from its first audio frame to the end of the audio: leading
// tags, junk and a RIFF header were dealt with above, and chunks after a
// RIFF file's audio are not its business.

struct Source {
  QFile file;
  qint64 base = 0;  // offset of the first audio frame
  qint64 end = 0;   // offset after the last byte of audio
};

mpg123_ssize_t ReadCallback(void* handle, void* buffer, size_t bytes) {
  auto* src = static_cast<Source*>(handle);
  const qint64 wanted = std::min<qint64>(static_cast<qint64>(bytes), std::max<qint64>(0, src->end - src->file.pos()));
  if (wanted == 0) return 0;
  const qint64 got = src->file.read(static_cast<char*>(buffer), wanted);
  return got < 0 ? -1 : static_cast<mpg123_ssize_t>(got);
}

off_t SeekCallback(void* handle, off_t offset, int whence) {
  auto* src = static_cast<Source*>(handle);
  qint64 target = offset;
  if (whence == SEEK_SET) target += src->base;
  else if (whence == SEEK_CUR) target += src->file.pos();
  else if (whence == SEEK_END) target += src->end;
  else return -1;
  if (target < src->base || target > src->end || !src->file.seek(target)) return -1;
  return static_cast<off_t>(target - src->base);
}

void CleanupCallback(void*) {}  // the Source belongs to the decoder

void InitLibraryOnce() {
  static const bool done = [] {
    mpg123_init();  // a no-op on current versions, required on old ones
    return true;
  }();
  (void)done;
}

}  // namespace

bool LooksLikeMpegAudio(QIODevice& device) {
  const qint64 saved = device.pos();
  const bool ok = FindMpegStream(device).valid;
  device.seek(saved);
  return ok;
}

struct Mp3Decoder::State {
  Source source;
  mpg123_handle* handle = nullptr;
  int rate = 0;
  int channels = 0;
  int64_t length = 0;
  int64_t position = 0;

  ~State() {
    if (handle) {
      mpg123_close(handle);
      mpg123_delete(handle);
    }
  }
};

Mp3Decoder::Mp3Decoder() = default;
Mp3Decoder::~Mp3Decoder() = default;

bool Mp3Decoder::Open(const QString& path) {
  Close();
  InitLibraryOnce();
  auto s = std::make_unique<State>();
  s->source.file.setFileName(path);
  if (!s->source.file.open(QIODevice::ReadOnly)) return false;
  const AudioArea area = FindMpegStream(s->source.file);
  if (!area.valid || !s->source.file.seek(area.begin)) return false;
  s->source.base = area.begin;
  s->source.end = area.end;

  int err = MPG123_OK;
  s->handle = mpg123_new(nullptr, &err);
  if (!s->handle) return false;
  mpg123_handle* h = s->handle;
  // Quiet: the library would otherwise print notes about the stream to
  // stderr. Ten frames decoded ahead of every seek fill the layer III bit
  // reservoir completely, so a decode after a seek is identical to a decode
  // from the start (with the default four, a few seeks in a hundred differ).
  if (mpg123_param(h, MPG123_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0) != MPG123_OK ||
      mpg123_param(h, MPG123_PREFRAMES, 10, 0) != MPG123_OK)
    return false;
  // Only 16-bit output at the stream's own rate and channel count.
  mpg123_format_none(h);
  const long* rates = nullptr;
  size_t rateCount = 0;
  mpg123_rates(&rates, &rateCount);
  for (size_t i = 0; i < rateCount; ++i)
    mpg123_format(h, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);

  if (mpg123_replace_reader_handle(h, ReadCallback, SeekCallback, CleanupCallback) != MPG123_OK) return false;
  if (mpg123_open_handle(h, &s->source) != MPG123_OK) return false;

  long rate = 0;
  int channels = 0;
  int encoding = 0;
  if (mpg123_getformat(h, &rate, &channels, &encoding) != MPG123_OK) return false;
  if (rate <= 0 || (channels != 1 && channels != 2) || encoding != MPG123_ENC_SIGNED_16) return false;
  // Keep this format for the whole stream; should a later frame differ,
  // the library converts it rather than switching formats mid-stream.
  mpg123_format_none(h);
  mpg123_format(h, rate, channels, MPG123_ENC_SIGNED_16);

  // The scan walks every frame once: the exact length and a complete seek
  // index, whatever the headers claim.
  if (mpg123_scan(h) != MPG123_OK) return false;
  const off_t length = mpg123_length(h);
  if (length <= 0) return false;
  if (mpg123_seek(h, 0, SEEK_SET) < 0) return false;

  s->rate = static_cast<int>(rate);
  s->channels = channels;
  s->length = static_cast<int64_t>(length);
  s->position = 0;
  d_ = std::move(s);
  return true;
}

void Mp3Decoder::Close() { d_.reset(); }

bool Mp3Decoder::IsOpen() const { return d_ != nullptr; }
int Mp3Decoder::SampleRate() const { return d_ ? d_->rate : 0; }
int Mp3Decoder::Channels() const { return d_ ? d_->channels : 0; }
int64_t Mp3Decoder::LengthFrames() const { return d_ ? d_->length : 0; }
int64_t Mp3Decoder::Tell() const { return d_ ? d_->position : 0; }

bool Mp3Decoder::SeekToFrame(int64_t frame) {
  if (!d_) return false;
  frame = std::clamp<int64_t>(frame, 0, d_->length);
  if (mpg123_seek(d_->handle, static_cast<off_t>(frame), SEEK_SET) < 0) return false;
  d_->position = frame;
  return true;
}

int64_t Mp3Decoder::Read(char* out, int64_t maxFrames) {
  if (!d_ || maxFrames <= 0) return 0;
  const int64_t frameBytes = BytesPerFrame();
  // Never beyond the scanned length, even if a damaged stream would give more.
  maxFrames = std::min(maxFrames, d_->length - d_->position);
  int64_t wanted = maxFrames * frameBytes;
  int64_t got = 0;
  while (got < wanted) {
    size_t done = 0;
    const int rc = mpg123_read(d_->handle, reinterpret_cast<unsigned char*>(out) + got,
                               static_cast<size_t>(wanted - got), &done);
    got += static_cast<int64_t>(done);
    if (rc == MPG123_NEW_FORMAT) continue;
    if (rc != MPG123_OK || done == 0) break;  // end of the audio or an error
  }
  const int64_t frames = got / frameBytes;
  d_->position += frames;
  return frames;
}

}  // namespace platform
