#include "tools/commands.h"

namespace velmo_tool {
int RunCompare(const QStringList&, QTextStream&, QTextStream& err) {
  err << "compare: not available yet\n";
  return 2;
}
}  // namespace velmo_tool
