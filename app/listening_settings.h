#pragma once
#include <QString>

#include "core/listening_engine.h"

// The learner's speed and shadowing choices, kept across starts in a
// settings file of their own ("listening.ini" in the application folder,
// Qt's INI format), so that FaceSet.ini keeps exactly its own keys.
struct ListeningSettings {
  double speed = 1.0;  // 0.5 .. 1.5 in steps of 0.05
  ListeningEngine::Shadowing shadowing;

  // A missing file, junk or a value out of range gives the defaults for
  // that value.
  static ListeningSettings Read();
  // Writes every value; false when the file could not be written.
  bool Write() const;
  static QString FilePath();
};

// The speed steps the learner can choose: 0.5, 0.55, .. 1.5.
double SnapSpeed(double speed);
