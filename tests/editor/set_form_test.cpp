// The appearance dialog on a real main window: what it shows when it opens,
// every change reaching the main window at once, "保 存" writing FaceSet.ini
// that the main window reads back, and the files and inputs it must survive.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <unistd.h>

#include <map>

#include "colour_picker/colour_box.h"
#include "colour_picker/colour_dialog.h"
#include "colour_picker/colour_dialog_mod.h"
#include "colour_picker/colour_swatch.h"
#include "controls/vsnet_button.h"
#include "core/text_codec.h"
#include "editor/appearance_file.h"
#include "editor/set_form.h"
#include "tests/app/main_form_fixture.h"
#include "tests/common/modal_driver.h"
#include "tests/common/wait_until.h"

namespace app_test {
namespace {

using Snapshot = std::map<QString, int64_t>;

const QStringList kFonts = {QStringLiteral("DejaVu Sans"), QStringLiteral("@Vertical Song"),
                            QStringLiteral("Liberation Serif"), QStringLiteral("宋体")};

void AddList(Snapshot& s, const QString& prefix, const MyStree* l) {
  s[prefix + "BackGroundColor1"] = l->BackGroundColor1();
  s[prefix + "BackGroundColor2"] = l->BackGroundColor2();
  s[prefix + "BorderColor"] = l->BorderColor();
  s[prefix + "LabelColorMoveOut"] = l->LabelColorMoveOut();
  s[prefix + "LabelColorMoveIn"] = l->LabelColorMoveIn();
  s[prefix + "LabelColorClick"] = l->LabelColorClick();
  s[prefix + "HightLightColor"] = l->HightLightColor();
  s[prefix + "BackGroundAngel"] = l->BackGroundAngel();
  s[prefix + "LabelFontSize"] = l->LabelFontSize();
}

void AddBar(Snapshot& s, const QString& prefix, const QelPBar* b) {
  s[prefix + "ColorLeft"] = b->ColorLeft();
  s[prefix + "ColorRight"] = b->ColorRight();
  s[prefix + "BackColor"] = b->BackColor();
  s[prefix + "ForeColor1"] = b->ForeColor1();
  s[prefix + "ForeColor2"] = b->ForeColor2();
  s[prefix + "BorderColor"] = b->BorderColor();
}

QString Prefix(appearance::Target t) {
  switch (t) {
    case appearance::Target::RecordingList: return QStringLiteral("R.");
    case appearance::Target::SentenceList: return QStringLiteral("S.");
    case appearance::Target::WholeBar: return QStringLiteral("W.");
    case appearance::Target::SentenceBar: return QStringLiteral("B.");
  }
  return QString();
}

class SetFormTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    SetForm::SetFontFamilySource([] { return kFonts; });
    ColorDialog::SetPointerWarp([](const QPoint&) {});
    Open();
  }
  void TearDown() override {
    dialog_.reset();
    ColorDialogMod::UnloadDialog();
    ColorDialog::SetPointerWarp(nullptr);
    ColorDialogMod::ResetState();
    SetForm::SetFontFamilySource({});
    MainFormTest::TearDown();
  }
  SetForm& Dialog() {
    dialog_.reset(static_cast<SetForm*>(CreateSetForm(&form())));
    return *dialog_;
  }
  // Everything of the main window the dialog may change, and its previews.
  Snapshot Look(const MainForm& f) const {
    Snapshot s;
    AddList(s, "R.", f.MyStree1());
    AddList(s, "S.", f.MyStree2());
    AddBar(s, "W.", f.QelPBar1());
    AddBar(s, "B.", f.QelPBar2());
    s["Remark.BorderColor"] = f.QelTextMu1()->BorderColor();
    if (dialog_) {
      AddBar(s, "P1.", dialog_->QelPBar1());
      AddBar(s, "P2.", dialog_->QelPBar2());
    }
    return s;
  }
  // A look unlike the design values, in every setting the file has.
  void Restyle() {
    MyStree* r = form().MyStree1();
    MyStree* s = form().MyStree2();
    r->setBackGroundColor1(RgbValue(1, 2, 3));
    r->setHightLightColor(RgbValue(40, 50, 60));
    r->setBackGroundAngel(30);
    s->setBackGroundColor2(RgbValue(200, 100, 0));
    s->setBackGroundAngel(-45);
    s->setLabelFontName(QStringLiteral("Liberation Serif"));
    s->setLabelFontSize(20);
    form().QelPBar1()->setForeColor2(RgbValue(9, 9, 9));
    form().QelPBar2()->setColorLeft(RgbValue(250, 0, 250));
    form().QelPBar2()->setForeColor1(SystemColourValue(kSysButtonText));
  }
  QString FacePath() const { return app_.File(QStringLiteral("FaceSet.ini")); }

