// libFuzzer harness for the practice record section: any text read, written
// back and read again must keep every piece (as a record or unchanged) and
// must read back to the same records.
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/material_store.h"
#include "practice/practice_records.h"

namespace {
int NonEmptyPieces(const QString& text) {
  int pieces = 0;
  for (const QString& piece : text.split(ProMod::kEnter)) pieces += piece.isEmpty() ? 0 : 1;
  return pieces;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ProMod::TotalLength = 60000;
  const QString section = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  PracticeRecords::Section read = PracticeRecords::ReadSection(section);
  if (static_cast<int>(read.records.size()) + read.kept.size() != NonEmptyPieces(section)) abort();
  PracticeRecords::SortNewestFirst(read.records);
  const QString written = PracticeRecords::WriteSection(read.records, read.kept);
  const PracticeRecords::Section again = PracticeRecords::ReadSection(written);
  if (again.records.size() != read.records.size() || again.kept != read.kept) abort();
  for (size_t i = 0; i < read.records.size(); ++i)
    if (again.records[i].date != read.records[i].date) abort();
  return 0;
}
