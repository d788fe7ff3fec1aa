#include "encoder/stop_signal.h"

#include <csignal>
#include <cstdlib>

#include <gtest/gtest.h>

#include "encoder/error.h"

namespace korvu::enc {
namespace {

// Exit codes of the child that makes the files final or not.
constexpr int kCommitted = 10;
constexpr int kRefused = 11;

// In a child of its own, since a stop signal cannot be taken back: catches the signals, raises
// `signal` (0: none), and tries to commit.
[[noreturn]] void CommitAfter(int signal) {
  CatchStopSignals();
  if (signal != 0) std::raise(signal);
  bool committed = false;
  try {
    CommitUnlessStopped([&] { committed = true; });
  } catch (const Error&) {
    std::_Exit(committed ? 0 : kRefused);
  }
  std::_Exit(committed ? kCommitted : 0);
}

class StopSignalTest : public testing::TestWithParam<int> {};

TEST_P(StopSignalTest, AStopBeforeTheCommitKeepsNothing) {
  EXPECT_EXIT(CommitAfter(GetParam()), testing::ExitedWithCode(kRefused), "");
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignalTest, testing::Values(SIGINT, SIGHUP, SIGTERM));

TEST(StopSignalTest, WithoutStopTheCommitHappens) {
  EXPECT_EXIT(CommitAfter(0), testing::ExitedWithCode(kCommitted), "");
}

// A write past the file size limit fails with a reason instead of killing the run.
TEST(StopSignalTest, TheFileSizeLimitSignalIsIgnored) {
  EXPECT_EXIT(
      {
        CatchStopSignals();
        std::raise(SIGXFSZ);
        std::_Exit(kCommitted);
      },
      testing::ExitedWithCode(kCommitted), "");
}

}  // namespace
}  // namespace korvu::enc
