#pragma once
// The dictation window and the records browser over a real recording: the
// store is filled as the main window fills it (ProMod::ChooseRecording), the
// sound goes to the null output with a clock the test moves by hand, message
// boxes are answered and recorded, and the date and chance are fixed.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <deque>

#include "core/random_source.h"
#include "core/audio_player.h"
#include "core/material_store.h"
#include "core/recording.h"
#include "core/time_text.h"
#include "platform/audio_output.h"
#include "practice/practice_records.h"
#include "tests/common/msgbox_recorder.h"
#include "tests/common/temp_folder.h"
#include "tests/core/audio_test_media.h"

namespace practice_test {

// A sentence line of a material file.
inline QString Line(int32_t start, const QString& text, int32_t end, const QString& remark = QString()) {
  return QLatin1Char('[') + SoundMod::FormatTime(start) + QLatin1Char(']') + text + QLatin1Char('[') +
         SoundMod::FormatTime(end) + QLatin1Char(']') + remark;
}

// Three sentences inside mono22.mp3 (5 175 ms).
inline QStringList ThreeSentences() {
  return {Line(500, QStringLiteral("Good morning."), 1500, QStringLiteral("早上好")),
          Line(2000, QStringLiteral("This is lesson one."), 3000, QStringLiteral("第一课")),
          Line(3500, QStringLiteral("Listen to each sentence."), 4500, QStringLiteral("听每一句"))};
}

// One stored record as the dictation window writes it.
inline QString Record(int32_t start, const QString& text, int32_t end, const QString& typed, const QString& remark,
                      const QString& date) {
  return Line(start, text, end, typed) + QStringLiteral("<KvqExeEnter>") + remark + QStringLiteral("<KvqExeEnter>") +
         date + ProMod::kEnter;
}

// Pixels of an image that are not white.
inline int InkPixels(const QImage& image, QRect area = QRect()) {
  if (area.isNull()) area = image.rect();
  int ink = 0;
  for (int y = area.top(); y <= area.bottom() && y < image.height(); ++y)
    for (int x = area.left(); x <= area.right() && x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) ++ink;
  return ink;
}

class PracticeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ProMod::ResetStore();
    platform::SetMonotonicClock([this] { return now_; });
    SoundMod::SetOutputMode(SoundMod::OutputMode::NullOutput);
    PracticeSeams::SetTodaySource([this] { return today_; });
    ProMod::SetRandomSource([this] {
      if (chance_.empty()) return 0.0f;
      const auto r = static_cast<float>(chance_.front());
      chance_.pop_front();
      return r;
    });
  }
  void TearDown() override {
    SoundMod::CloseAudio();
    SoundMod::SetOutputMode(SoundMod::OutputMode::Automatic);
    platform::SetMonotonicClock({});
    PracticeSeams::SetTodaySource({});
    ProMod::SetRandomSource({});
    ProMod::ResetStore();
  }

  // Writes the material file beside a copy of mono22.mp3 and chooses the
  // recording as the main window does.
  QString OpenRecording(const QString& baseData, const QString& exeData = QString(),
                        const QString& setData = QStringLiteral("FontSize=12")) {
    if (!audio_test::HaveMedia()) return QString();
    const QString audio = folder_.File(QStringLiteral("第一课.mp3"));
    QFile::remove(audio);
    EXPECT_TRUE(QFile::copy(audio_test::MediaPath("mono22.mp3"), audio));
    ProMod::CurrentMaterialPath = ProMod::MaterialPathFor(audio);
    ProMod::SetData = setData;
    ProMod::BaseData = baseData;
    ProMod::ExeData = exeData;
    EXPECT_TRUE(ProMod::SaveMaterialFile());
    ProMod::ResetStore();
    EXPECT_TRUE(ProMod::ChooseRecording(audio));
    return audio;
  }
  // What the main window does after a child window set EidtIsSave.
  void SaveAndReload(const QString& audio) {
    ASSERT_TRUE(ProMod::SaveMaterialFile());
    SoundMod::CloseAudio();
    ProMod::ResetStore();
    ASSERT_TRUE(ProMod::ChooseRecording(audio));
  }
  static QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  // The random numbers that pick table indices `picks` from 1 .. upper.
  void PickIndices(std::initializer_list<int> picks, int upper) {
    for (int p : picks) chance_.push_back((p - 1 + 0.5) / upper);
  }
  // Moves the hand clock by `ms`, keeping the output supplied.
  void Advance(int ms) {
    now_ += int64_t{ms} * 1000;
    SoundMod::ServiceOutput();
  }

  TempFolder folder_;
  MsgBoxRecorder msgs_;
  int64_t now_ = 1'000'000'000;
  QDate today_ = QDate(2026, 3, 7);
  std::deque<double> chance_;
};

}  // namespace practice_test
