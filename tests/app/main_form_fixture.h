#pragma once
// A main window on a temporary application folder, driven like a user would:
// clicks and keys go to the controls, message boxes are answered and
// recorded, and the sound goes to the null output with a clock the test
// moves by hand.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QTest>
#include <memory>

#include "app/main_form.h"
#include "app/online_lists.h"
#include "app/picture_box.h"
#include "controls/my_stree.h"
#include "controls/qel_pbar.h"
#include "controls/text_box.h"
#include "core/audio_player.h"
#include "core/material_store.h"
#include "core/time_text.h"
#include "platform/app_paths.h"
#include "platform/audio_output.h"
#include "platform/shell.h"
#include "tests/common/msgbox_recorder.h"
#include "tests/common/qt_print.h"
#include "tests/common/temp_folder.h"
#include "tests/core/audio_test_media.h"

namespace app_test {

// A sentence line of a material file.
inline QString Line(int32_t start, const QString& text, int32_t end, const QString& remark = QString()) {
  return ProMod::FormatSentenceLine(start, text, end, remark);
}

inline QString MaterialText(const QStringList& lines) {
  return ProMod::kSetOpen + ProMod::kSetClose + ProMod::kBaseOpen + lines.join(ProMod::kEnter) + ProMod::kBaseClose +
         ProMod::kExeOpen + ProMod::kExeClose;
}

// The length of mono22.mp3 as made at build time (its speech comes from the
// installed espeak-ng, so it differs between versions).
inline int32_t Mono22Length() {
  const audio_test::MediaInfo info = audio_test::Media("mono22.mp3");
  return static_cast<int32_t>(audio_test::FramesToMs(info.expectedFrames, info.rate));
}

// The first frame at or after `ms`, with the player's rounding (halves to
// the even neighbour).
inline int64_t FrameAt(int64_t ms, int rate) {
  const int64_t scaled = ms * rate;
  int64_t frame = scaled / 1000;
  const int64_t rest = scaled % 1000;
  if (rest > 500 || (rest == 500 && frame % 2 != 0)) ++frame;
  return frame;
}

// Three sentences inside mono22.mp3 (about 5 s).
inline QStringList ThreeSentences() {
  return {Line(500, QStringLiteral("Good morning."), 1500, QStringLiteral("早上好")),
          Line(2000, QStringLiteral("This is lesson one."), 3000, QStringLiteral("第一课")),
          Line(3500, QStringLiteral("Listen to each sentence."), 4500, QStringLiteral("听每一句"))};
}

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ProMod::ResetStore();
    platform::SetApplicationFolder(app_.Path());
    platform::SetShellOpenHandler([this](const QString& text) { opened_ << text; });
    platform::SetMonotonicClock([this] { return now_; });
    SoundMod::SetOutputMode(SoundMod::OutputMode::NullOutput);
    online::SetMaterialServer(QString());  // no network unless a test serves the lists
  }
  void TearDown() override {
    form_.reset();
    SoundMod::CloseAudio();
    SoundMod::SetOutputMode(SoundMod::OutputMode::Automatic);
    SoundMod::SetOutputObserver({});
    platform::SetMonotonicClock({});
    platform::SetShellOpenHandler({});
    platform::SetApplicationFolder(QString());
    online::SetMaterialServer(online::BuiltMaterialServer());
    MainForm::SetChildWindowFactory({});
    ProMod::ResetStore();
  }

  QString Library() const { return app_.File(QStringLiteral("语音")); }
  // Copies a test recording into the library (category "" = the root).
  QString AddRecording(const QString& category, const QString& name, const QString& media = "mono22.mp3") {
    const QString folder = category.isEmpty() ? Library() : Library() + QLatin1Char('/') + category;
    QDir().mkpath(folder);
    const QString path = folder + QLatin1Char('/') + name;
    QFile::remove(path);
    EXPECT_TRUE(QFile::copy(audio_test::MediaPath(media), path));
    return path;
  }
  static void WriteMaterial(const QString& audioPath, const QStringList& lines) {
    ASSERT_TRUE(ProMod::WriteTextFile(audioPath + QStringLiteral(".qvl"), MaterialText(lines)));
  }
  static QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  MainForm& Open() {
    form_ = std::make_unique<MainForm>();
    form_->show();
    return *form_;
  }
  MainForm& form() { return *form_; }

  void SelectCategory(const QString& name) {
    QComboBox* combo = form_->Combo1();
    const int i = combo->findText(name);
    ASSERT_GE(i, 0) << name.toStdString();
    combo->setCurrentIndex(i);
    emit combo->activated(i);  // what a pick in the drop-down list sends
  }
  // Clicks the caption of an item, as the user does.
  static void ClickItem(MyStree* list, int index) {
    ASSERT_TRUE(list->IsShown(index)) << "item " << index << " is not on screen";
    QTest::mouseClick(list, Qt::LeftButton, {}, list->CaptionRect(index).center());
  }
  void ChooseRecording(int item) { ClickItem(form_->MyStree1(), item); }
  void ClickSentenceItem(int item) { ClickItem(form_->MyStree2(), item); }

  static void Mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
  }
  // Presses a bar at a fraction of its width, drags to another and releases.
  static void Drag(QelPBar* bar, double from, double to) {
    const int y = bar->height() / 2;
    const QPoint a(static_cast<int>(bar->width() * from), y), b(static_cast<int>(bar->width() * to), y);
    Mouse(bar, QEvent::MouseButtonPress, a, Qt::LeftButton, Qt::LeftButton);
    Mouse(bar, QEvent::MouseMove, b, Qt::NoButton, Qt::LeftButton);
    Mouse(bar, QEvent::MouseButtonRelease, b, Qt::LeftButton, Qt::NoButton);
  }

  // Moves the hand clock in poll-sized steps, running the poll while it runs.
  void Advance(int ms, int step = MainForm::kPollIntervalMs) {
    for (int done = 0; done < ms; done += step) {
      now_ += int64_t{std::min(step, ms - done)} * 1000;
      SoundMod::ServiceOutput();
      if (form_->Timer3()->isActive()) form_->Timer3_Timer();
    }
  }
  // Advances until the poll stops; returns the ms it took (or -1).
  int RunUntilPaused(int limitMs = 20000) {
    for (int t = 0; t <= limitMs; t += MainForm::kPollIntervalMs) {
      if (!form_->Timer3()->isActive()) return t;
      Advance(MainForm::kPollIntervalMs);
    }
    return -1;
  }

  bool Playing() const { return SoundMod::State() == SoundMod::PlayState::Playing; }
  bool PauseImageShown() const { return !form_->ImageMp3Click(0)->isHidden(); }
  bool PlayImageShown() const { return !form_->ImageMp3Click(1)->isHidden(); }
  bool SentenceBarShown() const { return !form_->QelPBar2()->isHidden(); }

  TempFolder app_;
  MsgBoxRecorder msgs_;
  QStringList opened_;
  int64_t now_ = 1'000'000'000;
  std::unique_ptr<MainForm> form_;
};

// A main window with one recording of three sentences chosen.
class LessonTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    VELMO_REQUIRE_AUDIO_MEDIA();
    audio_ = AddRecording("", "lesson.mp3");
    WriteMaterial(audio_, ThreeSentences());
    Open();
    ChooseRecording(1);
    ASSERT_EQ(form().MyStree2()->LabelCount(), 5);
  }
  void PressKey(const char* key) { QTest::keyClicks(form().MyStree2(), key); }

  QString audio_;
};

}  // namespace app_test
