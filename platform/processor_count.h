#pragma once

namespace korvu::platform {

// The number of processors the system reports (POSIX: those online); at least 1.
int ProcessorCount();

}  // namespace korvu::platform
