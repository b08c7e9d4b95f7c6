#pragma once
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

// FaceSet.ini: "key=value" lines setting the colours, angles and the
// sentence font of the main window's lists and position bars.
namespace appearance {

inline const QString kFileName = QStringLiteral("FaceSet.ini");

enum class ValueKind { Colour, Integer, Text };

// Which control a key sets, and which property of it.
enum class Target { RecordingList, SentenceList, WholeBar, SentenceBar };

struct KeyInfo {
  QString key;
  ValueKind kind;
  Target target;
  QString property;  // the control's property name
};

// The 29 keys, in the order the appearance dialog writes them.
const std::vector<KeyInfo>& Keys();
const KeyInfo* FindKey(const QString& key);

// One line that sets something, with its value already converted.
struct Setting {
  const KeyInfo* info = nullptr;
  int32_t number = 0;  // colours (32-bit) and integers (16-bit range)
  QString text;        // text values
};

// Reads the lines of a FaceSet.ini text (as ReadTextFile gives it) in order.
// Lines without "=", unknown keys and numbers beyond their range (32-bit
// for colours, 16-bit for integers) are skipped.
std::vector<Setting> ParseAppearance(const QString& text);

// The file in the application folder, read whole.
std::vector<Setting> ReadAppearanceFile();
QString AppearanceFilePath();

// The text of a FaceSet.ini: one "key=value" line per setting, in the order
// given, each ended by CR LF. Colours are written as signed 32-bit numbers
// (a system colour, top bit set, reads back as the same value).
QString FormatAppearance(const std::vector<Setting>& settings);
// Replaces the file in the application folder with these settings, whole
// (WriteTextFile adds one more CR LF). When it cannot be written, or the
// file is marked read-only, the old file is left as it was and false is
// returned.
bool WriteAppearanceFile(const std::vector<Setting>& settings);

}  // namespace appearance
