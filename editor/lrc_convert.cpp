#include "editor/lrc_convert.h"

#include <QStringView>
#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <unordered_map>

#include "core/material_store.h"
#include "core/number_text.h"
#include "core/time_text.h"
#include "editor/subtitle_import.h"

namespace lrc {
namespace {

constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();

bool IsSkippedLine(const QString& line) {
  static const QString kMarks[] = {QStringLiteral("[offset:"), QStringLiteral("[ti:"), QStringLiteral("[ar:"),
                                   QStringLiteral("[al:")};
  if (line.isEmpty()) return true;
  for (const QString& mark : kMarks) {
    if (line.contains(mark, Qt::CaseInsensitive)) return true;
  }
  return false;
}

// Reads the time tags of one line the way SoundMod::ParseTime reads each of
// them, without its cost per tag growing with the tag's length: a line such
// as "[[[[...]" has as many tags as brackets, all ending at the same "]",
// and reading each one whole would take time quadratic in the line. Tags
// are read in the order of their "[", so the colons a tag needs are found
// by one forward scan of the line, and only those of the current tag are
// kept.
class TagReader {
 public:
  explicit TagReader(const QString& line) : line_(line) {}

  // ParseTime of the text strictly between `open` and `close`.
  int32_t Time(qsizetype open, qsizetype close) {
    while (!colons_.empty() && colons_.front() <= open) {
      memo_.erase(colons_.front());
      colons_.pop_front();
    }
    scanned_ = std::max(scanned_, open + 1);
    const qsizetype from = open + 1;
    const qsizetype first = ColonFrom(from, close);
    const qsizetype second = first < 0 ? -1 : ColonFrom(first + 1, close);
    const qsizetype third = second < 0 ? -1 : ColonFrom(second + 1, close);
    double value = 0.0;
    if (first >= 0 && second < 0) {
      value = Number(from, first) * 60000.0 + PartAfterColon(first, close) * 1000.0;
    } else if (second >= 0 && third < 0) {
      value = Number(from, first) * 3600000.0 + PartAfterColon(first, second) * 60000.0 +
              PartAfterColon(second, close) * 1000.0;
    }
    bool ok = false;
    const int32_t result = ProMod::RoundToInt32(value, &ok);
    return !ok || result < 0 ? -1 : result;
  }

 private:
  // The first colon at or after `from`, if it lies before `limit`.
  qsizetype ColonFrom(qsizetype from, qsizetype limit) {
    for (qsizetype c : colons_) {
      if (c >= from) return c < limit ? c : -1;
    }
    while (scanned_ < line_.size()) {
      const qsizetype c = line_.indexOf(QLatin1Char(':'), scanned_);
      if (c < 0) {
        scanned_ = line_.size();
        break;
      }
      colons_.push_back(c);
      scanned_ = c + 1;
      if (c >= from) return c < limit ? c : -1;
    }
    return -1;
  }
  double Number(qsizetype from, qsizetype end) const {
    return ProMod::LeadingNumber(QStringView(line_).mid(from, end - from));
  }
  // A part after a colon ends at a ":" or at the "]", where the number
  // reading stops anyway, so its value depends only on where it starts:
  // tags that share that colon share the reading.
  double PartAfterColon(qsizetype colon, qsizetype end) {
    const auto found = memo_.find(colon);
    if (found != memo_.end()) return found->second;
    const double value = Number(colon + 1, end);
    memo_.emplace(colon, value);
    return value;
  }

  const QString& line_;
  std::deque<qsizetype> colons_;  // colons after the current "[", in order
  qsizetype scanned_ = 0;         // colons before this are known
  std::unordered_map<qsizetype, double> memo_;
};

int64_t Clamp32(int64_t value) { return std::clamp(value, kInt32Min, kInt32Max); }

// The entries of one lyric line, appended to `out`.
void LineEntries(const QString& line, int64_t offset, size_t limit, std::vector<Entry>* out) {
  const qsizetype lastOpen = line.lastIndexOf(QLatin1Char('['));
  // A line without any "[" carries no time: it is skipped.
  if (lastOpen < 0) return;
  const qsizetype lastClose = line.indexOf(QLatin1Char(']'), lastOpen);
  const QString text = lastClose < 0 ? line : line.mid(lastClose + 1);

  TagReader reader(line);
  qsizetype close = -2;  // the first "]" at or after the current "[", once searched
  for (qsizetype open = line.indexOf(QLatin1Char('[')); open >= 0; open = line.indexOf(QLatin1Char('['), open + 1)) {
    if (close != -1 && close < open) close = line.indexOf(QLatin1Char(']'), open);
    // No "]" after this "[" means none after any later "[" either.
    if (close < 0 || out->size() > limit) break;
    out->push_back(Entry{Clamp32(reader.Time(open, close) + offset), text});
  }
}

// Binary indexed tree over 0 .. size-1 holding counts.
class CountTree {
 public:
  explicit CountTree(size_t size) : tree_(size + 1, 0) {}
  void Add(size_t at, int delta) {
    for (size_t i = at + 1; i < tree_.size(); i += i & (~i + 1)) tree_[i] += delta;
  }
  // Sum over 0 .. end-1.
  int Prefix(size_t end) const {
    int sum = 0;
    for (size_t i = end; i > 0; i -= i & (~i + 1)) sum += tree_[i];
    return sum;
  }
  // The place of the (rank+1)-th counted slot.
  size_t Find(int rank) const {
    size_t at = 0;
    size_t step = 1;
    while (step * 2 < tree_.size()) step *= 2;
    for (; step > 0; step /= 2) {
      if (at + step < tree_.size() && tree_[at + step] <= rank) {
        at += step;
        rank -= tree_[at];
      }
    }
    return at;
  }

