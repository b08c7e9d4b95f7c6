#pragma once
#include <QString>
#include <cstdint>
#include <memory>

class QIODevice;

namespace platform {

// Streams an MP3 file through libmpg123 as interleaved signed 16-bit PCM at
// the file's own sample rate and channel count.
//
// Counts are in PCM frames (one sample per channel), the unit of
// QAudioFormat::bytesPerFrame(). The length is the exact gapless length:
// the encoder's delay and padding are removed when the file carries that
// information, and the whole stream is scanned once at open time so that
// variable-bitrate files with or without a Xing header get their true
// length and every seek lands on the exact frame.
//
// Nothing is decoded ahead: the file is read in small pieces as Read()
// asks for audio, so memory use does not grow with the recording's length
// (the scan keeps one seek-index entry per MPEG frame, 8 bytes each).
class Mp3Decoder {
 public:
  Mp3Decoder();
  ~Mp3Decoder();
  Mp3Decoder(const Mp3Decoder&) = delete;
  Mp3Decoder& operator=(const Mp3Decoder&) = delete;

  // Opens what holds MPEG audio by the rule of LooksLikeMpegAudio, and
  // nothing else: a PCM WAV file renamed to .mp3, random bytes, an empty
  // file or a tag without audio are refused instead of being decoded from
  // whatever the library manages to resynchronise on. Returns false, and
  // leaves the decoder closed, when the file is refused, cannot be read or
  // decodes to no audio at all.
  bool Open(const QString& path);
  void Close();
  bool IsOpen() const;

  int SampleRate() const;
  int Channels() const;
  int BytesPerFrame() const { return Channels() * 2; }
  int64_t LengthFrames() const;

  // Positions the decoder so that the next Read() starts at exactly this
  // frame (clamped to 0 .. LengthFrames()). Decoding after a seek gives the
  // same samples as decoding from the start.
  bool SeekToFrame(int64_t frame);
  // Frame the next Read() delivers.
  int64_t Tell() const;
  // Decodes up to maxFrames frames into `out` (room for maxFrames *
  // BytesPerFrame() bytes). Returns the frames delivered; fewer only at the
  // end of the audio or on a read error, 0 there.
  int64_t Read(char* out, int64_t maxFrames);

 private:
  struct State;
  std::unique_ptr<State> d_;
};

// True when the device holds MPEG audio by this rule: after any number of
// ID3v2 tags, a run of four frame headers with the same version, layer and
// sample rate (each with a known bitrate, each frame starting where the one
// before ends) begins within the first 64 KB. What lies before the run is
// skipped: zero padding after a tag, or junk (a broken tag writer, a saved
// web page header). A run right at the start of the audio may be cut short
// by the end of the file (a recording of fewer than four frames). A
// RIFF/WAVE file counts only when its format tag says MPEG audio (0x55 for
// layer III, 0x50 for layers I and II), and then only its data chunk is
// searched and decoded; a RIFF file of any other format (PCM) is refused.
// Looks at the device from its start; its position is restored afterwards.
bool LooksLikeMpegAudio(QIODevice& device);

}  // namespace platform