  std::unique_ptr<SetForm> dialog_;
};

TEST_F(SetFormTest, OpeningShowsTheMainWindowsLook) {
  Restyle();
  form().MyStree2()->setLabelFontName(QStringLiteral("\"liberation SERIF\""));
  SetForm& d = Dialog();
  EXPECT_EQ(d.windowTitle(), QStringLiteral("窗口界面设置"));
  for (int i = 0; i < SetForm::kSwatchCount; ++i) {
    const appearance::KeyInfo& key = appearance::Keys()[i];
    EXPECT_EQ(d.Label1(i)->text(), key.key);
    EXPECT_EQ(d.SwatchColour(i), Look(form())[Prefix(key.target) + key.property]) << i;
  }
  EXPECT_EQ(d.QelPBar1()->ForeColor2(), RgbValue(9, 9, 9));
  EXPECT_EQ(d.QelPBar2()->ColorLeft(), RgbValue(250, 0, 250));
  EXPECT_EQ(d.QelPBar1()->Caption(), QStringLiteral("Velmo复读机"));
  EXPECT_EQ(d.QelText1(0)->Text(), QStringLiteral("30"));
  EXPECT_EQ(d.QelText1(1)->Text(), QStringLiteral("-45"));
  // The list's font found without case and quotes; the vertical variant left out.
  EXPECT_EQ(d.Combo1()->count(), 3);
  EXPECT_EQ(d.Combo1()->findText(QStringLiteral("@Vertical Song")), -1);
  EXPECT_EQ(d.Combo1()->currentText(), QStringLiteral("Liberation Serif"));
  EXPECT_EQ(d.SampleFontName(), QStringLiteral("Liberation Serif"));
  EXPECT_EQ(d.SampleFontSize(), 20);
  EXPECT_EQ(d.Label3()->text(), QStringLiteral("句子选择框文字示例 Aa Bb Cc Xx Yy Zz"));
  EXPECT_FALSE(d.Loading());
  // Opening selects in the font list without choosing a font.
  EXPECT_EQ(form().MyStree2()->LabelFontName(), QStringLiteral("\"liberation SERIF\""));
  EXPECT_FALSE(d.Timer1().isActive());
  EXPECT_EQ(d.Timer1().interval(), 30);
  EXPECT_FALSE(d.ColorBox1()->isVisible());
  const QStringList sizes = {"小", "较小", "中", "较大", "大"};
  for (size_t k = 0; k < SetForm::kFontSizes.size(); ++k)
    EXPECT_EQ(d.FontSizeSelect(SetForm::kFontSizes[k])->Caption(), sizes[static_cast<int>(k)]);
  EXPECT_EQ(d.FontSizeSelect(14), nullptr);
}

TEST_F(SetFormTest, FontSizesOffTheButtonsMoveUpAndReachTheMainWindow) {
  const std::pair<int16_t, int16_t> cases[] = {{14, 16}, {12, 12}, {0, 10}, {11, 12}, {21, 24}, {99, 24}, {-3, 10}};
  for (auto [given, shown] : cases) {
    form().MyStree2()->setLabelFontSize(given);
    SetForm& d = Dialog();
    EXPECT_EQ(d.SampleFontSize(), shown) << given;
    EXPECT_EQ(form().MyStree2()->LabelFontSize(), shown) << given;
  }
  Dialog().FontSizeSelect(10)->Click();
  EXPECT_EQ(form().MyStree2()->LabelFontSize(), 10);
  EXPECT_EQ(dialog_->SampleFontSize(), 10);
}

