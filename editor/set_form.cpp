#include "editor/set_form.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <algorithm>
#include <cmath>

#include "colour_picker/colour_box.h"
#include "colour_picker/colour_dialog_mod.h"
#include "colour_picker/colour_swatch.h"
#include "controls/my_stree.h"
#include "controls/qel_pbar.h"
#include "controls/text_box.h"
#include "controls/vsnet_button.h"
#include "core/material_store.h"
#include "core/message_service.h"
#include "core/number_text.h"

namespace {

using appearance::KeyInfo;
using appearance::Target;

SetForm::FontFamilySource& FamilySource() {
  static SetForm::FontFamilySource source;
  return source;
}

const KeyInfo& SwatchKey(int i) { return appearance::Keys()[static_cast<size_t>(i)]; }

// The item list colour properties a swatch can name.
ColourValue ListColour(const MyStree& list, const QString& name) {
  if (name == QLatin1String("BackGroundColor1")) return list.BackGroundColor1();
  if (name == QLatin1String("BackGroundColor2")) return list.BackGroundColor2();
  if (name == QLatin1String("BorderColor")) return list.BorderColor();
  if (name == QLatin1String("LabelColorMoveOut")) return list.LabelColorMoveOut();
  if (name == QLatin1String("LabelColorMoveIn")) return list.LabelColorMoveIn();
  if (name == QLatin1String("LabelColorClick")) return list.LabelColorClick();
  if (name == QLatin1String("HightLightColor")) return list.HightLightColor();
  return 0;
}

void SetListColour(MyStree& list, const QString& name, ColourValue c) {
  if (name == QLatin1String("BackGroundColor1")) list.setBackGroundColor1(c);
  else if (name == QLatin1String("BackGroundColor2")) list.setBackGroundColor2(c);
  else if (name == QLatin1String("BorderColor")) list.setBorderColor(c);
  else if (name == QLatin1String("LabelColorMoveOut")) list.setLabelColorMoveOut(c);
  else if (name == QLatin1String("LabelColorMoveIn")) list.setLabelColorMoveIn(c);
  else if (name == QLatin1String("LabelColorClick")) list.setLabelColorClick(c);
  else if (name == QLatin1String("HightLightColor")) list.setHightLightColor(c);
}

ColourValue BarColour(const QelPBar& bar, const QString& name) {
  if (name == QLatin1String("ColorLeft")) return bar.ColorLeft();
  if (name == QLatin1String("ColorRight")) return bar.ColorRight();
  if (name == QLatin1String("BackColor")) return bar.BackColor();
  if (name == QLatin1String("ForeColor1")) return bar.ForeColor1();
  if (name == QLatin1String("ForeColor2")) return bar.ForeColor2();
  if (name == QLatin1String("BorderColor")) return bar.BorderColor();
  return 0;
}

void SetBarColour(QelPBar& bar, const QString& name, ColourValue c) {
  if (name == QLatin1String("ColorLeft")) bar.setColorLeft(c);
  else if (name == QLatin1String("ColorRight")) bar.setColorRight(c);
  else if (name == QLatin1String("BackColor")) bar.setBackColor(c);
  else if (name == QLatin1String("ForeColor1")) bar.setForeColor1(c);
  else if (name == QLatin1String("ForeColor2")) bar.setForeColor2(c);
  else if (name == QLatin1String("BorderColor")) bar.setBorderColor(c);
}

void CopyBarColours(const QelPBar& from, QelPBar& to) {
  to.setColorLeft(from.ColorLeft());
  to.setColorRight(from.ColorRight());
  to.setBackColor(from.BackColor());
  to.setForeColor1(from.ForeColor1());
  to.setForeColor2(from.ForeColor2());
  to.setBorderColor(from.BorderColor());
}

}  // namespace

SetForm::SetForm(QWidget* parent, const SetFormTargets& targets) : QDialog(parent), targets_(targets) {
  setWindowTitle(kCaption);
  CreateControls();
  LayoutControls();
  Connect();
  Load();
}

