#pragma once
#include <QString>
#include <cstdint>
#include <vector>

// The material store: the in-memory copy of the current recording's material
// file (recording path + ".qvl"), its sentence table and the audio fields.

struct SentenceRecord {
  int16_t Index = 0;
  QString Text;
  QString Remark;
  QString StartText;
  int32_t Start = 0;
  QString EndText;
  int32_t End = 0;
  bool Deleted = false;
};

// Sentence table with the system's numbering: an empty table is one empty
// entry at index 0 (UBound() == 0); a table with n sentences holds indices
// 2 .. n + 1, so entry k is item k of the main window's sentence list.
class SentenceTable {
 public:
  SentenceTable() { Clear(); }
  void Clear() { entries_.assign(1, SentenceRecord{}); }
  int UBound() const { return static_cast<int>(entries_.size()) - 1; }
  bool IsEmpty() const { return UBound() == 0; }
  int Count() const { return IsEmpty() ? 0 : UBound() - 1; }
  // Out-of-range indices read an empty record and write nowhere.
  const SentenceRecord& operator[](int index) const;
  SentenceRecord& operator[](int index);
  // Grows (or shrinks) the table to indices 2 .. upper, keeping entries.
  void ResizeTo(int upper);
  void Append(const SentenceRecord& record);  // next index, 2 for the first

 private:
  std::vector<SentenceRecord> entries_;
};

namespace ProMod {

// Section tags of the material file.
inline const QString kSetOpen = QStringLiteral("<KVQTABSETDATA>");
inline const QString kSetClose = QStringLiteral("</KVQTABSETDATA>");
inline const QString kBaseOpen = QStringLiteral("<KVQTABBASEDATA>");
inline const QString kBaseClose = QStringLiteral("</KVQTABBASEDATA>");
inline const QString kExeOpen = QStringLiteral("<KVQTABEXEDATA>");
inline const QString kExeClose = QStringLiteral("</KVQTABEXEDATA>");
// Joins list items, sentence lines and practice records.
inline const QString kEnter = QStringLiteral("<KVQENTER>");
inline const QString kCrLf = QStringLiteral("\r\n");

// The store (one per process).
extern QString CurrentFolder;        // always ends in '/'
extern QString CurrentAudioPath;     // "" when none is chosen
extern QString CurrentMaterialPath;  // "" when none is chosen
extern QString SetData;
extern QString BaseData;
extern QString ExeData;
extern SentenceTable Sentences;

// Audio fields, written by the main window after OpenAudio.
extern int32_t TotalLength;
extern QString TotalLengthText;
extern bool AudioLoaded;
extern int32_t PausedPosition;  // written by SoundMod::PauseAudio

// Back to the state before any recording was chosen.
void ResetStore();

// The material file path for a recording.
QString MaterialPathFor(const QString& audioPath);

// Text files, whole: lines are ended by CR, CR LF or a bare LF. The result
// of a non-empty file starts with CR LF and joins lines with CR LF; "" when
// there is no such regular file.
QString ReadTextFile(const QString& path);
// The line handling of ReadTextFile for text already decoded (files in
// another encoding, such as UTF-8 subtitles): every line, ended by CR, CR LF
// or LF, preceded by CR LF.
QString JoinFileLines(QStringView text);
// Writes text + CR LF through a temporary file in the same folder that then
// replaces the old file, so an interrupted or failed write never leaves a
// half-written file. Returns false when the file could not be written.
bool WriteTextFile(const QString& path, const QString& text);

void LoadMaterialFile();
// Writes the three sections to CurrentMaterialPath. A failure is told to the
// user through ShowMsgBox; the store keeps its texts. Returns success.
bool SaveMaterialFile();

QString TrimSentenceText(QString s);
SentenceRecord ParseSentenceLine(const QString& line, int16_t index);
// The sentence line "[H:MM:SS.mmm]text[H:MM:SS.mmm]remark" of a record, the
// one writer beside ParseSentenceLine. Text and remark go through
// StorableText, so ParseSentenceLine reads the same times, text and remark
// back (trimmed as it always trims them).
QString FormatSentenceLine(const SentenceRecord& record);
QString FormatSentenceLine(int32_t start, const QString& text, int32_t end, const QString& remark = QString());
// A text as it can stand inside a sentence line: brackets would be read back
// as time tags and the separator or a section tag would split the line or
// the file, so "[" and "]" become their full-width forms and the "<" of such
// a tag becomes "＜".
QString StorableText(QString text);
void BuildSentenceTable();

}  // namespace ProMod