TEST_F(SetFormTest, EachSwatchChangesExactlyItsProperty) {
  SetForm& d = Dialog();
  for (int i = 0; i < SetForm::kSwatchCount; ++i) {
    const appearance::KeyInfo& key = appearance::Keys()[i];
    Snapshot expected = Look(form());
    const ColourValue colour = RgbValue(10 + i, 100 + i, 200 - i);
    d.ApplyColour(i, colour);
    const QString prefix = Prefix(key.target);
    expected[prefix + key.property] = colour;
    if (prefix == "W.") expected["P1." + key.property] = colour;
    if (prefix == "B.") expected["P2." + key.property] = colour;
    if (i == 18) expected["Remark.BorderColor"] = colour;  // framed like the whole-recording bar
    EXPECT_EQ(Look(form()), expected) << key.key.toStdString();
    EXPECT_EQ(d.SwatchColour(i), colour);
  }
}

TEST_F(SetFormTest, CaptionsStayReadableOnEveryColour) {
  SetForm& d = Dialog();
  const ColourValue white = RgbValue(255, 255, 255), black = 0;
  d.ApplyColour(3, black);
  EXPECT_EQ(d.CaptionColour(3), white);
  d.ApplyColour(3, white);
  EXPECT_EQ(d.CaptionColour(3), black) << "a light colour turns the caption dark again";
  d.ApplyColour(3, RgbValue(0, 0, 160));
  EXPECT_EQ(d.CaptionColour(3), white);
  d.ApplyColour(3, RgbValue(255, 255, 0));
  EXPECT_EQ(d.CaptionColour(3), black);
  // The near-black rule names some mid colours too; they keep white.
  const ColourValue mid = 65025u * 43u + 43u;
  EXPECT_TRUE(SetForm::NearBlack(mid));
  EXPECT_FALSE(SetForm::NearBlack(65025u * 44u));
  EXPECT_EQ(SetForm::CaptionColourFor(mid), white);
  // A system colour is judged by what it shows.
  EXPECT_EQ(SetForm::CaptionColourFor(SystemColourValue(kSysWindow)),
            SetForm::CaptionColourFor(ResolveColourValue(SystemColourValue(kSysWindow))));
}

TEST_F(SetFormTest, TheColourPickerChoosesOrCancelsAndIsUnloadedOnClosing) {
  SetForm& d = Dialog();
  const ColourValue before = d.SwatchColour(13);
  ColourValue picked = 0;
  QTimer::singleShot(0, [&picked] {
    ColorDialog* picker = ColorDialogMod::LoadedDialog();
    ASSERT_NE(picker, nullptr);
    picker->SurfaceDown(QPoint(200, 50));
    picker->SurfaceUp(QPoint(200, 50));
    picked = picker->lblSelColor()->Color();
    picker->Command1_Click();  // OK
  });
  d.Picture1_Click(13);
  EXPECT_EQ(d.SwatchColour(13), picked);
  EXPECT_EQ(form().QelPBar1()->ColorLeft(), picked);
  EXPECT_EQ(d.QelPBar1()->ColorLeft(), picked);
  EXPECT_NE(before, picked);

  QTimer::singleShot(0, [] {
    ColorDialog* picker = ColorDialogMod::LoadedDialog();
    ASSERT_NE(picker, nullptr);
    picker->SurfaceDown(QPoint(100, 120));
    picker->SurfaceUp(QPoint(100, 120));
    picker->Command2_Click();  // cancel
  });
  d.Picture1_Click(13);
  EXPECT_EQ(d.SwatchColour(13), picked);
  EXPECT_EQ(form().QelPBar1()->ColorLeft(), picked);

  ASSERT_NE(ColorDialogMod::LoadedDialog(), nullptr);
  d.VsNetBut3()->Click();  // "退 出"
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(ColorDialogMod::LoadedDialog(), nullptr);
}

