#include "tools/commands.h"

namespace velmo_tool {
int RunSentences(const QStringList&, QTextStream&, QTextStream& err) {
  err << "sentences: not available yet\n";
  return 2;
}
}  // namespace velmo_tool
