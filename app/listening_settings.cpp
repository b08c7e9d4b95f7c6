#include "app/listening_settings.h"

#include <QSettings>
#include <cmath>

#include "core/audio_player.h"
#include "platform/app_paths.h"

namespace {

const QString kSpeed = QStringLiteral("Listening/Speed");
const QString kShadowing = QStringLiteral("Shadowing/On");
const QString kCount = QStringLiteral("Shadowing/Count");
const QString kPause = QStringLiteral("Shadowing/Pause");

// A number from the file, or `fallback` when it is missing, no number or
// outside [low, high].
double Number(const QSettings& file, const QString& key, double low, double high, double fallback) {
  bool ok = false;
  const double value = file.value(key).toString().trimmed().toDouble(&ok);
  return ok && std::isfinite(value) && value >= low && value <= high ? value : fallback;
}

}  // namespace

double SnapSpeed(double speed) {
  if (!std::isfinite(speed)) return 1.0;
  const double snapped = std::round(speed * 20.0) / 20.0;
  return std::fmin(SoundMod::kMaxSpeed, std::fmax(SoundMod::kMinSpeed, snapped));
}

QString ListeningSettings::FilePath() { return platform::ApplicationFolder() + QStringLiteral("/listening.ini"); }

ListeningSettings ListeningSettings::Read() {
  const QSettings file(FilePath(), QSettings::IniFormat);
  ListeningSettings s;
  s.speed = SnapSpeed(Number(file, kSpeed, SoundMod::kMinSpeed, SoundMod::kMaxSpeed, 1.0));
  const QString on = file.value(kShadowing).toString().trimmed().toLower();
  s.shadowing.on = on == QLatin1String("true") || on == QLatin1String("1");
  s.shadowing.count = static_cast<int>(Number(file, kCount, 0, 9, 3));
  s.shadowing.pause = std::round(Number(file, kPause, 0, 3, 1.0) * 20.0) / 20.0;
  return s;
}

bool ListeningSettings::Write() const {
  QSettings file(FilePath(), QSettings::IniFormat);
  file.setValue(kSpeed, QString::number(speed, 'f', 2));
  file.setValue(kShadowing, shadowing.on);
  file.setValue(kCount, shadowing.count);
  file.setValue(kPause, QString::number(shadowing.pause, 'f', 2));
  file.sync();
  return file.status() == QSettings::NoError;
}
