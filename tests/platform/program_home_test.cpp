// Where the window keeps its settings, job script and working folder: beside itself where its user
// may write there, else in the user's data folder. Run as an ordinary user
// (tests/run-unprivileged), so that a folder without write permission really is one.
#include "platform/posix/program_home.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "tests/support/temp_dir.h"

namespace korvu::platform {
namespace {

namespace fs = std::filesystem;

struct ChoiceCase {
  std::string label;
  std::string executable;
  bool writable;
  const char* data_home;
  const char* home;
  ProgramHome expected;
};

TEST(ProgramHomeTest, ChoosesBesideTheProgramOrTheUsersDataFolder) {
  const std::string exe = "/usr/lib/korvu/Korvu";
  const ProgramHome own{exe, "", ""};
  const ChoiceCase cases[] = {
      {"writable", exe, true, "/d", "/h", own},
      {"data home", exe, false, "/d", "/h", {"/d/korvu/Korvu", exe, "/d/korvu"}},
      {"trailing slashes", exe, false, "/d//", "/h", {"/d/korvu/Korvu", exe, "/d/korvu"}},
      {"root as data home", exe, false, "/", "/h", {"/korvu/Korvu", exe, "/korvu"}},
      {"home",
       exe,
       false,
       nullptr,
       "/h/",
       {"/h/.local/share/korvu/Korvu", exe, "/h/.local/share/korvu"}},
      {"relative data home",
       exe,
       false,
       "d",
       "/h",
       {"/h/.local/share/korvu/Korvu", exe, "/h/.local/share/korvu"}},
      {"empty data home",
       exe,
       false,
       "",
       "/h",
       {"/h/.local/share/korvu/Korvu", exe, "/h/.local/share/korvu"}},
      {"relative home", exe, false, nullptr, "h", own},
      {"no home", exe, false, nullptr, nullptr, own},
      {"no executable", "", false, "/d", "/h", {"", "", ""}},
      {"the program's own name",
       "/opt/k/korvu-x",
       false,
       "/d",
       "/h",
       {"/d/korvu/korvu-x", "/opt/k/korvu-x", "/d/korvu"}},
  };
  for (const ChoiceCase& c : cases) {
    SCOPED_TRACE(c.label);
    const ProgramHome home = ChooseProgramHome(c.executable, c.writable, c.data_home, c.home);
    EXPECT_EQ(home.program_path, c.expected.program_path);
    EXPECT_EQ(home.fallback_program_path, c.expected.fallback_program_path);
    EXPECT_EQ(home.folder, c.expected.folder);
  }
}

// Only the user may write the folder; anyone may read it.
TEST(ProgramHomeTest, TheUsersFolderIsTheirsAlone) {
  const std::pair<struct stat, std::string> cases[] = {
      {{.st_mode = S_IFDIR | 0755, .st_uid = 7}, ""},
      {{.st_mode = S_IFDIR | 01703, .st_uid = 7}, "others may write into it (mode 1703)"},
      {{.st_mode = S_IFDIR | 0770, .st_uid = 7}, "its group may write into it (mode 0770)"},
      {{.st_mode = S_IFDIR | 0700, .st_uid = 0}, "it belongs to another user (uid 0)"},
      {{.st_mode = S_IFREG | 0700, .st_uid = 7}, "it is no folder"},
  };
  for (const auto& [info, problem] : cases) EXPECT_EQ(FolderProblem(info, 7), problem);
}

// Real folders: a program folder of the test's, the data home set for the test, and the current
// folder put back after each case.
class EnterProgramHomeTest : public testing::Test {
 protected:
  EnterProgramHomeTest() : start_(fs::current_path()) {
    const char* saved = std::getenv("XDG_DATA_HOME");
    if (saved != nullptr) saved_data_home_ = saved;
    setenv("XDG_DATA_HOME", (dir_ / "data").c_str(), 1);
    dir_.Write("lib/Korvu", "");
  }
  ~EnterProgramHomeTest() override {
    fs::current_path(start_);
    if (saved_data_home_)
      setenv("XDG_DATA_HOME", saved_data_home_->c_str(), 1);
    else
      unsetenv("XDG_DATA_HOME");
  }
  void LockProgramFolder() {
    fs::permissions(dir_.path() / "lib", fs::perms::owner_write, fs::perm_options::remove);
    ASSERT_NE(access((dir_ / "lib").c_str(), W_OK), 0) << "run as an ordinary user";
  }

