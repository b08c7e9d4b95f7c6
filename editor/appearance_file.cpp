#include "editor/appearance_file.h"

#include <QFileInfo>

#include "core/material_store.h"
#include "core/number_text.h"
#include "platform/app_paths.h"

namespace appearance {

const std::vector<KeyInfo>& Keys() {
  using K = ValueKind;
  using T = Target;
  static const std::vector<KeyInfo> keys = {
      {QStringLiteral("文件选择框--背景色1"), K::Colour, T::RecordingList, QStringLiteral("BackGroundColor1")},
      {QStringLiteral("文件选择框--背景色2"), K::Colour, T::RecordingList, QStringLiteral("BackGroundColor2")},
      {QStringLiteral("文件选择框--边框色"), K::Colour, T::RecordingList, QStringLiteral("BorderColor")},
      {QStringLiteral("文件选择框--文字基本色"), K::Colour, T::RecordingList, QStringLiteral("LabelColorMoveOut")},
      {QStringLiteral("文件选择框--文字移入色"), K::Colour, T::RecordingList, QStringLiteral("LabelColorMoveIn")},
      {QStringLiteral("文件选择框--文字选中色"), K::Colour, T::RecordingList, QStringLiteral("LabelColorClick")},
      {QStringLiteral("文件选择框--文字选中背景"), K::Colour, T::RecordingList, QStringLiteral("HightLightColor")},
      {QStringLiteral("句子选择框--背景色1"), K::Colour, T::SentenceList, QStringLiteral("BackGroundColor1")},
      {QStringLiteral("句子选择框--背景色2"), K::Colour, T::SentenceList, QStringLiteral("BackGroundColor2")},
      {QStringLiteral("句子选择框--边框色"), K::Colour, T::SentenceList, QStringLiteral("BorderColor")},
      {QStringLiteral("句子选择框--文字基本色"), K::Colour, T::SentenceList, QStringLiteral("LabelColorMoveOut")},
      {QStringLiteral("句子选择框--文字移入色"), K::Colour, T::SentenceList, QStringLiteral("LabelColorMoveIn")},
      {QStringLiteral("句子选择框--文字选中色"), K::Colour, T::SentenceList, QStringLiteral("LabelColorClick")},
      {QStringLiteral("主进度条左边色"), K::Colour, T::WholeBar, QStringLiteral("ColorLeft")},
      {QStringLiteral("主进度条右边色"), K::Colour, T::WholeBar, QStringLiteral("ColorRight")},
      {QStringLiteral("主进度条背景色"), K::Colour, T::WholeBar, QStringLiteral("BackColor")},
      {QStringLiteral("主进度条文字色1"), K::Colour, T::WholeBar, QStringLiteral("ForeColor1")},
      {QStringLiteral("主进度条文字色2"), K::Colour, T::WholeBar, QStringLiteral("ForeColor2")},
      {QStringLiteral("主进度边框色"), K::Colour, T::WholeBar, QStringLiteral("BorderColor")},
      {QStringLiteral("次进度边框色"), K::Colour, T::SentenceBar, QStringLiteral("BorderColor")},
      {QStringLiteral("次进度条文字色2"), K::Colour, T::SentenceBar, QStringLiteral("ForeColor2")},
      {QStringLiteral("次进度条文字色1"), K::Colour, T::SentenceBar, QStringLiteral("ForeColor1")},
      {QStringLiteral("次进度条背景色"), K::Colour, T::SentenceBar, QStringLiteral("BackColor")},
      {QStringLiteral("次进度条右边色"), K::Colour, T::SentenceBar, QStringLiteral("ColorRight")},
      {QStringLiteral("次进度条左边色"), K::Colour, T::SentenceBar, QStringLiteral("ColorLeft")},
      {QStringLiteral("句子选择框背景色角度"), K::Integer, T::SentenceList, QStringLiteral("BackGroundAngel")},
      {QStringLiteral("文件选择框背景色角度"), K::Integer, T::RecordingList, QStringLiteral("BackGroundAngel")},
      {QStringLiteral("字号"), K::Integer, T::SentenceList, QStringLiteral("LabelFontSize")},
      {QStringLiteral("字体"), K::Text, T::SentenceList, QStringLiteral("LabelFontName")},
  };
  return keys;
}

const KeyInfo* FindKey(const QString& key) {
  for (const KeyInfo& info : Keys())
    if (info.key == key) return &info;
  return nullptr;
}

std::vector<Setting> ParseAppearance(const QString& text) {
  std::vector<Setting> settings;
  if (text.isEmpty()) return settings;
  for (const QString& line : text.split(ProMod::kCrLf)) {
    const QStringList parts = line.split(QLatin1Char('='));
    if (parts.size() < 2) continue;
    const KeyInfo* info = FindKey(ProMod::TrimSentenceText(parts[0]));
    if (!info) continue;
    const QString value = ProMod::TrimSentenceText(parts[1]);
    Setting setting;
    setting.info = info;
    bool ok = true;
    switch (info->kind) {
      case ValueKind::Colour:
        setting.number = ProMod::RoundToInt32(ProMod::LeadingNumber(value), &ok);
        break;
      case ValueKind::Integer:
        setting.number = ProMod::RoundToInt16(ProMod::LeadingNumber(value), &ok);
        break;
      case ValueKind::Text:
        setting.text = value;
        break;
    }
    // A number beyond its range would wrap into some unrelated colour or
    // size: such a line is left out.
    if (!ok) continue;
    settings.push_back(setting);
  }
  return settings;
}

QString AppearanceFilePath() { return platform::ApplicationFolder() + QLatin1Char('/') + kFileName; }

std::vector<Setting> ReadAppearanceFile() { return ParseAppearance(ProMod::ReadTextFile(AppearanceFilePath())); }

QString FormatAppearance(const std::vector<Setting>& settings) {
  QString text;
  for (const Setting& s : settings) {
    if (!s.info) continue;
    text += s.info->key + QLatin1Char('=');
    text += s.info->kind == ValueKind::Text ? s.text : QString::number(s.number);
    text += ProMod::kCrLf;
  }
  return text;
}

bool WriteAppearanceFile(const std::vector<Setting>& settings) {
  const QString path = AppearanceFilePath();
  // A file the user marked read-only is kept, also for a user (such as an
  // administrator) whom the system would let replace it.
  const QFileInfo existing(path);
  if (existing.exists() && !(existing.permissions() & QFileDevice::WriteOwner)) return false;
  return ProMod::WriteTextFile(path, FormatAppearance(settings));
}

}  // namespace appearance
