// korvu-enc and the files it is given: a run never writes over a file it reads, keeps nothing
// when its files are not whole or a stop was asked for, and says why in one line.

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "tests/encoder/e2e_support.h"
#include "tests/support/temp_dir.h"

namespace korvu::enc::e2e {
namespace {

namespace fs = std::filesystem;
using testing::ElementsAre;

// Every file below `folder` with its bytes; links as what they point to.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string name = fs::relative(entry.path(), folder).string();
    if (entry.is_symlink())
      files[name] = "-> " + fs::read_symlink(entry.path()).string();
    else if (entry.is_regular_file())
      files[name] = test::ReadFile(entry.path().string());
  }
  return files;
}

void MakeClip(const test::TempDir& dir, const std::string& name = "clip.avi") {
  Ffmpeg(dir.path(),
         {"-f", "lavfi", "-i", "testsrc2=s=160x120:r=25:d=1", "-c:v", "mpeg4", "clip.avi"});
  if (name != "clip.avi") fs::rename(dir / "clip.avi", dir / name);
}

void PassOne(const test::TempDir& dir) {
  const RunResult result =
      RunProgram({Encoder(), "-npass", "1", "-br", "500", "-i", "clip.avi"}, dir.path());
  if (result.status != 0) throw std::runtime_error("pass 1 failed: " + result.err);
}

struct Overwrite {
  const char* name;
  void (*setup)(const test::TempDir&);
  std::vector<std::string> args;  // after the program's name
  const char* message;            // the whole line after "korvu-enc: "
};

void PrintTo(const Overwrite& c, std::ostream* os) {
  *os << c.name;
}

class OverwriteTest : public testing::TestWithParam<Overwrite> {};

TEST_P(OverwriteTest, IsRefusedBeforeAnythingIsWritten) {
  test::TempDir dir;
  GetParam().setup(dir);
  const auto before = Snapshot(dir.path());
  std::vector<std::string> args = {Encoder()};
  args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());

  const RunResult result = RunProgram(args, dir.path());

  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.ErrLines(), ElementsAre(std::string("korvu-enc: ") + GetParam().message));
  EXPECT_EQ(Snapshot(dir.path()), before);
}

#define PASS1 "-npass", "1", "-br", "500"
#define PASS2 "-npass", "2", "-br", "500"

// clang-format off
INSTANTIATE_TEST_SUITE_P(Runs, OverwriteTest, testing::Values(
    Overwrite{"StatisticsOnTheInput", [](const test::TempDir& d) { MakeClip(d); },
              {PASS1, "-sf", "clip.avi", "-i", "clip.avi"},
              "clip.avi: is the same file as the input clip.avi; give -sf another name"},
    Overwrite{"StatisticsOnTheInputByAnotherPath",
              [](const test::TempDir& d) { MakeClip(d); fs::create_directory(d / "sub"); },
              {PASS1, "-sf", "sub/../clip.avi", "-i", "./clip.avi"},
              "sub/../clip.avi: is the same file as the input ./clip.avi; give -sf another name"},
    Overwrite{"StatisticsOnASymbolicLinkToTheInput",
              [](const test::TempDir& d) { MakeClip(d); fs::create_symlink("clip.avi", d / "link.avi"); },
              {PASS1, "-sf", "link.avi", "-i", "clip.avi"},
              "link.avi: is the same file as the input clip.avi; give -sf another name"},
    Overwrite{"StatisticsOnAHardLinkToTheInput",
              [](const test::TempDir& d) { MakeClip(d); fs::create_hard_link(d / "clip.avi", d / "hard.avi"); },
              {PASS1, "-sf", "hard.avi", "-i", "clip.avi"},
              "hard.avi: is the same file as the input clip.avi; give -sf another name"},
    Overwrite{"SideFileOnTheInput", [](const test::TempDir& d) { MakeClip(d, "s.dat.mbtree"); },
              {PASS1, "-sf", "s.dat", "-i", "s.dat.mbtree"},
              "s.dat.mbtree: is the same file as the input s.dat.mbtree; give -sf another name"},
    Overwrite{"WorkingNameOnTheInput", [](const test::TempDir& d) { MakeClip(d, "s.dat.part"); },
              {PASS1, "-sf", "s.dat", "-i", "s.dat.part"},
              "s.dat.part: is the same file as the input s.dat.part; give -sf another name"},
    Overwrite{"OutputOnTheInputThroughALink",
              [](const test::TempDir& d) { MakeClip(d); PassOne(d); fs::create_symlink("clip.avi", d / "out.264"); },
              {PASS2, "-o", "out.264", "-i", "clip.avi"},
              "out.264: is the same file as the input clip.avi; give -o another name"},
    Overwrite{"OutputWorkingNameOnTheInput",
              [](const test::TempDir& d) { MakeClip(d); PassOne(d); fs::rename(d / "clip.avi", d / "out.264.part"); },
              {PASS2, "-o", "out.264", "-i", "out.264.part"},
              "out.264.part: is the same file as the input out.264.part; give -o another name"},
    Overwrite{"OutputOnTheStatistics", [](const test::TempDir& d) { MakeClip(d); PassOne(d); },
              {PASS2, "-o", "./divx264_stat.dat", "-i", "clip.avi"},
              "./divx264_stat.dat: is the same file as the statistics divx264_stat.dat; give -o "
              "another name"},
    Overwrite{"OutputOnTheSideFile", [](const test::TempDir& d) { MakeClip(d); PassOne(d); },
              {PASS2, "-o", "divx264_stat.dat.mbtree", "-i", "clip.avi"},
              "divx264_stat.dat.mbtree: is the same file as the side file "
              "divx264_stat.dat.mbtree; give -o another name"}),
    [](const testing::TestParamInfo<Overwrite>& info) { return info.param.name; });
