#include "platform/fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QStringList>

namespace platform {
namespace {

// Serif (Song/Ming style) fonts for Simplified Chinese, best first.
const char* const kChineseSerif[] = {
    "Noto Serif CJK SC", "Source Han Serif SC", "Source Han Serif CN", "AR PL UMing CN",
    "AR PL SungtiL GB", "Noto Sans CJK SC", "Source Han Sans SC", "Source Han Sans CN",
    "WenQuanYi Zen Hei", "WenQuanYi Micro Hei", "Droid Sans Fallback",
};
// Sans (Hei style) fonts for Simplified Chinese, best first.
const char* const kChineseSans[] = {
    "Noto Sans CJK SC", "Source Han Sans SC", "Source Han Sans CN", "WenQuanYi Micro Hei",
    "WenQuanYi Zen Hei", "Droid Sans Fallback", "Noto Serif CJK SC", "AR PL UMing CN",
};
// Latin fonts with the metrics of Arial.
const char* const kArialLike[] = {"Liberation Sans", "Nimbus Sans", "Nimbus Sans L", "Arimo", "DejaVu Sans"};

QStringList Installed(const QStringList& wanted) {
  const QStringList families = QFontDatabase::families();
  QStringList result;
  for (const QString& name : wanted)
    if (families.contains(name, Qt::CaseInsensitive) && !result.contains(name, Qt::CaseInsensitive)) result << name;
  return result;
}

template <size_t N>
QStringList List(const char* const (&names)[N]) {
  QStringList list;
  for (const char* name : names) list << QString::fromUtf8(name);
  return list;
}

}  // namespace

void RegisterFontSubstitutions() {
  if (!QGuiApplication::instance()) return;  // the font database needs the application
  static bool done = false;
  if (done) return;
  done = true;

  const QStringList serif = Installed(List(kChineseSerif));
  const QStringList sans = Installed(List(kChineseSans));
  const QStringList latinSans = Installed(List(kArialLike)) + sans;

  // Chinese font names a window may ask for, with their look.
  for (const char* name : {"宋体", "SimSun", "新宋体", "NSimSun", "仿宋", "FangSong", "楷体", "KaiTi"})
    if (!serif.isEmpty()) QFont::insertSubstitutions(QString::fromUtf8(name), serif);
  for (const char* name : {"黑体", "SimHei", "微软雅黑", "Microsoft YaHei"})
    if (!sans.isEmpty()) QFont::insertSubstitutions(QString::fromUtf8(name), sans);

  // Latin names: a metric-compatible face, then Chinese glyphs in
  // Simplified Chinese shapes for any Chinese text set in them.
  for (const char* name : {"Arial", "Tahoma", "Verdana", "MS Sans Serif", "Microsoft Sans Serif"})
    if (!latinSans.isEmpty()) QFont::insertSubstitutions(QString::fromUtf8(name), latinSans);

  // The application's own default font: keep it, but take Chinese glyphs
  // from a Simplified Chinese font before the configuration's fallback.
  const QString appFamily = QGuiApplication::font().family();
  if (!sans.isEmpty() && !appFamily.isEmpty() && !sans.contains(appFamily, Qt::CaseInsensitive))
    QFont::insertSubstitutions(appFamily, sans);
}

}  // namespace platform
