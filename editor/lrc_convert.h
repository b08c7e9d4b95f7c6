#pragma once
#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

// The steps of AnsLrc, open for the import (which checks the size of what
// it is about to build) and for tests.

namespace lrc {

// One (time, text) pair per time tag of a lyric line; the tags of one line
// share the line's text.
struct Entry {
  int64_t time = 0;  // tag time + offset; -1 + offset for an unreadable tag
  QString text;
};

// The offset of an LRC text: the number after the first "offset:" (any
// letter case), rounded to whole milliseconds; 0 without one.
int64_t Offset(const QString& lrcText);

// Every entry of an LRC text, lines split at CR LF, in file and tag order.
// Reading stops once there are more than `limit` entries (a caller that
// cannot use that many then need not hold millions of them).
std::vector<Entry> Entries(const QString& lrcText, size_t limit = SIZE_MAX);

// The order the exchange sort leaves entries with these times in: for j
// from the first to the second-to-last, for k after j, exchange j and k when
// time(k) < time(j). Entries of equal time do not keep their file order
// there, and stored imports rely on the order it gives, so that order is
// reproduced exactly, in O(n log n) instead of the sort's O(n^2).
// result[i] is the index (into `times`) of the entry that ends at place i.
std::vector<size_t> ExchangeSortOrder(const std::vector<int64_t>& times);

// Entries in the exchange sort's order (with `limit` as for Entries).
std::vector<Entry> SortedEntries(const QString& lrcText, size_t limit = SIZE_MAX);

// The sentence line "[H:MM:SS.mmm]text" of one entry, without a line end.
QString EntryLine(const Entry& entry);

}  // namespace lrc
