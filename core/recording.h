#pragma once
#include <QString>

namespace ProMod {

// The store's part of choosing a recording: empties the sentence table, sets
// the recording and material paths; when the recording file exists, closes
// the open recording, opens this one (a failure tells the user and gives
// length 0), sets the audio fields, loads the material file and builds the
// sentence table. Returns false, changing nothing after the paths, when no
// file exists at `audioPath`.
bool ChooseRecording(const QString& audioPath);

}  // namespace ProMod
