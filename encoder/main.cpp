// korvu-enc: the encoder back end. Encodes a video to a raw H.264 stream with libx264, one pass
// of a two-pass encode per run, on the command line that Korvu's job script writes.

#include <cstdio>
#include <exception>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "encoder/encode_pass.h"
#include "encoder/error.h"
#include "encoder/options.h"
#include "encoder/stop_signal.h"

// libx264 loses a few bytes when it refuses its settings; that is its affair, not a leak of ours,
// and not worth a report after the one line of the error. (Read by LeakSanitizer builds only.)
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libx264.so\n";
}
extern "C" const char* __lsan_default_options() {
  return "print_suppressions=0";
}

int main(int argc, char** argv) {
  using namespace korvu::enc;
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  try {
    if (args.empty()) {
      std::fputs(Usage().c_str(), stdout);
      return 1;
    }
    const Options options = ParseCommandLine(args);
    if (options.help) {
      std::fputs(Usage().c_str(), stdout);
      return 0;
    }
    CatchStopSignals();
    RunPass(options, stdout, isatty(STDOUT_FILENO));
    return 0;
  } catch (const Error& error) {
    std::fprintf(stderr, "korvu-enc: %s\n", error.what());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "korvu-enc: internal error: %s\n", error.what());
  }
  return 1;
}