 private:
  std::vector<int> tree_;
};

// The order that entries of one time leave the exchange sort in. Only
// entries of smaller time move them: each pass, while smaller entries
// remain, the first of this group that has no smaller entry before it
// jumps to the first smaller entry after it, passing the group's members
// in between. Seen from the group, the members read so far form a run that
// turns by one place for every smaller entry met after it: the run after
// member i is appended turns by gaps[i], the number of smaller entries
// between member i and member i+1 (the end for the last member). The final
// run is worked out backwards: the run is a ring with a start, so undoing a
// turn moves the start back and the member appended last sits just before
// the start.
std::vector<size_t> GroupOrder(const std::vector<size_t>& members, const std::vector<int>& gaps) {
  const size_t count = members.size();
  std::vector<size_t> order(count);
  CountTree present(count);
  for (size_t i = 0; i < count; ++i) present.Add(i, 1);
  size_t start = 0;
  for (size_t size = count; size >= 1; --size) {
    const size_t turn = static_cast<size_t>(gaps[size - 1]) % size;
    start = (start + size - turn) % size;
    const size_t rank = (start + size - 1) % size;
    const size_t slot = present.Find(static_cast<int>(rank));
    order[slot] = members[size - 1];
    present.Add(slot, -1);
    if (start > 0) --start;
  }
  return order;
}

}  // namespace

int64_t Offset(const QString& lrcText) {
  static const QString kOffset = QStringLiteral("offset:");
  const qsizetype at = lrcText.indexOf(kOffset, 0, Qt::CaseInsensitive);
  if (at < 0) return 0;
  const QString rest = ProMod::TrimSentenceText(lrcText.mid(at + kOffset.size()));
  double value = ProMod::LeadingNumber(rest);
  // Beyond the range of a position the offset only pushes every line to one
  // end of the recording; it is held there rather than overflowing.
  if (std::isnan(value)) value = 0.0;
  value = std::clamp(value, static_cast<double>(kInt32Min), static_cast<double>(kInt32Max));
  return ProMod::RoundToInt32(value);
}

std::vector<Entry> Entries(const QString& lrcText, size_t limit) {
  std::vector<Entry> entries;
  const int64_t offset = Offset(lrcText);
  static const QString kLineEnd = QStringLiteral("\r\n");
  qsizetype from = 0;
  while (from <= lrcText.size() && entries.size() <= limit) {
    qsizetype end = lrcText.indexOf(kLineEnd, from);
    if (end < 0) end = lrcText.size();
    const QString line = ProMod::TrimSentenceText(lrcText.mid(from, end - from));
    if (!IsSkippedLine(line)) LineEntries(line, offset, limit, &entries);
    from = end + kLineEnd.size();
  }
  return entries;
}

std::vector<size_t> ExchangeSortOrder(const std::vector<int64_t>& times) {
  const size_t n = times.size();
  std::vector<size_t> byTime(n);
  for (size_t i = 0; i < n; ++i) byTime[i] = i;
  std::stable_sort(byTime.begin(), byTime.end(), [&](size_t a, size_t b) { return times[a] < times[b]; });

  std::vector<size_t> result;
  result.reserve(n);
  CountTree smaller(n);  // places of the entries of the groups already placed
  for (size_t first = 0; first < n;) {
    size_t last = first;
    while (last < n && times[byTime[last]] == times[byTime[first]]) ++last;
    const std::vector<size_t> members(byTime.begin() + static_cast<std::ptrdiff_t>(first),
                                      byTime.begin() + static_cast<std::ptrdiff_t>(last));
    std::vector<int> gaps(members.size());
    for (size_t i = 0; i < members.size(); ++i) {
      const size_t until = i + 1 < members.size() ? members[i + 1] : n;
      gaps[i] = smaller.Prefix(until) - smaller.Prefix(members[i] + 1);
    }
    const std::vector<size_t> order = GroupOrder(members, gaps);
    result.insert(result.end(), order.begin(), order.end());
    for (size_t member : members) smaller.Add(member, 1);
    first = last;
  }
  return result;
}

std::vector<Entry> SortedEntries(const QString& lrcText, size_t limit) {
  std::vector<Entry> entries = Entries(lrcText, limit);
  std::vector<int64_t> times;
  times.reserve(entries.size());
  for (const Entry& e : entries) times.push_back(e.time);
  std::vector<Entry> sorted;
  sorted.reserve(entries.size());
  for (size_t i : ExchangeSortOrder(times)) sorted.push_back(std::move(entries[i]));
  return sorted;
}

QString EntryLine(const Entry& entry) {
  return QLatin1Char('[') + SoundMod::FormatTime(static_cast<int32_t>(entry.time)) + QLatin1Char(']') + entry.text;
}

}  // namespace lrc

QString AnsLrc(const QString& GetStr) {
  const std::vector<lrc::Entry> entries = lrc::SortedEntries(GetStr);
  QString result;
  qsizetype size = 0;
  for (const lrc::Entry& e : entries) size += e.text.size() + 16;
  result.reserve(size);
  for (const lrc::Entry& e : entries) {
    result += lrc::EntryLine(e);
    result += QLatin1String("\r\n");
  }
  return result;
}
