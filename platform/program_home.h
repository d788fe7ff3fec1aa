#pragma once

#include <string>

// Where the window keeps what the Windows program keeps beside itself: the default settings file,
// the job script and the working folder, in which relative names such as the statistics file land.
// The Linux window's question; Korvu.exe's home is its own folder.
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

// The home this process works in (posix/program_home.h tells how it is chosen): the user's folder
// is created when missing (each new folder 0700, as the XDG base directory rules ask) and becomes
// the current folder, when it is the user's own (FolderProblem). When it cannot be made or entered,
// or is not the user's own, nothing is written there: the program is its own home, and `problem`
// tells why.
ProgramHome EnterProgramHome(const std::string& executable);

}  // namespace korvu::platform
