// libFuzzer entry: lyrics and subtitle bytes through the whole import path
// (encoding detection, line ends, AnsLrc and the table, the SubRip and
// WebVTT readers). Whatever the bytes, the result is a table fitted to the
// recording or a reason, never both and never neither.
#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "editor/srt_reader.h"
#include "editor/subtitle_import.h"
#include "editor/subtitle_table.h"
#include "editor/subtitle_text_file.h"
#include "editor/vtt_reader.h"

namespace {

constexpr int32_t kLength = 600000;

void Check(const SubtitleImport& result) {
  if (result.sentences.empty() == result.failure.isEmpty()) std::abort();
  int16_t index = 0;
  for (const SentenceRecord& s : result.sentences) {
    if (s.Index != ++index || s.Start < 0 || s.End > kLength || s.Start >= s.End || s.Text.isEmpty()) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const SubtitleText text = DecodeSubtitleBytes(bytes);
  if (!text.failure.isEmpty()) return 0;
  // AnsLrc on its own, as the editor's public conversion, and through the
  // import with its limits.
  (void)AnsLrc(text.text);
  Check(ImportLrcText(text.text, kLength));
  Check(ImportCues(ReadSrtCues(text.text), kLength));
  Check(ImportCues(ReadVttCues(text.text), kLength));
  return 0;
}
