#pragma once
#include <QString>

namespace ProMod {

// Choosing a recording, for the main window and velmo-tool alike. When no
// file exists at `audioPath` it returns false and changes nothing.
// Otherwise it empties the sentence table, sets the recording and material
// paths, closes the open recording, opens this one (a failure tells the
// user and gives length 0), sets the audio fields (PausedPosition back to
// 0), loads the material file and builds the sentence table.
bool ChooseRecording(const QString& audioPath);

}  // namespace ProMod
