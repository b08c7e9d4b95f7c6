// FaceSet.ini as the main window reads it from the application folder.
#include <cstddef>
#include <cstdint>

#include "editor/appearance_file.h"
#include "platform/app_paths.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool folderSet = [] {
    platform::SetApplicationFolder(fuzz::WorkFolder());
    return true;
  }();
  (void)folderSet;
  fuzz::WriteInput(appearance::kFileName, data, size);
  for (const appearance::Setting& s : appearance::ReadAppearanceFile()) {
    fuzz::Check(s.info != nullptr);
    if (s.info->kind == appearance::ValueKind::Integer) fuzz::Check(s.number >= -32768 && s.number <= 32767);
    if (s.info->kind != appearance::ValueKind::Text) fuzz::Check(s.text.isEmpty());
  }
  return 0;
}