SetForm::~SetForm() = default;

void SetForm::SetFontFamilySource(FontFamilySource source) { FamilySource() = std::move(source); }

QStringList SetForm::FontNames() {
  const QStringList all = FamilySource() ? FamilySource()() : QFontDatabase::families();
  QStringList names;
  names.reserve(all.size());
  for (const QString& name : all)
    if (!name.startsWith(QLatin1Char('@'))) names.push_back(name);
  return names;
}

int16_t SetForm::NextFontSize(int16_t size) {
  for (int16_t s : kFontSizes)
    if (size <= s) return s;
  return kFontSizes.back();
}

bool SetForm::NearBlack(ColourValue colour) {
  // The colour as the signed 32-bit number it is stored as.
  const int64_t c = static_cast<int32_t>(colour);
  return c % 65025 < 44 && static_cast<double>(c) / 65025.0 < 44.0;
}

ColourValue SetForm::CaptionColourFor(ColourValue swatch) {
  const ColourValue shown = ResolveColourValue(swatch);
  const double brightness = 0.299 * RedOf(shown) + 0.587 * GreenOf(shown) + 0.114 * BlueOf(shown);
  return NearBlack(shown) || brightness < 128.0 ? RgbValue(255, 255, 255) : RgbValue(0, 0, 0);
}

ColourSwatch* SetForm::Picture1(int i) const { return i >= 0 && i < kSwatchCount ? picture1_[i] : nullptr; }
QLabel* SetForm::Label1(int i) const { return i >= 0 && i < kSwatchCount ? label1_[i] : nullptr; }
QelText* SetForm::QelText1(int k) const { return k >= 0 && k < 2 ? qelText1_[k] : nullptr; }
QLabel* SetForm::Label2(int i) const { return i >= 0 && i < 4 ? label2_[i] : nullptr; }
VsNetBut* SetForm::FontSizeSelect(int size) const {
  const auto it = fontSizeSelect_.find(size);
  return it == fontSizeSelect_.end() ? nullptr : it->second;
}

// ---------------------------------------------------------------------------
// Opening

void SetForm::Load() {
  loading_ = true;
  LoadFonts();
  LoadFontSize();
  LoadColours();
  for (int k = 0; k < 2; ++k) {
    const MyStree* list = AngleTarget(k);
    openedAngle_[k] = list ? list->BackGroundAngel() : 0;
    qelText1_[k]->setText(QString::number(openedAngle_[k]));
    // An angle longer than the box's three characters shows cut short.
    angleEdited_[k] = false;
  }
  for (int i = 0; i < kSwatchCount; ++i) SetCaptionColour(i);
  loading_ = false;
}

void SetForm::LoadFonts() {
  const QString listFont = targets_.sentenceList ? targets_.sentenceList->LabelFontName() : QString();
  QString wanted = listFont.toLower();
  wanted.remove(QLatin1Char('"'));
  const QStringList names = FontNames();
  // The sample keeps the list's own name when no screen font matches, so
  // saving at once writes back what the main window has.
  QString sample = listFont;
  int selected = -1;
  combo1_->clear();
  for (const QString& name : names) {
    combo1_->addItem(name);
    if (name.toLower() == wanted) {
      sample = name;
      selected = combo1_->count() - 1;
    }
  }
  combo1_->setCurrentIndex(selected);
  SetSampleFont(sample, SampleFontSize());
}

void SetForm::LoadFontSize() {
  const int16_t s = targets_.sentenceList ? targets_.sentenceList->LabelFontSize() : kFontSizes.front();
  if (std::find(kFontSizes.begin(), kFontSizes.end(), s) != kFontSizes.end()) {
    SetSampleFont(SampleFontName(), s);
    return;
  }
  FontSizeSelect_Click(NextFontSize(s));
}

void SetForm::LoadColours() {
  for (int i = 0; i < kSwatchCount; ++i) picture1_[i]->setColor(TargetColour(i));
  if (targets_.wholeBar) CopyBarColours(*targets_.wholeBar, *qelPBar1_);
  if (targets_.sentenceBar) CopyBarColours(*targets_.sentenceBar, *qelPBar2_);
}

