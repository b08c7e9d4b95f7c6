#pragma once
#include <QString>
#include <cstdint>

#include "core/material_store.h"
#include "core/time_text.h"

// SoundMod: the one recording that is open at a time, under the alias
// "MyMp3". Every window plays, pauses and polls this one recording; only the
// main window opens and closes it. Positions and lengths are milliseconds
// from the start of the recording.
namespace SoundMod {

inline const QString kAlias = QStringLiteral("MyMp3");

enum class PlayState { Closed, Stopped, Playing, Paused };

// Opens the recording and returns its exact decoded length in ms, or 0 on
// failure, after telling the user "播放MP3文件时发生错误！" (title "错误",
// one button, icon 0). Does not close first: opening while a recording is
// open fails the same way.
int32_t OpenAudio(const QString& path);

// Plays from `position` to the end of the recording without blocking. With
// a stop position >= 0 the player stops handing audio to the output there,
// so nothing after it is heard; the position then comes to rest exactly at
// the stop position (and at the length at the end of the recording).
void PlayFrom(int32_t position, int32_t stopPosition = -1);

// Stores the current position in ProMod::PausedPosition, then halts
// playback keeping the position.
void PauseAudio();
// Halts playback; the position stays where playback halted.
void StopAudio();
// Releases the recording; harmless when nothing is open.
void CloseAudio();

// The position being heard, in ms; answers while playing, paused or
// stopped; 0 when nothing is open.
int32_t GetPosition();

PlayState State();
bool IsOpen();

// Where the sound goes. Automatic uses the system's default audio output
// and falls back to a null output (consumes audio at real-time speed) when
// there is no output device.
enum class OutputMode { Automatic, NullOutput, SystemOutput };
void SetOutputMode(OutputMode mode);
OutputMode CurrentOutputMode();
// True when the open recording plays through the null output.
bool UsingNullOutput();

}  // namespace SoundMod
