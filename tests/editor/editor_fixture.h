#pragma once
// The segmentation editor on a made-up lesson, driven as a learner drives
// it: clicks on the list and the buttons, drags of the markers and the
// magnified bar, typing into the boxes; messages are answered and recorded.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTest>
#include <memory>

#include "controls/my_stree.h"
#include "controls/qel_pbar.h"
#include "controls/text_box.h"
#include "controls/twips.h"
#include "controls/vsnet_button.h"
#include "core/audio_player.h"
#include "core/material_store.h"
#include "core/time_text.h"
#include "editor/set_stree.h"
#include "platform/audio_output.h"
#include "platform/plain_message.h"
#include "tests/common/msgbox_recorder.h"
#include "tests/common/qt_print.h"
#include "tests/common/temp_folder.h"
#include "tests/core/audio_test_media.h"

namespace editor_test {

struct Line {
  int32_t start;
  int32_t end;
  QString text;
  QString remark;
};

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ProMod::ResetStore();
    ProMod::CurrentAudioPath = QStringLiteral("/nowhere/lesson.mp3");
    ProMod::CurrentMaterialPath = ProMod::CurrentAudioPath + QStringLiteral(".qvl");
    SetLength(100000);
    platform::SetPlainMessageHandler([this](const platform::PlainMessage& m) {
      plain_ << m.text;
      return 1;
    });
  }
  void TearDown() override {
    editor_.reset();
    SetStree::SetSubtitleFileChooser({});
    platform::SetPlainMessageHandler({});
    ProMod::ResetStore();
  }

  static void SetLength(int32_t ms) {
    ProMod::TotalLength = ms;
    ProMod::TotalLengthText = SoundMod::FormatTime(ms);
    ProMod::AudioLoaded = ms > 0;
  }
  // Puts the lines into the store as the main window does after loading.
  static void Lesson(const std::vector<Line>& lines) {
    QStringList texts;
    for (const Line& l : lines) {
      SentenceRecord r;
      r.Start = l.start;
      r.End = l.end;
      r.Text = l.text;
      r.Remark = l.remark;
      texts << ProMod::FormatSentenceLine(r);
    }
    ProMod::BaseData = texts.join(ProMod::kEnter);
    ProMod::BuildSentenceTable();
  }
  // n sentences of 2 s, one every 3 s from 1 s on.
  static void EvenLesson(int n) {
    std::vector<Line> lines;
    for (int i = 0; i < n; ++i)
      lines.push_back({1000 + i * 3000, 3000 + i * 3000, QStringLiteral("Sentence %1.").arg(i + 1),
                       QStringLiteral("备注%1").arg(i + 1)});
    Lesson(lines);
  }

  SetStree& Open() {
    editor_ = std::make_unique<SetStree>(nullptr);
    editor_->resize(editor_->minimumSize());
    editor_->show();
    QCoreApplication::processEvents();
    return *editor_;
  }
  SetStree& ed() { return *editor_; }

  // A left click on the caption of list item i.
  void ClickItem(int i) {
    MyStree* list = editor_->MyStree1();
    ASSERT_TRUE(list->IsShown(i)) << "item " << i << " is not on screen";
    QTest::mouseClick(list, Qt::LeftButton, {}, list->CaptionRect(i).center());
  }
  static void Click(QWidget* button) {
    ASSERT_TRUE(button->isVisible() || !button->isHidden());
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
  }
  static void Mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
  }
  // Drags marker i by dx pixels in steps, then releases it.
  void DragMarker(int i, int dx, int steps = 4, Qt::MouseButton button = Qt::LeftButton) {
    QWidget* m = editor_->Picture1(i);
    const QPoint grip = m->rect().center();
    Mouse(m, QEvent::MouseButtonPress, grip, button, button);
    for (int s = 1; s <= steps; ++s) {
      // The marker moves under the pointer, so positions are taken in its
      // present coordinates.
      const QPoint global = m->mapToGlobal(grip) + QPoint(dx * s / steps - dx * (s - 1) / steps, 0);
      Mouse(m, QEvent::MouseMove, m->mapFromGlobal(global), Qt::NoButton, button);
    }
    Mouse(m, QEvent::MouseButtonRelease, grip, button, Qt::NoButton);
  }
  // Types into a text box's field.
  static void Type(QelTextMu* box, const QString& text) {
    auto* field = qobject_cast<QPlainTextEdit*>(box->Text1());
    ASSERT_NE(field, nullptr);
    field->setFocus();
    field->moveCursor(QTextCursor::End);
    QTest::keyClicks(field, text);
  }

  bool OverlayShown() const { return !editor_->Picture3()->isHidden(); }
  int MarkerCentre(int i) const { return editor_->MarkerLeft(i) + SetStree::kMarkerSize / 2; }

  MsgBoxRecorder msgs_;
  QStringList plain_;
  std::unique_ptr<SetStree> editor_;
};

}  // namespace editor_test