// ---------------------------------------------------------------------------
// Colours

ColourValue SetForm::TargetColour(int i) const {
  const KeyInfo& key = SwatchKey(i);
  switch (key.target) {
    case Target::RecordingList:
      return targets_.recordingList ? ListColour(*targets_.recordingList, key.property) : 0;
    case Target::SentenceList:
      return targets_.sentenceList ? ListColour(*targets_.sentenceList, key.property) : 0;
    case Target::WholeBar:
      return targets_.wholeBar ? BarColour(*targets_.wholeBar, key.property) : BarColour(*qelPBar1_, key.property);
    case Target::SentenceBar:
      return targets_.sentenceBar ? BarColour(*targets_.sentenceBar, key.property)
                                  : BarColour(*qelPBar2_, key.property);
  }
  return 0;
}

void SetForm::SetTargetColour(int i, ColourValue colour) {
  const KeyInfo& key = SwatchKey(i);
  switch (key.target) {
    case Target::RecordingList:
      if (targets_.recordingList) SetListColour(*targets_.recordingList, key.property, colour);
      break;
    case Target::SentenceList:
      if (targets_.sentenceList) SetListColour(*targets_.sentenceList, key.property, colour);
      break;
    case Target::WholeBar:
      SetBarColour(*qelPBar1_, key.property, colour);
      if (targets_.wholeBar) SetBarColour(*targets_.wholeBar, key.property, colour);
      // The remark box is framed like the whole-recording bar, as reading
      // the file makes it.
      if (targets_.remarkBox && key.property == QLatin1String("BorderColor"))
        targets_.remarkBox->setBorderColor(colour);
      break;
    case Target::SentenceBar:
      SetBarColour(*qelPBar2_, key.property, colour);
      if (targets_.sentenceBar) SetBarColour(*targets_.sentenceBar, key.property, colour);
      break;
  }
}

void SetForm::SetCaptionColour(int i) {
  QPalette pal = label1_[i]->palette();
  pal.setColor(QPalette::WindowText, ColourValueToQColor(CaptionColourFor(picture1_[i]->Color())));
  label1_[i]->setPalette(pal);
}

ColourValue SetForm::SwatchColour(int i) const {
  return i >= 0 && i < kSwatchCount ? picture1_[i]->Color() : 0;
}

ColourValue SetForm::CaptionColour(int i) const {
  if (i < 0 || i >= kSwatchCount) return 0;
  return QColorToColourValue(label1_[i]->palette().color(QPalette::WindowText));
}

void SetForm::Picture1_Click(int i) {
  if (i < 0 || i >= kSwatchCount) return;
  colorBox1_->setColor(picture1_[i]->Color());
  colorBox1_->Show();
  ApplyColour(i, colorBox1_->Color());
}

void SetForm::ApplyColour(int i, ColourValue colour) {
  if (i < 0 || i >= kSwatchCount) return;
  picture1_[i]->setColor(colour);
  SetTargetColour(i, colour);
  SetCaptionColour(i);
}

// ---------------------------------------------------------------------------
// Font, size and angles

QString SetForm::SampleFontName() const { return label3_->font().family(); }

int16_t SetForm::SampleFontSize() const { return static_cast<int16_t>(label3_->font().pointSize()); }

void SetForm::SetSampleFont(const QString& name, int16_t size) {
  QFont font = label3_->font();
  font.setFamily(name);
  if (size > 0) font.setPointSize(size);
  label3_->setFont(font);
}

void SetForm::Combo1_Click() {
  if (loading_ || combo1_->currentIndex() < 0) return;
  const QString name = combo1_->currentText();
  SetSampleFont(name, SampleFontSize());
  if (targets_.sentenceList) targets_.sentenceList->setLabelFontName(name);
}

