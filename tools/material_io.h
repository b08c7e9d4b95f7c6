#pragma once
#include <QString>
#include <QTextStream>
#include <vector>

#include "core/material_store.h"

// What the commands that write a recording's sentences share.
namespace velmo_tool {

// Chooses the recording as the main window does. False, with the reason on
// `err` after "COMMAND: ", when there is no such file, its material file
// cannot be read or it cannot be decoded.
bool OpenRecording(const QString& command, const QString& given, QTextStream& err);

// Puts the sentences into the sentence section as the editor's "保 存"
// does, the other sections as they were loaded, and saves atomically.
bool WriteSentences(const std::vector<SentenceRecord>& sentences);

}  // namespace velmo_tool