TEST_F(SetFormTest, AnglesTypedOrPastedInAnyForm) {
  SetForm& d = Dialog();
  MyStree* recordings = form().MyStree1();
  MyStree* sentences = form().MyStree2();
  const std::pair<QString, int16_t> cases[] = {
      {"999", 999}, {"-99", -99}, {"abc", 0}, {"", 0}, {" 7x", 7}, {"1.5", 2}, {"2.5", 2}, {"360", 360}};
  for (const auto& [text, angle] : cases) {
    d.QelText1(0)->setText(text);
    EXPECT_EQ(recordings->BackGroundAngel(), angle) << text.toStdString();
    d.QelText1(1)->setText(text);
    EXPECT_EQ(sentences->BackGroundAngel(), angle) << text.toStdString();
  }
  // A number too large for an angle changes nothing.
  d.QelText1(1)->setText(QStringLiteral("45"));
  d.QelText1(1)->setText(QStringLiteral("9e9"));
  EXPECT_EQ(sentences->BackGroundAngel(), 45);
  EXPECT_EQ(d.Angle(1), 45);
  // An angle too long for the box: opening and saving keep it.
  recordings->setBackGroundAngel(1000);
  sentences->setBackGroundAngel(-120);
  SetForm& e = Dialog();
  EXPECT_EQ(e.QelText1(0)->Text(), QStringLiteral("100"));
  EXPECT_EQ(recordings->BackGroundAngel(), 1000);
  EXPECT_EQ(sentences->BackGroundAngel(), -120);
  ASSERT_TRUE(e.VsNetBut1_Click());
  const QString saved = ProMod::DecodeAnsi(app_.Read("FaceSet.ini"));
  EXPECT_TRUE(saved.contains(QStringLiteral("文件选择框背景色角度=1000\r\n")));
  EXPECT_TRUE(saved.contains(QStringLiteral("句子选择框背景色角度=-120\r\n")));
  e.QelText1(0)->setText(QStringLiteral("90"));
  EXPECT_EQ(recordings->BackGroundAngel(), 90);
  e.QelText1(0)->setText(QStringLiteral("100"));
  EXPECT_EQ(recordings->BackGroundAngel(), 100) << "typed back, it means what it says";
  // Typing: at most three characters, letters swallowed.
  e.show();
  auto* edit = static_cast<QLineEdit*>(e.QelText1(0)->Text1());
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, QStringLiteral("a1b2c34"));
  EXPECT_EQ(e.QelText1(0)->Text(), QStringLiteral("123"));
  EXPECT_EQ(recordings->BackGroundAngel(), 123);
  form().repaint();  // gradients at odd angles still draw
}

TEST_F(SetFormTest, FontsNotInstalledAndLongFontLists) {
  form().MyStree2()->setLabelFontName(QStringLiteral("No Such Font 42"));
  SetForm& d = Dialog();
  EXPECT_EQ(d.Combo1()->currentIndex(), -1);
  EXPECT_EQ(d.SampleFontName(), QStringLiteral("No Such Font 42")) << "saving at once keeps the list's font";
  EXPECT_TRUE(d.VsNetBut1_Click());
  EXPECT_TRUE(app_.Read("FaceSet.ini").contains("No Such Font 42"));
  d.Combo1()->setCurrentIndex(2);  // a pick in the list
  EXPECT_EQ(form().MyStree2()->LabelFontName(), QStringLiteral("宋体"));
  EXPECT_EQ(d.SampleFontName(), QStringLiteral("宋体"));

  QStringList many;
  for (int i = 0; i < 2000; ++i)
    many << (i % 10 == 0 ? QStringLiteral("@Font %1").arg(i) : QStringLiteral("Font %1").arg(i));
  SetForm::SetFontFamilySource([many] { return many; });
  form().MyStree2()->setLabelFontName(QStringLiteral("font 1999"));
  SetForm& big = Dialog();
  EXPECT_EQ(big.Combo1()->count(), 1800);
  EXPECT_EQ(big.Combo1()->currentText(), QStringLiteral("Font 1999"));
  EXPECT_EQ(big.SampleFontName(), QStringLiteral("Font 1999"));
  SetForm::SetFontFamilySource({});
  const QStringList screen = SetForm::FontNames();
  for (const QString& name : screen) EXPECT_FALSE(name.startsWith('@'));
}

