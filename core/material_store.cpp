#include "core/material_store.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "core/message_service.h"
#include "core/text_codec.h"
#include "core/time_text.h"

// ---- SentenceTable ---------------------------------------------------------

const SentenceRecord& SentenceTable::operator[](int index) const {
  static const SentenceRecord empty;
  if (index < 0 || index > UBound()) return empty;
  return entries_[static_cast<size_t>(index)];
}

SentenceRecord& SentenceTable::operator[](int index) {
  static SentenceRecord scratch;
  if (index < 0 || index > UBound()) {
    scratch = SentenceRecord{};
    return scratch;
  }
  return entries_[static_cast<size_t>(index)];
}

void SentenceTable::ResizeTo(int upper) {
  if (upper < 2) {
    Clear();
    return;
  }
  entries_.resize(static_cast<size_t>(upper) + 1);
}

void SentenceTable::Append(const SentenceRecord& record) {
  const int next = IsEmpty() ? 2 : UBound() + 1;
  ResizeTo(next);
  entries_[static_cast<size_t>(next)] = record;
  entries_[static_cast<size_t>(next)].Index = static_cast<int16_t>(next);
}

namespace ProMod {

QString CurrentFolder;
QString CurrentAudioPath;
QString CurrentMaterialPath;
QString SetData;
QString BaseData;
QString ExeData;
SentenceTable Sentences;

int32_t TotalLength = 0;
QString TotalLengthText;
bool AudioLoaded = false;
int32_t PausedPosition = 0;

namespace {
// Indices are 16-bit: sentences occupy 2 .. 32767.
constexpr int kHighestIndex = 32767;

bool IsTrimmable(QChar c) {
  return c == QLatin1Char(' ') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

// The part of `text` after the first occurrence of `sep`, up to the next
// occurrence (or the end); `found` tells whether `sep` occurs at all.
QString PieceAfter(const QString& text, const QString& sep, bool* found) {
  const qsizetype first = text.indexOf(sep);
  *found = first >= 0;
  if (first < 0) return QString();
  const qsizetype from = first + sep.size();
  const qsizetype next = text.indexOf(sep, from);
  return next < 0 ? text.mid(from) : text.mid(from, next - from);
}

QString Section(const QString& text, const QString& open, const QString& close) {
  const qsizetype at = text.indexOf(open);
  if (at < 0) return QString();
  const qsizetype from = at + open.size();
  qsizetype end = text.size();
  const qsizetype closeAt = text.indexOf(close, from);
  const qsizetype reopenAt = text.indexOf(open, from);
  if (closeAt >= 0) end = closeAt;
  if (reopenAt >= 0 && reopenAt < end) end = reopenAt;
  return text.mid(from, end - from);
}

SentenceRecord WholeLineRecord(const QString& line, int16_t index) {
  SentenceRecord r;
  r.Index = index;
  r.Text = line;
  r.Start = 0;
  r.StartText = SoundMod::FormatTime(0);
  r.End = TotalLength;
  r.EndText = SoundMod::FormatTime(TotalLength);
  return r;
}
}  // namespace

void ResetStore() {
  CurrentFolder.clear();
  CurrentAudioPath.clear();
  CurrentMaterialPath.clear();
  SetData.clear();
  BaseData.clear();
  ExeData.clear();
  Sentences.Clear();
  TotalLength = 0;
  TotalLengthText.clear();
  AudioLoaded = false;
  PausedPosition = 0;
}

QString MaterialPathFor(const QString& audioPath) { return audioPath + QStringLiteral(".qvl"); }

QString ReadTextFile(const QString& path) {
  if (path.isEmpty()) return QString();
  const QFileInfo info(path);
  if (!info.exists() || !info.isFile()) return QString();
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QString();
  const QString text = DecodeAnsi(file.readAll());
  file.close();
  return JoinFileLines(text);
}

QString JoinFileLines(QStringView text) {
  // Every line is preceded by CR LF; a line ends at CR, CR LF or LF. Text
  // after the last line end is a line of its own.
  QString result;
  result.reserve(text.size() + text.size() / 32 + 2);
  const QChar* p = text.data();
  const qsizetype n = text.size();
  qsizetype lineStart = 0;
  qsizetype i = 0;
  while (i < n) {
    const QChar c = p[i];
    if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
      result += kCrLf;
      result.append(p + lineStart, i - lineStart);
      if (c == QLatin1Char('\r') && i + 1 < n && p[i + 1] == QLatin1Char('\n')) ++i;
      ++i;
      lineStart = i;
    } else {
      ++i;
    }
  }
  if (lineStart < n) {
    result += kCrLf;
    result.append(p + lineStart, n - lineStart);
  }
  return result;
}

bool WriteTextFile(const QString& path, const QString& text) {
  if (path.isEmpty()) return false;
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  QByteArray bytes = EncodeAnsi(text);
  bytes.append("\r\n", 2);
  // write() only fills QSaveFile's buffer; a disk that takes part of it
  // (full, or over a size limit) says so in flush(). commit() flushes too
  // but ignores that failure and would put the cut-off file in place of
  // the old one.
  if (file.write(bytes) != bytes.size() || !file.flush()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

void LoadMaterialFile() {
  SetData.clear();
  BaseData.clear();
  ExeData.clear();
  const QString text = ReadTextFile(CurrentMaterialPath);
  if (text.isEmpty()) return;
  SetData = Section(text, kSetOpen, kSetClose);
  BaseData = Section(text, kBaseOpen, kBaseClose);
  ExeData = Section(text, kExeOpen, kExeClose);
}

bool SaveMaterialFile() {
  if (CurrentMaterialPath.isEmpty()) return false;
  const QString content = kSetOpen + SetData + kSetClose + kBaseOpen + BaseData + kBaseClose + kExeOpen + ExeData +
                          kExeClose;
  if (WriteTextFile(CurrentMaterialPath, content)) return true;
  ShowMsgBox(QStringLiteral("保存复读文件失败，修改没有写入磁盘：") + kCrLf + CurrentMaterialPath + kCrLf +
                 QStringLiteral("请检查文件夹是否存在、磁盘是否可写，然后再保存一次。"),
             1, QStringLiteral("错误"), kIconError);
  return false;
}

QString TrimSentenceText(QString s) {
  qsizetype begin = 0;
  qsizetype end = s.size();
  while (end - begin >= 2 && IsTrimmable(s[begin])) ++begin;
  while (end - begin >= 2 && IsTrimmable(s[end - 1])) --end;
  if (end - begin == 1 && IsTrimmable(s[begin])) return QString();
  const qsizetype sep = kEnter.size();
  while (end - begin > 9 && QStringView(s).mid(begin, sep).compare(kEnter, Qt::CaseInsensitive) == 0) begin += sep;
  while (end - begin > 9 && QStringView(s).mid(end - sep, sep).compare(kEnter, Qt::CaseInsensitive) == 0) end -= sep;
  if (begin == 0 && end == s.size()) return s;
  return s.mid(begin, end - begin);
}

SentenceRecord ParseSentenceLine(const QString& line, int16_t index) {
  if (!line.contains(QLatin1Char('['))) return WholeLineRecord(line, index);

  int64_t start = -1;
  int64_t end = -1;
  QString tail;
  QString after;
  qsizetype from = 0;  // 0-based: the next "[" is searched from here on
  for (;;) {
    const qsizetype open = line.indexOf(QLatin1Char('['), from);
    if (open < 0) break;
    const qsizetype close = line.indexOf(QLatin1Char(']'), open);
    if (close >= 0) {
      const QString tag = line.mid(open + 1, close - open - 1);
      const int32_t t = SoundMod::ParseTime(tag);
      if (t >= 0) {
        const QString bracketed = QLatin1Char('[') + tag + QLatin1Char(']');
        if (start == -1) {
          start = t;
          bool found = false;
          tail = PieceAfter(line, bracketed, &found);
        } else {
          end = t;
          const qsizetype at = tail.indexOf(bracketed);
          if (at < 0) return WholeLineRecord(line, index);
          bool found = false;
          after = PieceAfter(tail, bracketed, &found);
          tail = tail.left(at);
        }
      }
    }
    if (open == line.size() - 1 || line.indexOf(QLatin1Char('['), open + 1) < 0) break;
    from = open + 1;
  }

  if (end <= start + 60) end = -1;
  SentenceRecord r;
  r.Index = index;
  if (start < 0) {
    r.Start = 0;
    r.Text = line;
  } else {
    r.Start = static_cast<int32_t>(start);
    r.Text = TrimSentenceText(tail);
  }
  r.StartText = SoundMod::FormatTime(r.Start);
  if (end < 1) {
    r.End = TotalLength;
    r.EndText = SoundMod::FormatTime(TotalLength);
  } else {
    r.End = static_cast<int32_t>(end);
    r.EndText = SoundMod::FormatTime(r.End);
    r.Remark = TrimSentenceText(after);
  }
  return r;
}

QString StorableText(QString text) {
  text.replace(QLatin1Char('['), QChar(0xFF3B));
  text.replace(QLatin1Char(']'), QChar(0xFF3D));
  const QString tags[] = {kEnter, kSetOpen, kSetClose, kBaseOpen, kBaseClose, kExeOpen, kExeClose};
  for (const QString& tag : tags) {
    qsizetype at = 0;
    while ((at = text.indexOf(tag, at, Qt::CaseInsensitive)) >= 0) {
      text[at] = QChar(0xFF1C);
      at += tag.size();
    }
  }
  return text;
}

QString FormatSentenceLine(int32_t start, const QString& text, int32_t end, const QString& remark) {
  return QLatin1Char('[') + SoundMod::FormatTime(start) + QLatin1Char(']') + StorableText(text) + QLatin1Char('[') +
         SoundMod::FormatTime(end) + QLatin1Char(']') + StorableText(remark);
}

QString FormatSentenceLine(const SentenceRecord& record) {
  return FormatSentenceLine(record.Start, record.Text, record.End, record.Remark);
}

void BuildSentenceTable() {
  Sentences.Clear();
  if (BaseData.isEmpty()) return;
  int n = 1;
  qsizetype pos = 0;
  const qsizetype sep = kEnter.size();
  while (pos <= BaseData.size() && n < kHighestIndex) {
    qsizetype next = BaseData.indexOf(kEnter, pos);
    if (next < 0) next = BaseData.size();
    const QString piece = TrimSentenceText(BaseData.mid(pos, next - pos));
    if (!piece.isEmpty()) {
      ++n;
      Sentences.Append(ParseSentenceLine(piece, static_cast<int16_t>(n)));
    }
    pos = next + sep;
  }
}

}  // namespace ProMod
