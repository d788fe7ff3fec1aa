// The console run's private folders in the temporary folder: their names, and which of them a
// later run removes.
#include "platform/posix/run_folder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace korvu::platform {
namespace {

namespace fs = std::filesystem;

// The id of a process that has ended.
pid_t EndedProcess() {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  return child;
}

TEST(RunFolderTest, TheOwnerIsReadFromTheName) {
  const std::pair<std::string, pid_t> cases[] = {
      {"korvu-run-1234-aB3xY9", 1234},
      {"korvu-run-2147483647-000000", 2147483647},
      {"korvu-run-2147483648-aB3xY9", 0},  // beyond any process id
      {"korvu-run-aB3xY9", 0},             // the name before process ids
      {"korvu-run-0123-aB3xY9", 0},
      {"korvu-run--aB3xY9", 0},
      {"korvu-run-1234-aB3xY", 0},
      {"korvu-run-1234-aB3xY90", 0},
      {"korvu-run-1234-aB3x.9", 0},
      {"korvu-run-1234_aB3xY9", 0},
      {"Korvu-run-1234-aB3xY9", 0},
      {"x-korvu-run-1234-aB3xY9", 0},
  };
  for (const auto& [name, owner] : cases) EXPECT_EQ(RunFolderOwner(name), owner) << name;
}

TEST(RunFolderTest, ANewFolderIsPrivateNamesThisProcessAndIsLocked) {
  const test::TempDir temp;
  Fd lock;
  const std::string folder = MakeRunFolder(temp.path().string(), lock);
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(RunFolderOwner(fs::path(folder).filename().string()), getpid()) << folder;
  struct stat info;
  ASSERT_EQ(stat(folder.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  RemoveStaleRunFolders(temp.path().string());
  EXPECT_TRUE(fs::exists(folder));
  lock = Fd();
  RemoveStaleRunFolders(temp.path().string());
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_TRUE(MakeRunFolder((temp.path() / "missing").string(), lock).empty());
  EXPECT_FALSE(lock);
}

// What runs of ended processes left goes; whatever else only resembles it stays untouched. A run's
// folder is told by its lock, not by the process id in its name, which may be another PID
// namespace's: a live-looking id without the lock goes, any id with it stays.
TEST(RunFolderTest, OnlyFoldersOfEndedRunsGo) {
  const test::TempDir temp;
  const std::string ended = "korvu-run-" + std::to_string(EndedProcess());
  const std::string alive = "korvu-run-" + std::to_string(getppid());
  const std::string target = temp.Write("elsewhere/keep", "");
  ASSERT_EQ(mkfifo((temp / "elsewhere/status").c_str(), 0600), 0);
  struct Entry {
    std::string name;
    const char* kind;  // "fifo" a folder with the FIFO, "empty" a folder, "more" a folder with the
                       // FIFO and a file, "plain" a folder with a plain "status", "file", "link",
                       // "locked" a folder with the FIFO whose lock a run holds
    bool stays;
  };
  const Entry entries[] = {
      {ended + "-aB3xY9", "fifo", false},
      {ended + "-000000", "empty", false},
      {alive + "-aB3xY9", "fifo", false},
      {alive + "-lock00", "locked", true},
      {ended + "-lock00", "locked", true},
      {"korvu-run-" + std::to_string(getpid()) + "-aB3xY9", "locked", true},
      {ended + "-more00", "more", true},
      {ended + "-plain0", "plain", true},
      {ended + "-file00", "file", true},
      {ended + "-link00", "link", true},
      {"korvu-run-aB3xY9", "fifo", true},
      {ended + "-aB3xY", "fifo", true},
      {"other-" + ended + "-aB3xY9", "fifo", true},
  };
  std::vector<std::string> staying = {"elsewhere"};
  std::vector<Fd> locks;
  for (const Entry& entry : entries) {
    const fs::path path = temp.path() / entry.name;
    const std::string kind = entry.kind;
    if (kind == "file") temp.Write(entry.name, "x");
    if (kind == "link") fs::create_directory_symlink(temp.path() / "elsewhere", path);
    if (kind == "fifo" || kind == "empty" || kind == "more" || kind == "plain" || kind == "locked")
      fs::create_directory(path);
    if (kind == "fifo" || kind == "more" || kind == "locked") {
      ASSERT_EQ(mkfifo((path / "status").c_str(), 0600), 0);
    }
    if (kind == "locked") {
      // Another open of the folder is another holder, also within this process.
      locks.emplace_back(open(path.c_str(), O_RDONLY | O_DIRECTORY));
      ASSERT_EQ(flock(locks.back().Get(), LOCK_EX), 0);
    }
    if (kind == "more") temp.Write(entry.name + "/notes", "x");
    if (kind == "plain") temp.Write(entry.name + "/status", "x");
    if (entry.stays) staying.push_back(entry.name);
  }
  std::ranges::sort(staying);

  RemoveStaleRunFolders(temp.path().string());
  EXPECT_EQ(test::Listing(temp.path()), staying);
  EXPECT_EQ(test::Listing(temp.path() / (ended + "-more00")),
            (std::vector<std::string>{"notes", "status"}));
  EXPECT_EQ(test::Listing(temp.path() / "elsewhere"), (std::vector<std::string>{"keep", "status"}));
}

// Another user's folder of an ended run is not ours to remove (root can give one away).
TEST(RunFolderTest, AnotherUsersFolderStays) {
  if (geteuid() != 0) GTEST_SKIP() << "only root can make a folder of another user's";
  const test::TempDir temp;
  const std::string name = "korvu-run-" + std::to_string(EndedProcess()) + "-aB3xY9";
  fs::create_directory(temp.path() / name);
  ASSERT_EQ(chown((temp.path() / name).c_str(), 65534, 65534), 0);
  RemoveStaleRunFolders(temp.path().string());
  EXPECT_EQ(test::Listing(temp.path()), std::vector<std::string>{name});
}

}  // namespace
}  // namespace korvu::platform