void SetForm::FontSizeSelect_Click(int size) {
  if (fontSizeSelect_.find(size) == fontSizeSelect_.end()) return;
  SetSampleFont(SampleFontName(), static_cast<int16_t>(size));
  if (targets_.sentenceList) targets_.sentenceList->setLabelFontSize(static_cast<int16_t>(size));
}

MyStree* SetForm::AngleTarget(int k) const { return k == 0 ? targets_.recordingList : targets_.sentenceList; }

int16_t SetForm::Angle(int k) const {
  if (k < 0 || k > 1) return 0;
  // Untouched since opening: the angle the list had, even when it was too
  // long for the box (1000 shows as "100").
  if (!angleEdited_[k]) return openedAngle_[k];
  bool ok = false;
  const int16_t v = ProMod::RoundToInt16(ProMod::LeadingNumber(qelText1_[k]->Text()), &ok);
  if (ok) return v;
  // A number beyond 16 bits ("9e9") names no angle: the list keeps its own.
  const MyStree* list = AngleTarget(k);
  return list ? list->BackGroundAngel() : 0;
}

void SetForm::QelText1_Change(int k) {
  if (loading_ || k < 0 || k > 1) return;
  angleEdited_[k] = true;
  if (MyStree* list = AngleTarget(k)) list->setBackGroundAngel(Angle(k));
}

// ---------------------------------------------------------------------------
// Preview, saving, closing

void SetForm::Command3_Click() {
  qelPBar1_->setValue(0);
  qelPBar2_->setValue(0);
  timer1_.start();
}

void SetForm::Timer1_Timer() {
  if (qelPBar1_->Value() >= qelPBar1_->MaxValue()) {
    timer1_.stop();
    qelPBar1_->setValue(50);
    qelPBar2_->setValue(50);
    return;
  }
  qelPBar1_->setValue(qelPBar1_->Value() + 1);
  qelPBar2_->setValue(qelPBar2_->Value() + 1);
}

std::vector<appearance::Setting> SetForm::CurrentSettings() const {
  std::vector<appearance::Setting> settings;
  const auto add = [&settings](const QString& key, int32_t number, const QString& text = QString()) {
    appearance::Setting s;
    s.info = appearance::FindKey(key);
    s.number = number;
    s.text = text;
    settings.push_back(s);
  };
  for (int i = 0; i < kSwatchCount; ++i) add(label1_[i]->text(), static_cast<int32_t>(picture1_[i]->Color()));
  add(QStringLiteral("句子选择框背景色角度"), Angle(1));
  add(QStringLiteral("文件选择框背景色角度"), Angle(0));
  add(QStringLiteral("字号"), SampleFontSize());
  add(QStringLiteral("字体"), 0, SampleFontName());
  return settings;
}

bool SetForm::VsNetBut1_Click() {
  if (appearance::WriteAppearanceFile(CurrentSettings())) return true;
  ProMod::ShowMsgBox(kSaveFailed + ProMod::kCrLf + appearance::AppearanceFilePath(), 1, kCaption, ProMod::kIconError);
  return false;
}

void SetForm::VsNetBut3_Click() { reject(); }

void SetForm::done(int result) {
  timer1_.stop();
  // Only this dialog opens the picker; it goes with it.
  if (ColorDialogMod::LoadedDialog()) ColorDialogMod::UnloadDialog();
  QDialog::done(result);
}

QDialog* CreateSetForm(QWidget* parent) {
  SetFormTargets targets;
  if (parent) {
    const auto direct = Qt::FindDirectChildrenOnly;
    targets.recordingList = parent->findChild<MyStree*>(QStringLiteral("MyStree1"), direct);
    targets.sentenceList = parent->findChild<MyStree*>(QStringLiteral("MyStree2"), direct);
    targets.wholeBar = parent->findChild<QelPBar*>(QStringLiteral("QelPBar1"), direct);
    targets.sentenceBar = parent->findChild<QelPBar*>(QStringLiteral("QelPBar2"), direct);
    targets.remarkBox = parent->findChild<QelTextMu*>(QStringLiteral("QelTextMu1"), direct);
  }
  return new SetForm(parent, targets);
}