TEST_F(SetFormTest, PreviewRunsToTheEndAndRestsHalfway) {
  SetForm& d = Dialog();
  d.Command3()->Click();
  EXPECT_TRUE(d.Timer1().isActive());
  EXPECT_EQ(d.QelPBar1()->Value(), 0);
  EXPECT_EQ(d.QelPBar2()->Value(), 0);
  for (int tick = 1; tick <= 100; ++tick) d.Timer1_Timer();
  EXPECT_EQ(d.QelPBar1()->Value(), 100);
  EXPECT_EQ(d.QelPBar2()->Value(), 100);
  EXPECT_TRUE(d.Timer1().isActive());
  d.Timer1_Timer();
  EXPECT_FALSE(d.Timer1().isActive());
  EXPECT_EQ(d.QelPBar1()->Value(), 50);
  EXPECT_EQ(d.QelPBar2()->Value(), 50);
  // Twice in a row restarts from 0; on its own timer it ends in about 3 s.
  d.Command3_Click();
  for (int tick = 0; tick < 30; ++tick) d.Timer1_Timer();
  d.Command3_Click();
  EXPECT_EQ(d.QelPBar1()->Value(), 0);
  ASSERT_TRUE(WaitUntil([&d] { return d.QelPBar1()->Value() > 0; }, 1000));
  ASSERT_TRUE(WaitUntil([&d] { return !d.Timer1().isActive(); }, 8000));
  EXPECT_EQ(d.QelPBar1()->Value(), 50);
  // Closing stops a running preview.
  d.Command3_Click();
  d.VsNetBut3_Click();
  EXPECT_FALSE(d.Timer1().isActive());
}

TEST_F(SetFormTest, SavingAtOnceWritesWhatTheMainWindowShows) {
  Restyle();
  const Snapshot before = Look(form());
  SetForm& d = Dialog();
  d.show();
  EXPECT_TRUE(d.VsNetBut1_Click());
  EXPECT_EQ(msgs_.Count(), 0) << "saving says nothing";
  EXPECT_TRUE(d.isVisible()) << "the dialog stays open";
  const std::vector<appearance::Setting> read = appearance::ReadAppearanceFile();
  ASSERT_EQ(read.size(), 29u);
  for (size_t k = 0; k < read.size(); ++k) EXPECT_EQ(read[k].info, &appearance::Keys()[k]) << "order";
  EXPECT_EQ(read[28].text, QStringLiteral("Liberation Serif"));
  EXPECT_EQ(read[25].number, -45);
  EXPECT_EQ(read[26].number, 30);

  // A second main window reads the same look from the file.
  dialog_.reset();
  MainForm other;
  other.show();
  EXPECT_EQ(Look(other), before);
  EXPECT_EQ(other.MyStree2()->LabelFontName(), form().MyStree2()->LabelFontName());
}

TEST_F(SetFormTest, TheFileIsWrittenWholeInTheAnsiCodePage) {
  SetForm& d = Dialog();
  for (int i = 0; i < SetForm::kSwatchCount; ++i) d.ApplyColour(i, static_cast<ColourValue>(i * 1000));
  d.ApplyColour(0, SystemColourValue(kSysButtonFace));
  d.QelText1(0)->setText(QStringLiteral("12"));
  d.QelText1(1)->setText(QStringLiteral("-7"));
  d.FontSizeSelect_Click(16);
  form().MyStree2()->setLabelFontName(QStringLiteral("宋体"));
  SetForm& e = Dialog();  // the sentence font taken from the list
  ASSERT_TRUE(app_.Write("FaceSet.ini", "old contents\r\n"));
  ASSERT_EQ(::link(FacePath().toLocal8Bit().constData(), app_.File("old.ini").toLocal8Bit().constData()), 0);
  ASSERT_TRUE(e.VsNetBut1_Click());

  QString text;
  for (int i = 0; i < SetForm::kSwatchCount; ++i)
    text += appearance::Keys()[i].key + "=" +
            (i == 0 ? QString::number(static_cast<int32_t>(SystemColourValue(kSysButtonFace))) : QString::number(i * 1000)) +
            "\r\n";
  text += QStringLiteral("句子选择框背景色角度=-7\r\n文件选择框背景色角度=12\r\n字号=16\r\n字体=宋体\r\n\r\n");
  const QByteArray bytes = app_.Read("FaceSet.ini");
  EXPECT_EQ(bytes, ProMod::EncodeAnsi(text));
  EXPECT_TRUE(bytes.startsWith(QByteArray("\xCE\xC4\xBC\xFE", 4))) << "文件 in GB18030";
  EXPECT_TRUE(bytes.endsWith("\xD7\xD6\xCC\xE5=\xCB\xCE\xCC\xE5\r\n\r\n")) << "字体=宋体, then one more CR LF";
  EXPECT_EQ(bytes.count("\r\n"), 30);
  EXPECT_EQ(bytes.count('\n'), 30) << "no bare line feeds";
  // Replaced, not rewritten in place: the old file's other name keeps it.
  EXPECT_EQ(app_.Read("old.ini"), QByteArray("old contents\r\n"));
  QFile::remove(app_.File("old.ini"));
  const QStringList left = QDir(app_.Path()).entryList(QDir::Files);
  EXPECT_EQ(left, QStringList{"FaceSet.ini"}) << "no temporary file left";
}

