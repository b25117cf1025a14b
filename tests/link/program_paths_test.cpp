#include "link/program_paths.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>

namespace ulvo {
namespace {

namespace fs = std::filesystem;

// An absolute path on the host: "/a/b" here, "C:/a/b" on Windows.
fs::path Abs(const std::string& rest) {
#ifdef _WIN32
  return fs::path("C:/" + rest);
#else
  return fs::path("/" + rest);
#endif
}

struct Environment {
  std::map<std::string, std::string> values;
  EnvironmentLookup Lookup() const {
    return [this](const char* name) -> const char* {
      const auto it = values.find(name);
      return it == values.end() ? nullptr : it->second.c_str();
    };
  }
};

const fs::path kProgramDir = Abs("opt/ulvo");

TEST(ChooseProgramPaths, AWritableProgramDirectoryKeepsEverything) {
  const Environment env{
      {{"XDG_CONFIG_HOME", Abs("cfg").string()}, {"HOME", Abs("home/jan").string()}}};
  for (FolderStyle style : {FolderStyle::Xdg, FolderStyle::Windows}) {
    const ProgramPaths p = ChooseProgramPaths(kProgramDir, true, style, env.Lookup());
    EXPECT_EQ(p.configDir, kProgramDir);
    EXPECT_EQ(p.dataDir, kProgramDir);
    EXPECT_FALSE(p.userFolders);
  }
}

TEST(ChooseProgramPaths, ReadOnlyProgramDirectoryUsesTheXdgFolders) {
  struct Case {
    std::map<std::string, std::string> env;
    fs::path config, data;
  };
  const std::string home = Abs("home/jan").string();
  const Case cases[] = {
      // Only HOME: the defaults under it.
      {{{"HOME", home}},
       Abs("home/jan") / ".config" / "ulvo",
       Abs("home/jan") / ".local" / "share" / "ulvo"},
      // Both variables set.
      {{{"HOME", home},
        {"XDG_CONFIG_HOME", Abs("c").string()},
        {"XDG_DATA_HOME", Abs("d").string()}},
       Abs("c") / "ulvo",
       Abs("d") / "ulvo"},
      // Empty and relative values do not count.
      {{{"HOME", home}, {"XDG_CONFIG_HOME", ""}, {"XDG_DATA_HOME", "relative/share"}},
       Abs("home/jan") / ".config" / "ulvo",
       Abs("home/jan") / ".local" / "share" / "ulvo"},
      // No HOME, but both variables.
      {{{"XDG_CONFIG_HOME", Abs("c").string()}, {"XDG_DATA_HOME", Abs("d").string()}},
       Abs("c") / "ulvo",
       Abs("d") / "ulvo"},
  };
  for (const Case& c : cases) {
    const Environment env{c.env};
    const ProgramPaths p = ChooseProgramPaths(kProgramDir, false, FolderStyle::Xdg, env.Lookup());
    EXPECT_TRUE(p.userFolders);
    EXPECT_EQ(p.configDir, c.config);
    EXPECT_EQ(p.dataDir, c.data);
  }
}

TEST(ChooseProgramPaths, ReadOnlyProgramDirectoryUsesAppDataOnWindows) {
  const Environment both{{{"APPDATA", Abs("r").string()}, {"LOCALAPPDATA", Abs("l").string()}}};
  ProgramPaths p = ChooseProgramPaths(kProgramDir, false, FolderStyle::Windows, both.Lookup());
  EXPECT_EQ(p.configDir, Abs("r") / "ulvo");
  EXPECT_EQ(p.dataDir, Abs("l") / "ulvo");
  const Environment roamingOnly{{{"APPDATA", Abs("r").string()}}};
  p = ChooseProgramPaths(kProgramDir, false, FolderStyle::Windows, roamingOnly.Lookup());
  EXPECT_EQ(p.dataDir, Abs("r") / "ulvo");
}

TEST(ChooseProgramPaths, NoUsableEnvironmentStaysInTheProgramDirectory) {
  const Environment none;
  const Environment relativeHome{{{"HOME", "jan"}}};
  for (const Environment* env : {&none, &relativeHome}) {
    for (FolderStyle style : {FolderStyle::Xdg, FolderStyle::Windows}) {
      const ProgramPaths p = ChooseProgramPaths(kProgramDir, false, style, env->Lookup());
      EXPECT_FALSE(p.userFolders);
      EXPECT_EQ(p.configDir, kProgramDir);
    }
  }
}

TEST(SettingsFileToRead, WorkingDirectoryFirstThenTheConfigurationFolder) {
  const ProgramPaths own{kProgramDir, kProgramDir, false};
  const ProgramPaths user{Abs("c/ulvo"), Abs("d/ulvo"), true};
  const auto present = [](const fs::path&) { return true; };
  const auto absent = [](const fs::path&) { return false; };
  // The program's own directory in use: always the working directory's file, as before.
  EXPECT_EQ(SettingsFileToRead(own, present), fs::path("ustaw.txt"));
  EXPECT_EQ(SettingsFileToRead(own, absent), fs::path("ustaw.txt"));
  EXPECT_EQ(SettingsFileToRead(user, present), fs::path("ustaw.txt"));
  EXPECT_EQ(SettingsFileToRead(user, absent), Abs("c/ulvo") / "ustaw.txt");
}

TEST(FoldersNote, NamesTheFoldersInUse) {
  EXPECT_EQ(FoldersNote({kProgramDir, kProgramDir, false}),
            "Ustawienia i pliki programu: " + kProgramDir.string());
  EXPECT_EQ(FoldersNote({Abs("c/ulvo"), Abs("d/ulvo"), true}),
            "Ustawienia (ustaw.txt): " + Abs("c/ulvo").string() +
                "\nDziennik transmisji i pliki tymczasowe: " + Abs("d/ulvo").string());
}

class ProgramDirectoryOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("ulvo_paths_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
  }
  fs::path dir_;
};

TEST_F(ProgramDirectoryOnDisk, WritableDirectoryLeavesNoProbeBehind) {
  EXPECT_TRUE(DirectoryIsWritable(dir_));
  EXPECT_TRUE(fs::is_empty(dir_));
}

TEST_F(ProgramDirectoryOnDisk, MissingDirectoryOrFileIsNotWritable) {
  EXPECT_FALSE(DirectoryIsWritable(dir_ / "missing"));
  std::FILE* f = std::fopen((dir_ / "file").string().c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  EXPECT_FALSE(DirectoryIsWritable(dir_ / "file"));
}

#ifndef _WIN32
TEST_F(ProgramDirectoryOnDisk, SystemProgramDirectoriesAreNeverWritten) {
  EXPECT_FALSE(DirectoryIsWritable("/usr/bin"));
  EXPECT_FALSE(DirectoryIsWritable("/usr/local/bin/"));
}

TEST_F(ProgramDirectoryOnDisk, ReadOnlyDirectoryAnswersAsAWriteWould) {
  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
  // Root writes through the mode bits; anyone else cannot.
  std::FILE* f = std::fopen((dir_ / "x").string().c_str(), "wb");
  const bool writes = f != nullptr;
  if (f != nullptr) std::fclose(f);
  std::error_code ec;
  fs::remove(dir_ / "x", ec);
  EXPECT_EQ(DirectoryIsWritable(dir_), writes);
}
#endif

TEST_F(ProgramDirectoryOnDisk, MakeDirectoryCreatesParents) {
  EXPECT_FALSE(MakeDirectory(dir_ / "a" / "b"));
  EXPECT_TRUE(fs::is_directory(dir_ / "a" / "b"));
  EXPECT_FALSE(MakeDirectory(dir_ / "a" / "b"));  // already there
  std::FILE* f = std::fopen((dir_ / "plik").string().c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  EXPECT_TRUE(MakeDirectory(dir_ / "plik" / "c"));  // a file in the way
}

}  // namespace
}  // namespace ulvo
