#include "encoder/stop_signal.h"

#include "encoder/error.h"

namespace korvu::enc {

void ThrowIfStopped() {
  if (const std::string reason = StopReason(); !reason.empty())
    throw Error("stopped", reason + " came before the end; nothing was kept");
}

void CommitUnlessStopped(const std::function<void()>& commit) {
  ThrowIfStopped();
  commit();
}

}  // namespace korvu::enc
