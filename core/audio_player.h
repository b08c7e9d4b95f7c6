#pragma once
#include <QString>
#include <cstdint>
#include <functional>

#include "core/material_store.h"
#include "core/time_text.h"

// SoundMod: the one recording that is open at a time, under the alias
// "MyMp3". Every window plays, pauses and polls this one recording; only the
// main window opens and closes it. Positions and lengths are milliseconds
// from the start of the recording.
namespace SoundMod {

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
// Out-of-range values are clamped: a negative position plays from 0, a
// position beyond the length plays nothing and rests at the length; a
// negative stop position means the end, one beyond the length is the
// length, and one at or before the start plays nothing and rests at the
// start. Playing always ends in the Stopped state.
void PlayFrom(int32_t position, int32_t stopPosition = -1);

// Speech speed at the same pitch, kMinSpeed .. kMaxSpeed (values outside
// are clamped): 0.5 takes twice as long. At 1.0 the audio goes to the
// output untouched, sample for sample. Positions, lengths and stop
// positions stay in the recording's own time, and a stop position is still
// exact: nothing after it is heard. A change while playing is heard at
// once, from the position being heard to the same stop position.
constexpr double kMinSpeed = 0.5;
constexpr double kMaxSpeed = 1.5;
void SetSpeed(double speed);
double Speed();

// Stores the current position in ProMod::PausedPosition, then halts
// playback keeping the position.
void PauseAudio();
// Halts playback; the position stays where playback halted.
void StopAudio();
// Releases the recording; harmless when nothing is open.
void CloseAudio();

// The position being heard, in ms (the nearest whole ms, a half to the even
// neighbour); answers while playing, paused or stopped; 0 when nothing is
// open. Cheap enough to poll every few milliseconds.
int32_t GetPosition();

PlayState State();
bool IsOpen();

// Where the sound goes. Automatic uses the system's default audio output
// and falls back to a null output (consumes audio at real-time speed) when
// there is no output device. SystemOutput insists on the device: without
// one, OpenAudio fails. NullOutput never uses a device. The mode applies
// from the next OpenAudio. In every mode, an output device that fails
// while playing is replaced by the null output for the rest of that
// recording, so positions keep advancing and playback still ends.
enum class OutputMode { Automatic, NullOutput, SystemOutput };
void SetOutputMode(OutputMode mode);
OutputMode CurrentOutputMode();
// True when the open recording plays through the null output.
bool UsingNullOutput();

// Keeps the output supplied and notices the end of a play. The player runs
// it from its own 10 ms timer while playing; calling it more often is
// harmless.
void ServiceOutput();

// What reached the output, for checks and diagnostics. Frames are PCM
// frames (one sample per channel) of the open recording.
int SampleRate();
int Channels();
int64_t LengthFrames();
// Frames of the recording handed to the output since the last PlayFrom
// (silence the output adds of its own is not counted; at another speed,
// the recording's frames handed to the stretcher).
int64_t FramesHandedToOutput();
// Called with every piece of the recording handed to the output: its first
// frame, the interleaved 16-bit samples and the number of frames. An empty
// observer removes it.
using OutputObserver = std::function<void(int64_t firstFrame, const char* data, int64_t frames)>;
void SetOutputObserver(OutputObserver observer);

}  // namespace SoundMod
