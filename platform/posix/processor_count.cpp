#include "platform/processor_count.h"

#include <unistd.h>

namespace korvu::platform {

int ProcessorCount() {
  const long count = sysconf(_SC_NPROCESSORS_ONLN);
  return count < 1 ? 1 : static_cast<int>(count);
}

}  // namespace korvu::platform
