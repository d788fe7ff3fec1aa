#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

#include "platform/posix/fd.h"

// The private folder of a console run in the temporary folder, which holds its status FIFO.
namespace korvu::platform {

// "korvu-run-", the process id of the run's owner, "-" and six letters or digits of mkdtemp's:
// whose folder it was is read from the name.
inline constexpr std::string_view kRunFolderPrefix = "korvu-run-";

// The owner's process id when `name` is a run folder's name, else 0.
pid_t RunFolderOwner(std::string_view name);

// Creates a new run folder of this process in `temp`, readable by its owner alone, and takes its
// lock: an exclusive flock on the folder, held through `lock` for as long as the folder is in use.
// Its path, or empty (with errno set) when it cannot be created.
std::string MakeRunFolder(const std::string& temp, Fd& lock);

// Removes what runs of ended processes left in `temp` (a killed Korvu's folder and FIFO): folders
// of a run folder's name, owned by this user, holding nothing but the FIFO "status", whose lock
// nobody holds. The lock, not the process id in the name, tells that the owner is gone: a process
// id means nothing to a run in another PID namespace (a container, a sandbox) that shares the
// temporary folder, and the lock is the same there. A symbolic link is never followed, and
// nothing else is touched.
void RemoveStaleRunFolders(const std::string& temp);

}  // namespace korvu::platform
