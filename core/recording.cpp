#include "core/recording.h"

#include <QFileInfo>

#include "core/audio_player.h"
#include "core/material_store.h"
#include "core/time_text.h"

namespace ProMod {

bool ChooseRecording(const QString& audioPath) {
  // Checked before anything changes: a recording that vanished since the
  // library was listed must not lend its paths to the open recording's
  // material, or a later save would write one recording's data into
  // another's material file.
  if (!QFileInfo(audioPath).isFile()) return false;
  Sentences.Clear();
  CurrentAudioPath = audioPath;
  CurrentMaterialPath = MaterialPathFor(audioPath);

  SoundMod::CloseAudio();
  const int32_t length = SoundMod::OpenAudio(audioPath);
  TotalLength = length;
  AudioLoaded = length >= 1;
  TotalLengthText = AudioLoaded ? SoundMod::FormatTime(length) : QString();
  PausedPosition = 0;  // a new recording resumes from its start

  // The recording is opened first: sentence lines without an end take the
  // recording's length.
  LoadMaterialFile();
  BuildSentenceTable();
  return true;
}

}  // namespace ProMod
