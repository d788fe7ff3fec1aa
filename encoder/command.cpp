// korvu-enc: the encoder back end. Encodes a video to a raw H.264 stream with libx264, one pass
// of a two-pass encode per run, on the command line that Korvu's job script writes.

#include "encoder/command.h"

#include <exception>
#include <string_view>

#include "encoder/console.h"
#include "encoder/encode_pass.h"
#include "encoder/error.h"
#include "encoder/options.h"
#include "encoder/stop_signal.h"

namespace korvu::enc {

int RunCommand(const std::vector<std::string>& arguments) {
  const std::vector<std::string_view> args(arguments.begin(), arguments.end());
  try {
    if (args.empty()) {
      WriteText(stdout, Usage());
      return 1;
    }
    const Options options = ParseCommandLine(args);
    if (options.help) {
      WriteText(stdout, Usage());
      return 0;
    }
    CatchStopSignals();
    RunPass(options, stdout, IsTerminal(stdout));
    return 0;
  } catch (const Error& error) {
    WriteText(stderr, std::string("korvu-enc: ") + error.what() + "\n");
  } catch (const std::exception& error) {
    WriteText(stderr, std::string("korvu-enc: internal error: ") + error.what() + "\n");
  }
  return 1;
}

}  // namespace korvu::enc
