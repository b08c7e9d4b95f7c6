// segmentation_editor_shot OUTPREFIX [WIDTH HEIGHT]: opens the segmentation
// editor on a made-up lesson of 20 sentences (a 60 s recording) and saves
// three pictures: OUTPREFIX-selected.png (sentence 5 chosen),
// OUTPREFIX-deleted.png (sentence 7 deleted and chosen) and
// OUTPREFIX-empty.png (a recording without sentences). Without WIDTH and
// HEIGHT the window has its smallest size. Used to look at the window; not
// a test.
#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <memory>

#include "controls/my_stree.h"
#include "core/audio_player.h"
#include "core/material_store.h"
#include "core/message_service.h"
#include "editor/set_stree.h"
#include "platform/fonts.h"

namespace {

void Settle(QApplication& app, int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) app.processEvents(QEventLoop::AllEvents, 20);
}

void Lesson(int sentences) {
  static const char* const kTexts[] = {
      "Good morning, everyone.", "Today we are going to talk about the weather.",
      "What is the weather like in your city?", "It is sunny and warm in the summer.",
      "In the winter it often snows.", "Do you like rainy days?",
      "I like to stay at home and read a book when it rains.", "Let's listen to the dialogue again.",
      "Could you repeat that, please?", "Of course. Listen carefully."};
  ProMod::ResetStore();
  ProMod::CurrentAudioPath = QStringLiteral("/home/learner/Velmo/语音/示例/weather.mp3");
  ProMod::TotalLength = 60000;
  ProMod::TotalLengthText = SoundMod::FormatTime(60000);
  ProMod::AudioLoaded = true;
  QStringList lines;
  for (int i = 0; i < sentences; ++i) {
    SentenceRecord r;
    r.Start = i * 3000 + 200;
    r.End = i * 3000 + 2700;
    r.Text = QString::fromUtf8(kTexts[i % 10]);
    r.Remark = QStringLiteral("第%1句的备注").arg(i + 1);
    lines << ProMod::FormatSentenceLine(r);
  }
  ProMod::BaseData = lines.join(ProMod::kEnter);
  ProMod::BuildSentenceTable();
}

void Shoot(QApplication& app, int sentences, int select, bool deleteIt, int w, int h, const QString& out) {
  Lesson(sentences);
  auto editor = std::make_unique<SetStree>(nullptr);
  editor->setWindowTitle(QStringLiteral("语音分段 -- ") + ProMod::CurrentAudioPath);
  editor->move(0, 0);
  if (w > 0) editor->resize(w, h); else editor->resize(editor->minimumSize());
  editor->show();
  Settle(app, 200);
  if (select > 0) {
    editor->MyStree1()->setLabelCurClick(select);
    editor->MyStree1_LabelClick(select);
    if (deleteIt) editor->VsNetBut2_Click(0);
  }
  Settle(app, 300);
  editor->grab().save(out);
  ProMod::SetMsgBoxPresenter([](const ProMod::MsgBoxRequest&) { return 1; });
  editor->done(0);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) return 2;
  platform::RegisterFontSubstitutions();
  const QString prefix = QString::fromLocal8Bit(argv[1]);
  const int w = argc > 3 ? atoi(argv[2]) : 0;
  const int h = argc > 3 ? atoi(argv[3]) : 0;
  Shoot(app, 20, 5, false, w, h, prefix + QStringLiteral("-selected.png"));
  Shoot(app, 20, 7, true, w, h, prefix + QStringLiteral("-deleted.png"));
  Shoot(app, 0, 0, false, w, h, prefix + QStringLiteral("-empty.png"));
  return 0;
}
