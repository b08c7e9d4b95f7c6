// Which folder holds the library: the executable's own folder in a build tree
// or an unpacked copy, never the bin folder of an installation.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>

#include "platform/app_paths.h"
#include "tests/common/temp_folder.h"

#include <unistd.h>

TEST(ApplicationFolder, AWritableProgramFolderHoldsTheLibraryButABinFolderNever) {
  TempFolder top;
  ASSERT_TRUE(top.MakeDir(QStringLiteral("app")));
  ASSERT_TRUE(top.MakeDir(QStringLiteral("prefix/bin")));
  ASSERT_TRUE(top.MakeDir(QStringLiteral("bin.d")));
  EXPECT_TRUE(platform::ProgramFolderHoldsLibrary(top.File("app")));
  EXPECT_TRUE(platform::ProgramFolderHoldsLibrary(top.File("app/")));
  EXPECT_TRUE(platform::ProgramFolderHoldsLibrary(top.File("bin.d")));
  // Installed under a prefix, even a writable one like ~/.local or /tmp/x.
  EXPECT_FALSE(platform::ProgramFolderHoldsLibrary(top.File("prefix/bin")));
  EXPECT_FALSE(platform::ProgramFolderHoldsLibrary(top.File("prefix/bin/")));
  EXPECT_FALSE(platform::ProgramFolderHoldsLibrary(top.File("prefix/bin/../bin")));
  EXPECT_FALSE(platform::ProgramFolderHoldsLibrary(QString()));
  EXPECT_FALSE(platform::ProgramFolderHoldsLibrary(top.File("missing")));
  ASSERT_TRUE(top.Write(QStringLiteral("file"), "x"));
  EXPECT_FALSE(platform::ProgramFolderHoldsLibrary(top.File("file")));
}

TEST(ApplicationFolder, AReadOnlyProgramFolderDoesNotHoldTheLibrary) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into any folder";
  TempFolder top;
  ASSERT_TRUE(top.MakeDir(QStringLiteral("app")));
  ASSERT_TRUE(QFile::setPermissions(top.File("app"), QFile::ReadOwner | QFile::ExeOwner));
  EXPECT_FALSE(platform::ProgramFolderHoldsLibrary(top.File("app")));
  QFile::setPermissions(top.File("app"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// The test program sits in the build tree like build-release/app/velmo does.
TEST(ApplicationFolder, ABuildTreeProgramKeepsItsLibraryBesideItself) {
  platform::SetApplicationFolder(QString());
  EXPECT_EQ(platform::ApplicationFolder(), QCoreApplication::applicationDirPath());
  EXPECT_TRUE(platform::ApplicationFolderIsProgramFolder());
  TempFolder other;
  platform::SetApplicationFolder(other.Path());
  EXPECT_EQ(platform::ApplicationFolder(), other.Path());
  EXPECT_FALSE(platform::ApplicationFolderIsProgramFolder());
  platform::SetApplicationFolder(QString());
}