  test::TempDir dir_;
  fs::path start_;
  std::optional<std::string> saved_data_home_;
};

TEST_F(EnterProgramHomeTest, AWritableProgramFolderChangesNothing) {
  const ProgramHome home = EnterProgramHome(dir_ / "lib/Korvu");
  EXPECT_EQ(home.program_path, dir_ / "lib/Korvu");
  EXPECT_TRUE(home.fallback_program_path.empty());
  EXPECT_TRUE(home.folder.empty());
  EXPECT_EQ(fs::current_path(), start_);
  EXPECT_FALSE(fs::exists(dir_.path() / "data"));
}

TEST_F(EnterProgramHomeTest, APackagesMarkedFolderIsLeftAloneThoughWritable) {
  dir_.Write("lib/system-install", "");
  const ProgramHome home = EnterProgramHome(dir_ / "lib/Korvu");
  EXPECT_EQ(home.program_path, dir_ / "data/korvu/Korvu");
  EXPECT_EQ(fs::current_path(), dir_.path() / "data/korvu");
}

TEST_F(EnterProgramHomeTest, ALockedOneWorksInTheUsersFolderMadePrivate) {
  LockProgramFolder();
  const ProgramHome home = EnterProgramHome(dir_ / "lib/Korvu");
  EXPECT_EQ(home.program_path, dir_ / "data/korvu/Korvu");
  EXPECT_EQ(home.fallback_program_path, dir_ / "lib/Korvu");
  EXPECT_EQ(fs::current_path(), dir_.path() / "data/korvu");
  for (const char* made : {"data", "data/korvu"}) {
    struct stat info;
    ASSERT_EQ(stat((dir_ / made).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u) << made;
  }
  // The second start finds the folder there, with what the user keeps in it.
  dir_.Write("data/korvu/Korvu.ini", "x");
  fs::current_path(start_);
  EXPECT_EQ(EnterProgramHome(dir_ / "lib/Korvu").folder, dir_ / "data/korvu");
  EXPECT_EQ(test::ReadFile(dir_ / "data/korvu/Korvu.ini"), "x");
  EXPECT_EQ(home.problem, "");
}

TEST_F(EnterProgramHomeTest, AnExistingDataHomeKeepsItsPermissions) {
  LockProgramFolder();
  fs::create_directory(dir_.path() / "data");
  fs::permissions(dir_.path() / "data", fs::perms(0755));
  EnterProgramHome(dir_ / "lib/Korvu");
  EXPECT_EQ(fs::status(dir_.path() / "data").permissions(), fs::perms(0755));
}

// Where the user's folder cannot be made, or others may write it (and plant links), nothing is
// written there and the program is its own home; the problem names the folder and what is wrong.
TEST_F(EnterProgramHomeTest, AFolderThatIsNotTheUsersOwnIsNotUsed) {
  LockProgramFolder();
  const std::string folder = dir_ / "data/korvu", lib = dir_ / "lib";
  const std::string then = ". Its settings and job script stay beside the program, in " + lib;
  dir_.Write("data", "a file where the folder belongs");
  EXPECT_EQ(
      EnterProgramHome(dir_ / "lib/Korvu").problem,
      "Korvu does not use its folder " + folder + ": it cannot be made (Not a directory)" + then);
  fs::remove(dir_.path() / "data");
  fs::create_directories(folder);
  fs::permissions(folder, fs::perms(0777));
  const ProgramHome home = EnterProgramHome(dir_ / "lib/Korvu");
  EXPECT_EQ(home.problem, "Korvu does not use its folder " + folder +
                              ": others may write into it (mode 0777)" + then);
  EXPECT_EQ(home.program_path, dir_ / "lib/Korvu");
  EXPECT_TRUE(home.fallback_program_path.empty() && home.folder.empty());
  EXPECT_EQ(fs::current_path(), start_);
}

}  // namespace
}  // namespace korvu::platform
