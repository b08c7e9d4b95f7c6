// The material file as the main window reads it: ReadTextFile (GB18030,
// any line breaks), the three sections, the sentence table. What was read
// must also survive a save and a second load unchanged.
#include <cstddef>
#include <cstdint>

#include "core/material_store.h"
#include "core/message_service.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

const QString kTags[] = {"<KVQTABSETDATA>", "</KVQTABSETDATA>", "<KVQTABBASEDATA>",
                         "</KVQTABBASEDATA>", "<KVQTABEXEDATA>", "</KVQTABEXEDATA>"};

bool HoldsATag(const QString& text) {
  for (const QString& tag : kTags)
    if (text.contains(tag)) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = [] {
    ProMod::SetMsgBoxPresenter([](const ProMod::MsgBoxRequest&) { return 1; });
    return true;
  }();
  (void)quiet;
  ProMod::ResetStore();
  ProMod::TotalLength = 3600000;
  ProMod::CurrentMaterialPath = fuzz::WriteInput(QStringLiteral("lesson.mp3.qvl"), data, size);
  ProMod::LoadMaterialFile();
  ProMod::BuildSentenceTable();
  const SentenceTable& table = ProMod::Sentences;
  fuzz::Check(table.UBound() == 0 || table.UBound() >= 2);
  for (int i = 2; i <= table.UBound(); ++i) {
    fuzz::Check(table[i].Index == i);
    fuzz::Check(table[i].Start >= 0 && table[i].End >= 0);
  }

  // Sections that hold no tag are written and read back as they are (a
  // section holding a tag breaks the file by design).
  const QString set = ProMod::SetData, base = ProMod::BaseData, exe = ProMod::ExeData;
  if (HoldsATag(set) || HoldsATag(base) || HoldsATag(exe)) return 0;
  fuzz::Check(ProMod::SaveMaterialFile());
  ProMod::LoadMaterialFile();
  fuzz::Check(ProMod::SetData == set && ProMod::BaseData == base && ProMod::ExeData == exe);
  return 0;
}
