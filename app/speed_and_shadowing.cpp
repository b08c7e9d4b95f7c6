// Beside the three switches of the check-box row: the speech speed
// ("语速", 0.5x to 1.5x at the same pitch) and shadowing ("跟读": each
// sentence a set number of times with a pause to speak in after each).
// The player stretches the sound and the listening engine runs the
// repetitions; these controls only set them and show them, and keep the
// learner's choice in listening.ini.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QWheelEvent>

#include "app/listening_settings.h"
#include "app/main_form.h"
#include "app/picture_box.h"
#include "controls/vsnet_button.h"
#include "core/audio_player.h"

namespace {

constexpr double kSpeedStep = 0.05;
constexpr int kSmallButtonWidth = 300;
constexpr int kSpeedValueWidth = 780;
constexpr int kCountBoxWidth = 840;
constexpr int kPauseBoxWidth = 1080;

QString SpeedText(double speed) { return QString::number(speed, 'f', 2) + QStringLiteral("×"); }

}  // namespace

void MainForm::CreateListeningControls() {
  speedLabel_ = new QLabel(QStringLiteral("语速"), this);
  speedLabel_->setObjectName(QStringLiteral("LabelSpeed"));
  speedLabel_->setToolTip(QStringLiteral("语速：[ 减慢，] 加快；也可在数值上滚动鼠标滚轮"));
  slower_ = new VsNetBut(this);
  slower_->setObjectName(QStringLiteral("SpeedDown"));
  slower_->setCaption(QStringLiteral("-"));
  slower_->setCaptionAreaPercent(100);
  slower_->setToolTip(QStringLiteral("减慢 ( [ )"));
  speedValue_ = new ClickLabel(SpeedText(1.0), this);
  speedValue_->setObjectName(QStringLiteral("SpeedValue"));
  speedValue_->setAlignment(Qt::AlignCenter);
  speedValue_->setToolTip(QStringLiteral("滚动鼠标滚轮改变语速；单击恢复 1.00×"));
  speedValue_->installEventFilter(this);
  faster_ = new VsNetBut(this);
  faster_->setObjectName(QStringLiteral("SpeedUp"));
  faster_->setCaption(QStringLiteral("+"));
  faster_->setCaptionAreaPercent(100);
  faster_->setToolTip(QStringLiteral("加快 ( ] )"));

  shadowCheck_ = new QCheckBox(this);
  shadowCheck_->setObjectName(QStringLiteral("CheckShadowing"));
  shadowCheck_->setFocusPolicy(Qt::TabFocus);
  shadowLabel_ = new ClickLabel(QStringLiteral("跟读"), this);
  shadowLabel_->setObjectName(QStringLiteral("LabelShadowing"));
  shadowLabel_->setToolTip(QStringLiteral("每句播放后停顿，留出跟读的时间"));
  shadowCount_ = new QComboBox(this);
  shadowCount_->setObjectName(QStringLiteral("ShadowCount"));
  for (int n = 1; n <= 9; ++n) shadowCount_->addItem(QStringLiteral("%1遍").arg(n), n);
  shadowCount_->addItem(QStringLiteral("∞遍"), 0);
  shadowCount_->setToolTip(QStringLiteral("每句听几遍"));
  shadowPause_ = new QComboBox(this);
  shadowPause_->setObjectName(QStringLiteral("ShadowPause"));
  for (int half = 0; half <= 6; ++half) {
    const double factor = half / 2.0;
    shadowPause_->addItem(QStringLiteral("停%1倍").arg(factor, 0, 'f', 1), factor);
  }
  shadowPause_->setToolTip(QStringLiteral("每遍之后的停顿：句长的几倍"));
  for (QWidget* w : std::initializer_list<QWidget*>{shadowCount_, shadowPause_}) w->setFocusPolicy(Qt::ClickFocus);

  connect(slower_, &VsNetBut::Click, this, [this] { StepSpeed(-1); });
  connect(faster_, &VsNetBut::Click, this, [this] { StepSpeed(+1); });
  connect(speedValue_, &ClickLabel::Click, this, [this] { SetSpeechSpeed(1.0); });
  connect(shadowCheck_, &QCheckBox::clicked, this, [this](bool) { ShadowingChanged(); });
  connect(shadowLabel_, &ClickLabel::Click, this, [this] {
    shadowCheck_->setChecked(!shadowCheck_->isChecked());
    ShadowingChanged();
  });
  connect(shadowCount_, QOverload<int>::of(&QComboBox::activated), this, [this](int) { ShadowingChanged(); });
  connect(shadowPause_, QOverload<int>::of(&QComboBox::activated), this, [this](int) { ShadowingChanged(); });
}