// clang-format on

class FileSizeLimitTest : public testing::TestWithParam<const char*> {};

// Under a file size limit a byte below one of the two files, pass 1 fails with the limit as the
// reason and keeps nothing. The side file is the larger: its limit cuts the ends of both as x264
// closes them, unnoticed by x264; the other limit cuts them while x264 writes.
TEST_P(FileSizeLimitTest, FailsPassOneWithTheReason) {
  test::TempDir dir;
  Ffmpeg(dir.path(),
         {"-f", "lavfi", "-i", "testsrc2=s=320x240:r=25:d=2", "-c:v", "mpeg4", "clip.avi"});
  const std::vector<std::string> pass = {Encoder(), "-npass", "1", "-br", "500", "-i", "clip.avi"};
  std::vector<std::string> args = pass;
  args.insert(args.end(), {"-sf", "whole.dat"});
  ASSERT_EQ(RunProgram(args, dir.path()).status, 0);
  const std::map<std::string, uintmax_t> whole = {
      {"statistics", fs::file_size(dir / "whole.dat")},
      {"side file", fs::file_size(dir / "whole.dat.mbtree")}};
  ASSERT_GT(whole.at("side file"), whole.at("statistics"));

  args = {"prlimit", "--fsize=" + std::to_string(whole.at(GetParam()) - 1)};
  args.insert(args.end(), pass.begin(), pass.end());
  args.insert(args.end(), {"-sf", "s.dat"});
  const RunResult result = RunProgram(args, dir.path());

  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.ErrLines(),
              ElementsAre("korvu-enc: s.dat: cannot be written (File too large)"));
  EXPECT_EQ(test::Listing(dir.path()),
            (std::vector<std::string>{"clip.avi", "whole.dat", "whole.dat.mbtree"}));
}

INSTANTIATE_TEST_SUITE_P(Files, FileSizeLimitTest, testing::Values("side file", "statistics"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param) == "statistics" ? "Statistics"
                                                                          : "SideFile";
                         });

// The main thread of `pid` waits in read().
bool WaitsInRead(pid_t pid) {
  std::ifstream syscall("/proc/" + std::to_string(pid) + "/syscall");
  long number = -1;
  return syscall >> number && number == SYS_read;
}

bool SignalPending(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if ((line.starts_with("SigPnd:") || line.starts_with("ShdPnd:")) &&
        line.find_first_not_of("0\t ", 7) != std::string::npos)
      return true;
  return false;
}

template <typename Condition>
bool WaitUntil(Condition done) {
  for (int tries = 0; tries < 2000; ++tries) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

struct Stop {
  const char* name;
  int pass;
  int signal;
};

void PrintTo(const Stop& c, std::ostream* os) {
  *os << c.name;
}

class StopTest : public testing::TestWithParam<Stop> {};

// The clip comes through a pipe held open after its last frame: the encoder has every frame and
// waits for the end of the input when the signal comes. Then the pipe closes, and the run ends
// without another frame to read.
TEST_P(StopTest, AfterTheLastFrameKeepsNothing) {
  std::signal(SIGPIPE, SIG_IGN);
  test::TempDir dir;
  Ffmpeg(dir.path(), {"-f", "lavfi", "-i", "testsrc2=s=160x120:r=25:d=1", "clip.y4m"});
  if (GetParam().pass == 2) {
    const RunResult first =
        RunProgram({Encoder(), "-npass", "1", "-br", "500", "-i", "clip.y4m"}, dir.path());
    ASSERT_EQ(first.status, 0) << first.err;
  }
  const auto before = test::Listing(dir.path());
  ASSERT_EQ(mkfifo((dir / "pipe.y4m").c_str(), 0600), 0);
  const std::vector<std::string> args = {Encoder(),  "-npass", std::to_string(GetParam().pass),
                                         "-br",      "500",    "-i",
                                         "pipe.y4m", "-o",     "out.264"};
  RunningProgram encoder(args, dir.path());

  const int pipe = open((dir / "pipe.y4m").c_str(), O_WRONLY);
  ASSERT_GE(pipe, 0);
  const std::string clip = test::ReadFile(dir / "clip.y4m");
  for (size_t sent = 0; sent < clip.size();) {
    const ssize_t n = write(pipe, clip.data() + sent, clip.size() - sent);
    ASSERT_GT(n, 0) << "the encoder stopped reading";
    sent += static_cast<size_t>(n);
  }
  EXPECT_TRUE(WaitUntil([&] {
    int unread = -1;
    return ioctl(pipe, FIONREAD, &unread) == 0 && unread == 0 && WaitsInRead(encoder.Pid());
  }));
  // To the main thread itself: once the signal is no longer pending there, that thread has taken
  // it, and runs the handler before it can read on and see the end.
  syscall(SYS_tgkill, encoder.Pid(), encoder.Pid(), GetParam().signal);
  EXPECT_TRUE(WaitUntil([&] { return !SignalPending(encoder.Pid()); }));
  close(pipe);
  const RunResult result = encoder.Wait();

  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.ErrLines(),
              ElementsAre(std::string("korvu-enc: stopped: signal ") +
                          strsignal(GetParam().signal) + " came before the end; nothing was kept"));
  fs::remove(dir / "pipe.y4m");
  EXPECT_EQ(test::Listing(dir.path()), before);
}

INSTANTIATE_TEST_SUITE_P(Signals, StopTest,
                         testing::Values(Stop{"PassOneTerminated", 1, SIGTERM},
                                         Stop{"PassOneHungUp", 1, SIGHUP},
                                         Stop{"PassTwoInterrupted", 2, SIGINT}),
                         [](const testing::TestParamInfo<Stop>& info) { return info.param.name; });

}  // namespace
}  // namespace korvu::enc::e2e
