#pragma once
#include <QStringList>
#include <QTextStream>

// Each subcommand gets its arguments after the subcommand's name and returns
// the process exit status.
namespace velmo_tool {
int RunSentences(const QStringList& args, QTextStream& out, QTextStream& err);
int RunDemoLesson(const QStringList& args, QTextStream& out, QTextStream& err);
int RunCompare(const QStringList& args, QTextStream& out, QTextStream& err);
int RunRecords(const QStringList& args, QTextStream& out, QTextStream& err);
int RunImport(const QStringList& args, QTextStream& out, QTextStream& err);
int RunSplit(const QStringList& args, QTextStream& out, QTextStream& err);
}  // namespace velmo_tool
