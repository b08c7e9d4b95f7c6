// colour_picker_demo OUTDIR: opens the colour dialog in each of its views
// (H, S and B picker with a colour chosen, the custom palette, the web-safe
// palette and the about page) and saves a picture of each into OUTDIR as
// colour_picker_<view>.png. Used to look at the dialog; not a test.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include "colour_picker/colour_box.h"
#include "colour_picker/colour_dialog.h"
#include "colour_picker/colour_dialog_mod.h"
#include "platform/app_paths.h"
#include "platform/fonts.h"

namespace {

void Settle(int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

// A custom palette with a few rows of stored colours.
void StoreSomeColours() {
  for (int cell = 1; cell <= 40; ++cell)
    ColorDialogMod::CustomColors[cell] = ColorDialogMod::HsbToRgb((cell - 1) * 9.0, 40 + cell % 3 * 30, 95 - cell % 4 * 10);
  ColorDialogMod::SaveCustomColors();
}

void Shoot(ColorBox* box, int mode, const QString& path, const std::function<void(ColorDialog*)>& prepare) {
  box->setMode(mode);
  QTimer::singleShot(300, [path, prepare] {
    ColorDialog* dialog = ColorDialogMod::LoadedDialog();
    if (!dialog) return;
    if (prepare) prepare(dialog);
    Settle(200);
    dialog->grab().save(path);
    dialog->Command2_Click();
  });
  box->Show();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  platform::RegisterFontSubstitutions();
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
  QTemporaryDir folder;
  platform::SetApplicationFolder(folder.path());
  StoreSomeColours();

  QWidget host;
  host.setWindowTitle(QStringLiteral("窗口界面设置"));
  host.resize(640, 480);
  host.move(100, 100);
  auto* box = new ColorBox(&host);
  box->move(20, 20);
  host.show();
  Settle(200);

  ColorDialogMod::LastColor = RgbValue(214, 64, 48);  // a colour accepted before, in the hot corner
  const ColourValue chosen = RgbValue(46, 139, 205);
  box->setColor(chosen);
  Shoot(box, 0, out + "/colour_picker_h.png", nullptr);
  Shoot(box, 1, out + "/colour_picker_s.png", nullptr);
  Shoot(box, 2, out + "/colour_picker_b.png", [](ColorDialog* d) {
    d->chkWeb()->click();  // web colours on: the surfaces in 216 colours
  });
  box->setWebColors(false);
  ColorDialogMod::SelectedCell = 7;
  Shoot(box, 3, out + "/colour_picker_custom.png", nullptr);
  Shoot(box, 4, out + "/colour_picker_websafe.png", [](ColorDialog* d) {
    const QRect cell = ColorDialogMod::CellRect(113);
    d->SurfaceDown(cell.center());
    d->SurfaceUp(cell.center());
  });
  Shoot(box, 4, out + "/colour_picker_about.png", [](ColorDialog* d) {
    d->cmbPreset()->setCurrentIndex(0);
    d->cmbPreset_Click(0);
  });
  return 0;
}
