#include <gtest/gtest.h>

#include "editor/appearance_file.h"
#include "core/material_store.h"
#include "core/text_codec.h"
#include "platform/app_paths.h"
#include "tests/common/temp_folder.h"

using appearance::ParseAppearance;
using appearance::Setting;

namespace {
const Setting* Find(const std::vector<Setting>& settings, const QString& key) {
  const Setting* found = nullptr;
  for (const Setting& s : settings)
    if (s.info->key == key) found = &s;  // the last line wins
  return found;
}
}  // namespace

TEST(AppearanceFile, KeysAreTheTwentyNineOfTheFormat) {
  EXPECT_EQ(appearance::Keys().size(), 29u);
  EXPECT_NE(appearance::FindKey(QStringLiteral("主进度边框色")), nullptr);
  EXPECT_EQ(appearance::FindKey(QStringLiteral("主进度条边框色")), nullptr) << "the border keys have no 条";
  EXPECT_EQ(appearance::FindKey(QStringLiteral("句子选择框--文字选中背景")), nullptr)
      << "the sentence list has no highlight key";
}

TEST(AppearanceFile, ValuesAreReadByKind) {
  const auto s = ParseAppearance(QStringLiteral(
      "\r\n字号=10.5\r\n 字体 = 宋体 \r\n主进度边框色=255\r\na=b=c\r\n句子选择框背景色角度=45.5\r\n"
      "文件选择框--背景色1=abc\r\nno equals sign\r\n=5"));
  ASSERT_NE(Find(s, "字号"), nullptr);
  EXPECT_EQ(Find(s, "字号")->number, 10);
  EXPECT_EQ(Find(s, "字体")->text, QStringLiteral("宋体"));
  EXPECT_EQ(Find(s, "主进度边框色")->number, 255);
  EXPECT_EQ(Find(s, "主进度边框色")->info->target, appearance::Target::WholeBar);
  EXPECT_EQ(Find(s, "句子选择框背景色角度")->number, 46);
  EXPECT_EQ(Find(s, "文件选择框--背景色1")->number, 0) << "no leading number reads as 0";
  EXPECT_EQ(s.size(), 5u);

  EXPECT_EQ(Find(ParseAppearance("\r\n字号=11.5"), "字号")->number, 12);
  EXPECT_EQ(Find(ParseAppearance("\r\n字体=x=y"), "字体")->text, QStringLiteral("x"));
}

TEST(AppearanceFile, LaterLinesOverrideAndOutOfRangeLinesAreIgnored) {
  const auto s = ParseAppearance(QStringLiteral(
      "\r\n字号=9\r\n字号=99999\r\n主进度条左边色=1\r\n主进度条左边色=1e12\r\n主进度条右边色=-2147483648"));
  EXPECT_EQ(Find(s, "字号")->number, 9);
  EXPECT_EQ(Find(s, "主进度条左边色")->number, 1);
  EXPECT_EQ(Find(s, "主进度条右边色")->number, INT32_MIN) << "system colours read as they are";
}

TEST(AppearanceFile, JunkFilesChangeNothing) {
  TempFolder app;
  platform::SetApplicationFolder(app.Path());
  EXPECT_TRUE(appearance::ReadAppearanceFile().empty());
  QByteArray junk;
  for (int i = 0; i < 100000; ++i) junk.append(static_cast<char>((i * 7919) % 251));
  app.Write(QStringLiteral("FaceSet.ini"), junk);
  EXPECT_TRUE(appearance::ReadAppearanceFile().empty()) << "no line of junk names a key";
  // One good line among junk lines gives exactly that setting.
  app.Write(QStringLiteral("FaceSet.ini"), junk + QByteArray("\r\n") + ProMod::EncodeAnsi(QStringLiteral("字号=12")) +
                                               QByteArray("\r\n") + junk);
  const std::vector<Setting> read = appearance::ReadAppearanceFile();
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].info->key, QStringLiteral("字号"));
  EXPECT_EQ(read[0].number, 12);
  platform::SetApplicationFolder(QString());
}
