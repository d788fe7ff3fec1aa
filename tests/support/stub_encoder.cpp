// korvu-stub-encoder: stands in for the encoder in tests of the job script and its console.
//
// Every call appends a record to the file named by KORVU_STUB_RECORD: "call N\n" for N arguments
// (argv[0] included), then each argument as "<byte count> <bytes>\n", byte for byte.
// How it ends: for "-npass P" among its arguments, KORVU_STUB_PASS<P>, else KORVU_STUB_END, holds
// either an exit code or "signal S" (it kills itself with signal S); without either it exits 0.
// With KORVU_STUB_WAIT_FOR set, it first waits until that file exists.

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

void Record(int argc, char** argv) {
  const char* record = std::getenv("KORVU_STUB_RECORD");
  if (record == nullptr) return;
  std::ofstream out(record, std::ios::binary | std::ios::app);
  out << "call " << argc << '\n';
  for (int i = 0; i < argc; ++i) out << std::strlen(argv[i]) << ' ' << argv[i] << '\n';
}

std::string PassOf(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "-npass") == 0) return argv[i + 1];
  return {};
}

void WaitForRelease() {
  const char* release = std::getenv("KORVU_STUB_WAIT_FOR");
  while (release != nullptr && access(release, F_OK) != 0) usleep(20000);
}

int End(const std::string& pass) {
  const char* how = std::getenv(("KORVU_STUB_PASS" + pass).c_str());
  if (pass.empty() || how == nullptr) how = std::getenv("KORVU_STUB_END");
  if (how == nullptr) return 0;
  if (std::strncmp(how, "signal ", 7) == 0) {
    const int signal_number = std::atoi(how + 7);
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
  }
  return std::atoi(how);
}

}  // namespace

int main(int argc, char** argv) {
  Record(argc, argv);
  const std::string pass = PassOf(argc, argv);
  std::printf("stub encoder: pass %s\n", pass.empty() ? "-" : pass.c_str());
  std::fflush(stdout);
  WaitForRelease();
  return End(pass);
}
