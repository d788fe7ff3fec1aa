#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/exec_and_wait.h"

namespace korvu::platform {

// ExecAndWait for a thread that owns windows: while the process runs, `pump` is called whenever
// messages arrive for the calling thread (MsgWaitForMultipleObjects), so that its windows keep
// painting and answering the system. Windows only.
[[nodiscard]] ExecResult ExecAndWaitPumped(const std::string& command_line, std::uint16_t show_mode,
                                           const std::function<void()>& pump);

}  // namespace korvu::platform
