// Placeholder until the player lands: every recording fails to open.
#include "core/audio_player.h"

#include "core/message_service.h"

namespace SoundMod {
int32_t OpenAudio(const QString&) {
  ProMod::ShowMsgBox(QStringLiteral("播放MP3文件时发生错误！"), 1, QStringLiteral("错误"), 0);
  return 0;
}
void PlayFrom(int32_t, int32_t) {}
void PauseAudio() { ProMod::PausedPosition = 0; }
void StopAudio() {}
void CloseAudio() {}
int32_t GetPosition() { return 0; }
PlayState State() { return PlayState::Closed; }
bool IsOpen() { return false; }
void SetOutputMode(OutputMode) {}
OutputMode CurrentOutputMode() { return OutputMode::Automatic; }
bool UsingNullOutput() { return true; }
}  // namespace SoundMod
