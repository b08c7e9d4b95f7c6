// velmo-tool demo-lesson APPLICATION_FOLDER: makes the demo category "示例"
// with one short spoken dialogue and its material file. The speech comes
// from espeak-ng, the MP3 from lame; the sentence times are the sample
// positions of the synthesised speech, so they are exact.
#include <espeak-ng/speak_lib.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "core/audio_player.h"
#include "core/material_store.h"
#include "tools/commands.h"

namespace velmo_tool {
namespace {

struct Line {
  const char* voice;
  const char* text;
  const char* remark;
};

// Two speakers: a customer and a waiter.
const Line kDialogue[] = {
    {"en-us", "Good morning. Could I see the menu, please?", "早上好。请给我看一下菜单好吗？"},
    {"en-us+f3", "Of course. Here you are.", "当然。给您。"},
    {"en-us", "Thank you. What do you recommend?", ""},
    {"en-us+f3", "The chicken salad is very good today.", "今天的鸡肉沙拉很不错。"},
    {"en-us", "That sounds great. I'll have that.", ""},
    {"en-us+f3", "Would you like something to drink?", "您想喝点什么吗？"},
    {"en-us", "A cup of tea with milk, please.", ""},
    {"en-us+f3", "Certainly. It will be ready in ten minutes.", "好的。十分钟就好。"},
    {"en-us", "No problem. I'm not in a hurry.", ""},
    {"en-us+f3", "Enjoy your meal.", "请慢用。"},
};

const QString kCategory = QStringLiteral("示例");
const QString kFileName = QStringLiteral("第1课 At the Cafe.mp3");

std::vector<short>* g_collect = nullptr;

int Collect(short* wav, int count, espeak_EVENT*) {
  if (wav && count > 0 && g_collect) g_collect->insert(g_collect->end(), wav, wav + count);
  return 0;
}

// Drops the silence the synthesiser leaves before and after the words.
void TrimSilence(std::vector<short>& samples) {
  const int threshold = 200;
  size_t first = 0;
  while (first < samples.size() && std::abs(samples[first]) < threshold) ++first;
  size_t last = samples.size();
  while (last > first && std::abs(samples[last - 1]) < threshold) --last;
  samples = std::vector<short>(samples.begin() + static_cast<long>(first), samples.begin() + static_cast<long>(last));
}

QByteArray WavFile(const std::vector<short>& samples, int rate) {
  QByteArray out;
  auto u32 = [&out](uint32_t v) {
    for (int i = 0; i < 4; ++i) out.append(static_cast<char>((v >> (8 * i)) & 0xff));
  };
  auto u16 = [&out](uint16_t v) {
    out.append(static_cast<char>(v & 0xff));
    out.append(static_cast<char>(v >> 8));
  };
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  out.append("RIFF");
  u32(36 + dataBytes);
  out.append("WAVEfmt ");
  u32(16);
  u16(1);
  u16(1);
  u32(static_cast<uint32_t>(rate));
  u32(static_cast<uint32_t>(rate * 2));
  u16(2);
  u16(16);
  out.append("data");
  u32(dataBytes);
  out.append(reinterpret_cast<const char*>(samples.data()), static_cast<qsizetype>(dataBytes));
  return out;
}

}  // namespace

int RunDemoLesson(const QStringList& args, QTextStream& out, QTextStream& err) {
  if (args.size() != 1) {
    err << "usage: velmo-tool demo-lesson APPLICATION_FOLDER\n";
    return 2;
  }
  const QString folder = QDir(args[0]).absoluteFilePath(QStringLiteral("语音/") + kCategory);
  const QString audioPath = folder + QLatin1Char('/') + kFileName;
  const QString materialPath = ProMod::MaterialPathFor(audioPath);
  if (QFileInfo::exists(audioPath) || QFileInfo::exists(materialPath)) {
    out << "The demo lesson is there already: " << audioPath << "\n";
    return 0;  // never overwrite what the learner may have changed
  }
  const QString lame = QStandardPaths::findExecutable(QStringLiteral("lame"));
  if (lame.isEmpty()) {
    err << "demo-lesson: lame is not installed\n";
    return 1;
  }
  if (!QDir().mkpath(folder)) {
    err << "demo-lesson: cannot create " << folder << "\n";
    return 1;
  }

  const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 500, nullptr, espeakINITIALIZE_DONT_EXIT);
  if (rate <= 0) {
    err << "demo-lesson: espeak-ng could not start\n";
    return 1;
  }
  espeak_SetSynthCallback(Collect);
  espeak_SetParameter(espeakRATE, 150, 0);

  const int gap = rate * 7 / 10;  // 0.7 s between sentences
  std::vector<short> all(static_cast<size_t>(rate * 4 / 10), 0);
  QStringList lines;
  for (const Line& line : kDialogue) {
    std::vector<short> speech;
    g_collect = &speech;
    espeak_SetVoiceByName(line.voice);
    const QByteArray text(line.text);
    espeak_Synth(text.constData(), static_cast<size_t>(text.size()) + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                 nullptr, nullptr);
    espeak_Synchronize();
    g_collect = nullptr;
    TrimSilence(speech);
    // Sentence times: the first and one past the last sample of the words,
    // in whole milliseconds that still hold every sample.
    const int64_t first = static_cast<int64_t>(all.size());
    const int64_t last = first + static_cast<int64_t>(speech.size());
    const int32_t start = static_cast<int32_t>(first * 1000 / rate);
    int32_t end = static_cast<int32_t>((last * 1000 + rate - 1) / rate);
    // Time text stops at .994: an end in the last milliseconds of a second
    // moves on to the next full second (silence) rather than cutting words.
    if (end % 1000 > 994) end = (end / 1000 + 1) * 1000;
    all.insert(all.end(), speech.begin(), speech.end());
    all.insert(all.end(), static_cast<size_t>(gap), 0);
    lines << ProMod::FormatSentenceLine(start, QString::fromUtf8(line.text), end, QString::fromUtf8(line.remark));
  }
  espeak_Terminate();

  const QString wavPath = folder + QStringLiteral("/.demo-lesson.wav");
  {
    QFile wav(wavPath);
    if (!wav.open(QIODevice::WriteOnly) || wav.write(WavFile(all, rate)) < 0) {
      err << "demo-lesson: cannot write " << wavPath << "\n";
      return 1;
    }
  }
  QProcess encoder;
  encoder.start(lame, {QStringLiteral("--quiet"), QStringLiteral("-b"), QStringLiteral("64"), QStringLiteral("-m"),
                       QStringLiteral("m"), wavPath, audioPath});
  const bool encoded = encoder.waitForFinished(120000) && encoder.exitStatus() == QProcess::NormalExit &&
                       encoder.exitCode() == 0;
  QFile::remove(wavPath);
  if (!encoded) {
    QFile::remove(audioPath);
    err << "demo-lesson: lame failed\n";
    return 1;
  }

  ProMod::BaseData = lines.join(ProMod::kEnter);
  ProMod::SetData.clear();
  ProMod::ExeData.clear();
  ProMod::CurrentMaterialPath = materialPath;
  if (!ProMod::SaveMaterialFile()) {
    err << "demo-lesson: cannot write " << materialPath << "\n";
    return 1;
  }
  out << "Made the demo lesson " << audioPath << " (" << lines.size() << " sentences)\n";
  return 0;
}

}  // namespace velmo_tool
