// The hold on a job script as two runs meet it on real files: the second is refused while the
// first holds the script, and the script stays as the first wrote it.
#include "platform/script_hold.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/output_file.h"
#include "tests/support/temp_dir.h"

namespace korvu::platform {
namespace {

// Writes `text` to `path` as the job script writer does.
int Write(const std::string& path, const std::string& text) {
  OutputFile file;
  if (const int code = file.Create(path)) return code;
  if (const int code = file.Write(text.data(), text.size())) return code;
  return file.Close();
}

class ScriptHoldTest : public testing::Test {
 protected:
  // A run's hold as RunEncode takes it: taken, the script written, sealed.
  void HoldAndWrite(ScriptHold& hold, const std::string& text) {
    ASSERT_TRUE(hold.Take(script_));
    ASSERT_EQ(Write(script_, text), 0);
    ASSERT_TRUE(hold.Seal());
  }

  test::TempDir dir_;
  const std::string script_ = dir_ / "Korvu.bat";
};

TEST_F(ScriptHoldTest, ASecondRunIsRefusedUntilTheFirstLetsGo) {
  ScriptHold first;
  HoldAndWrite(first, "first\r\n");
  for (int attempt = 0; attempt < 2; ++attempt) {
    ScriptHold second;
    EXPECT_FALSE(second.Take(script_)) << attempt;
  }
  EXPECT_EQ(test::ReadFile(script_), "first\r\n");

  first.Release();
  ScriptHold second;
  HoldAndWrite(second, "second\r\n");
  EXPECT_EQ(test::ReadFile(script_), "second\r\n");
}

TEST_F(ScriptHoldTest, AnEndedHolderLetsGo) {
  {
    ScriptHold first;
    HoldAndWrite(first, "first\r\n");
  }
  ScriptHold second;
  EXPECT_TRUE(second.Take(script_));
}

// Readers are not kept out: the interpreter reads the script while it is held.
TEST_F(ScriptHoldTest, TheHeldScriptCanBeRead) {
  ScriptHold hold;
  HoldAndWrite(hold, "@ECHO OFF\r\n");
  EXPECT_EQ(test::ReadFile(script_), "@ECHO OFF\r\n");
}

// Where no hold can be had, Take leaves the report to the script's writer.
TEST_F(ScriptHoldTest, NoHoldWhereNoFileCanBe) {
  ScriptHold hold;
  EXPECT_TRUE(hold.Take(dir_ / "missing/Korvu.bat"));
  EXPECT_TRUE(hold.Seal());
  EXPECT_FALSE(std::filesystem::exists(dir_ / "missing"));
  std::filesystem::create_directory(dir_ / "folder.bat");
  EXPECT_TRUE(hold.Take(dir_ / "folder.bat"));
  ScriptHold other;
  EXPECT_TRUE(other.Take(dir_ / "folder.bat"));
}

// The console's share: refused while a run writes the script, taken beside the sealed hold, and
// a hold of its own once the run's is gone (a Korvu killed during its run).
TEST_F(ScriptHoldTest, TheConsoleSharesTheHoldAndKeepsIt) {
  ScriptHold run;
  ASSERT_TRUE(run.Take(script_));
  ScriptHold console;
#ifndef _WIN32
  EXPECT_FALSE(console.Share(script_));  // Windows keeps writers out by the mutex instead
#endif
  ASSERT_EQ(Write(script_, "held\r\n"), 0);
  ASSERT_TRUE(run.Seal());
  EXPECT_TRUE(console.Share(script_));
  run.Release();
  ScriptHold second;
  EXPECT_FALSE(second.Take(script_));
  console.Release();
  EXPECT_TRUE(second.Take(script_));
}

#ifndef _WIN32
// Another process, as a second Korvu is: its Take's answer as its exit status (0 taken, 1 not).
int TakeInAnotherProcess(const std::string& script) {
  const pid_t child = fork();
  if (child == 0) {
    ScriptHold hold;
    _exit(hold.Take(script) ? 0 : 1);
  }
  int status = -1;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(ScriptHoldTest, AnotherProcessIsRefusedAndAKilledHolderLetsGo) {
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t holder = fork();
  if (holder == 0) {
    ScriptHold hold;
    const bool held = hold.Take(script_) && Write(script_, "held\r\n") == 0 && hold.Seal();
    if (write(ready[1], held ? "y" : "n", 1) != 1 || !held) _exit(1);
    pause();
    _exit(0);
  }
  close(ready[1]);
  char answer = 0;
  ASSERT_EQ(read(ready[0], &answer, 1), 1);
  close(ready[0]);
  ASSERT_EQ(answer, 'y');

  EXPECT_EQ(TakeInAnotherProcess(script_), 1);
  ScriptHold here;
  EXPECT_FALSE(here.Take(script_));
  EXPECT_EQ(test::ReadFile(script_), "held\r\n");

  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  EXPECT_EQ(TakeInAnotherProcess(script_), 0);
  EXPECT_TRUE(here.Take(script_));
}
#endif

}  // namespace
}  // namespace korvu::platform