TEST_F(SetFormTest, AFileThatCannotBeWrittenIsKeptAndTheUserTold) {
  SetForm& d = Dialog();
  ASSERT_TRUE(app_.Write("FaceSet.ini", "主进度条左边色=255\r\n"));
  QFile::setPermissions(FacePath(), QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
  d.ApplyColour(0, RgbValue(1, 1, 1));
  EXPECT_FALSE(d.VsNetBut1_Click());
  ASSERT_EQ(msgs_.Count(), 1);
  EXPECT_EQ(msgs_.Last().icon, ProMod::kIconError);
  EXPECT_TRUE(msgs_.Last().text.startsWith(SetForm::kSaveFailed));
  QFile::setPermissions(FacePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  EXPECT_EQ(app_.Read("FaceSet.ini"), QByteArray("主进度条左边色=255\r\n"));

  // A folder that is gone, and a FaceSet.ini that is a folder.
  platform::SetApplicationFolder(app_.File("gone"));
  EXPECT_FALSE(d.VsNetBut1_Click());
  EXPECT_FALSE(QFileInfo::exists(app_.File("gone")));
  platform::SetApplicationFolder(app_.Path());
  QFile::remove(FacePath());
  ASSERT_TRUE(app_.MakeDir("FaceSet.ini"));
  EXPECT_FALSE(d.VsNetBut1_Click());
  EXPECT_TRUE(QFileInfo(FacePath()).isDir());
  EXPECT_EQ(msgs_.Count(), 3);
  EXPECT_EQ(QDir(app_.Path()).entryList(QDir::Files), QStringList());
}

TEST_F(SetFormTest, TheMainWindowOpensItAndFallsBackToTheFileAfterwards) {
  // With a file: an unsaved colour falls back to the file's; a key the file
  // lacks keeps what the dialog set.
  ASSERT_TRUE(app_.Write("FaceSet.ini", ProMod::EncodeAnsi(QStringLiteral("主进度条左边色=255\r\n"))));
  form().QelPBar1()->setColorLeft(255);
  bool wasSetForm = false;
  {
    ModalDriver driver([&wasSetForm](QWidget* w) {
      auto* d = qobject_cast<SetForm*>(w);
      wasSetForm = d != nullptr;
      if (d) {
        d->ApplyColour(13, RgbValue(0, 255, 0));
        d->ApplyColour(22, RgbValue(0, 0, 77));
      }
      w->close();
    });
    form().OpenSettings();
  }
  EXPECT_TRUE(wasSetForm);
  EXPECT_EQ(form().QelPBar1()->ColorLeft(), 255u);
  EXPECT_EQ(form().QelPBar2()->BackColor(), RgbValue(0, 0, 77));

  // Saved changes last.
  {
    ModalDriver driver([](QWidget* w) {
      auto* d = qobject_cast<SetForm*>(w);
      if (d) {
        d->ApplyColour(13, RgbValue(0, 255, 0));
        d->VsNetBut1()->Click();
        d->VsNetBut3()->Click();
      } else {
        w->close();
      }
    });
    form().OpenSettings();
  }
  EXPECT_EQ(form().QelPBar1()->ColorLeft(), RgbValue(0, 255, 0));
  EXPECT_EQ(msgs_.Count(), 0);
}

}  // namespace
}  // namespace app_test
