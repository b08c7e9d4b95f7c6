// waveform_shot OUT.png [SECONDS [RECORDING.mp3]]: opens the segmentation
// editor on a recording of eight spoken sentences, waits for its waveform,
// lets "自动分段" cut it, chooses sentence 3 and saves a picture of the
// window. With SECONDS the window then stays open that long (to be
// photographed from outside). With a recording of its own the picture is
// taken half a second after opening, while the peaks are still worked out.
// Used to look at the window; not a test.
#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QProgressBar>
#include <QTemporaryDir>
#include <memory>

#include "controls/my_stree.h"
#include "core/audio_player.h"
#include "core/material_store.h"
#include "core/message_service.h"
#include "editor/set_stree.h"
#include "platform/fonts.h"
#include "platform/mp3_decoder.h"
#include "tests/core/spoken_lesson.h"

namespace {
void Settle(QApplication& app, int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) app.processEvents(QEventLoop::AllEvents, 20);
}
}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) return 2;
  platform::RegisterFontSubstitutions();
  QTemporaryDir dir;
  qputenv("XDG_CACHE_HOME", dir.filePath("cache").toUtf8());
  const bool own = argc > 3;
  QString audio = own ? QString::fromLocal8Bit(argv[3]) : dir.filePath("weather.mp3");
  int32_t length = 0;
  if (own) {
    platform::Mp3Decoder decoder;
    if (!decoder.Open(audio)) return 1;
    length = static_cast<int32_t>(decoder.LengthFrames() * 1000 / decoder.SampleRate());
  } else {
    const SpokenLesson lesson =
        MakeSpokenLesson(spoken::Sentences(), {600, 400, 900, 300, 1500, 500, 700, 350}, -20.0);
    if (!WriteLessonMp3(lesson, audio)) return 1;
    length = static_cast<int32_t>(lesson.pcm.size() * 1000 / lesson.rate);
  }
  ProMod::ResetStore();
  ProMod::CurrentAudioPath = audio;
  ProMod::TotalLength = length;
  ProMod::TotalLengthText = SoundMod::FormatTime(ProMod::TotalLength);
  ProMod::AudioLoaded = true;
  ProMod::SetMsgBoxPresenter([](const ProMod::MsgBoxRequest&) { return 1; });

  auto editor = std::make_unique<SetStree>(nullptr);
  editor->setWindowTitle(QStringLiteral("语音分段 -- weather.mp3"));
  editor->move(0, 0);
  editor->show();
  QElapsedTimer clock;
  clock.start();
  if (own) {
    Settle(app, 500);
  } else {
    while (editor->WaveformProgress()->isVisible() && clock.elapsed() < 20000) Settle(app, 50);
    editor->VsNetBut9_Click();
    editor->MyStree1()->setLabelCurClick(3);
    editor->MyStree1_LabelClick(3);
    Settle(app, 300);
  }
  editor->grab().save(QString::fromLocal8Bit(argv[1]));
  if (argc > 2) Settle(app, atoi(argv[2]) * 1000);
  editor->done(0);
  return 0;
}
