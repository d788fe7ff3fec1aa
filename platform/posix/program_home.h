#pragma once

#include <sys/stat.h>

#include <string>

#include "platform/program_home.h"

// How the Linux window chooses its home, apart from the system, for tests.
namespace korvu::platform {

// A program whose folder its user may write (a per-user install, a build tree) is its own home,
// as on Windows; its menu entry starts it in its folder. One whose folder its user may not write (a
// system-wide install) keeps its things in $XDG_DATA_HOME/korvu, by default ~/.local/share/korvu:
// besides the settings they are job scripts, statistics and relative outputs of any size, which
// are data rather than configuration. A relative XDG_DATA_HOME or HOME counts as unset; with
// neither, the program stays its own home. `data_home` and `home` are the variables' values.
ProgramHome ChooseProgramHome(const std::string& executable, bool folder_writable,
                              const char* data_home, const char* home);

// What keeps a folder from being the user's own, where nobody else can plant or change a file:
// "it is no folder", "it belongs to another user (uid N)", "others may write into it (mode 0777)",
// "its group may write into it (mode 0770)"; empty when it is the user's own. Others may read it.
std::string FolderProblem(const struct stat& info, uid_t user);

}  // namespace korvu::platform