// After the third switch of the row, in twips like the rest of it.
void MainForm::LayoutListeningControls() {
  const TwipRect row = Geometry(check1_[kCheckCount - 1]);
  int left = Geometry(labelCheck_[kCheckCount - 1]).Right() + 240;
  auto put = [&](QWidget* w, int width, int gap) {
    Place(w, {left, row.Top, width, kCheckBoxHeight});
    left += width + gap;
  };
  put(speedLabel_, LabelWidthTwips(speedLabel_), 45);
  put(slower_, kSmallButtonWidth, 0);
  put(speedValue_, kSpeedValueWidth, 0);
  put(faster_, kSmallButtonWidth, 240);
  put(shadowCheck_, kCheckBoxWidth, 60);
  put(shadowLabel_, LabelWidthTwips(shadowLabel_), 60);
  put(shadowCount_, kCountBoxWidth, 45);
  put(shadowPause_, kPauseBoxWidth, 0);
}

void MainForm::ApplyListeningSettings(const ListeningSettings& settings) {
  SoundMod::SetSpeed(settings.speed);
  speedValue_->setText(SpeedText(SoundMod::Speed()));
  shadowCheck_->setChecked(settings.shadowing.on);
  shadowCount_->setCurrentIndex(std::max(0, shadowCount_->findData(settings.shadowing.count)));
  int pause = 0;
  for (int i = 0; i < shadowPause_->count(); ++i)
    if (std::abs(shadowPause_->itemData(i).toDouble() - settings.shadowing.pause) <
        std::abs(shadowPause_->itemData(pause).toDouble() - settings.shadowing.pause))
      pause = i;
  shadowPause_->setCurrentIndex(pause);
  engine_.SetShadowing(settings.shadowing);
}

ListeningSettings MainForm::CurrentListeningSettings() const {
  ListeningSettings s;
  s.speed = SoundMod::Speed();
  s.shadowing.on = shadowCheck_->isChecked();
  s.shadowing.count = shadowCount_->currentData().toInt();
  s.shadowing.pause = shadowPause_->currentData().toDouble();
  return s;
}

QLabel* MainForm::SpeedValue() const { return speedValue_; }

void MainForm::SetSpeechSpeed(double speed) {
  SoundMod::SetSpeed(SnapSpeed(speed));
  speedValue_->setText(SpeedText(SoundMod::Speed()));
  CurrentListeningSettings().Write();
}

void MainForm::StepSpeed(int steps) { SetSpeechSpeed(SoundMod::Speed() + steps * kSpeedStep); }

void MainForm::ShadowingChanged() {
  const ListeningSettings s = CurrentListeningSettings();
  engine_.SetShadowing(s.shadowing);
  s.Write();
}

bool MainForm::SpeedWheel(QWheelEvent* event) {
  const int notches = event->angleDelta().y() / 120;
  if (notches != 0) StepSpeed(notches);
  event->accept();
  return true;
}

QString MainForm::ShadowCaption() const {
  const ListeningEngine::Shadowing& s = engine_.shadowing();
  if (!s.on || engine_.LoopSentence()) return QString();
  const QString count = s.count == 0 ? QStringLiteral("∞") : QString::number(s.count);
  return QStringLiteral("  跟读 ") + QString::number(engine_.ShadowRound()) + QLatin1Char('/') + count;
}
