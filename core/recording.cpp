#include "core/recording.h"

#include <QFileInfo>

#include "core/audio_player.h"
#include "core/material_store.h"

namespace ProMod {

bool ChooseRecording(const QString& audioPath) {
  Sentences.Clear();
  CurrentAudioPath = audioPath;
  CurrentMaterialPath = MaterialPathFor(audioPath);
  if (!QFileInfo(audioPath).isFile()) return false;

  SoundMod::CloseAudio();
  const int32_t length = SoundMod::OpenAudio(audioPath);
  TotalLength = length;
  AudioLoaded = length >= 1;
  TotalLengthText = AudioLoaded ? SoundMod::FormatTime(length) : QString();

  // The recording is opened first: sentence lines without an end take the
  // recording's length.
  LoadMaterialFile();
  BuildSentenceTable();
  return true;
}

}  // namespace ProMod
