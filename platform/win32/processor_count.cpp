#include "platform/processor_count.h"

#include <windows.h>

namespace korvu::platform {

int ProcessorCount() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwNumberOfProcessors < 1 ? 1 : static_cast<int>(info.dwNumberOfProcessors);
}

}  // namespace korvu::platform
