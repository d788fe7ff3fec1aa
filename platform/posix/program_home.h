#pragma once

#include <sys/stat.h>

#include <string>

// Where the window keeps what the Windows program keeps beside itself: the default settings file,
// the job script and the working folder, in which relative names such as the statistics file land.
namespace korvu::platform {

struct ProgramHome {
  // The path that names the default settings file and the job script (by ".ini" and ".bat"): the
  // executable itself, or its namesake in the user's folder.
  std::string program_path;
  // The executable, when program_path lies in the user's folder: its own settings file holds the
  // defaults until the user has saved some there. Empty otherwise.
  std::string fallback_program_path;
  // The folder to work in; empty when the program stays in the folder it was started in.
  std::string folder;
  // Why the user's folder is not used, naming it and the reason; empty when nothing went wrong.
  // The window says so once at start.
  std::string problem = {};
};

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

// ChooseProgramHome for this process: the user's folder is created when missing (each new folder
// 0700, as the XDG base directory rules ask) and becomes the current folder, when it is the user's
// own (FolderProblem). When it cannot be made or entered, or is not the user's own, nothing is
// written there: the program is its own home, and `problem` tells why.
ProgramHome EnterProgramHome(const std::string& executable);

}  // namespace korvu::platform
