#pragma once

#include <cstdint>
#include <string>

namespace korvu::platform {

// Keeps a job script to the one run that wrote it: while a run holds its script, another run of
// the same installation (a second Korvu started from the same folder) can neither rewrite the
// script nor start. The hold is taken before the script is written, sealed once it is written and
// released after the console has ended. The console holds it too, so that it lasts as long as the
// run: a Korvu killed during a run leaves it to its console, which lets go when it ends.
//
// POSIX: an exclusive flock on the script, opened (and created when missing) for the lock alone
// and never through a symbolic link; Seal makes it a shared one, and the console (korvu-cmd) takes
// a shared one of its own on the script it runs (Share). Another run's Take meets either. The lock
// is advisory: it keeps out other holders, not other programs.
//
// Windows: from Seal on, the script is held open for reading, sharing reading only: cmd's own open
// for reading succeeds, every open for writing or deleting (another run's creation among them)
// meets a sharing violation. The held handle is inheritable, and the console inherits it (see
// ExecAndWait), so that cmd and what it starts hold the script as well. Writing and holding cannot
// overlap on one file, so between Take and Seal a mutex named after the script's full path keeps
// other runs from writing it, and Take itself sees another run's hold by a sharing violation on an
// open for writing.
class ScriptHold {
 public:
  ScriptHold() = default;
  ~ScriptHold();  // releases
  ScriptHold(const ScriptHold&) = delete;
  ScriptHold& operator=(const ScriptHold&) = delete;

  // Takes the hold on the script at `path`, before it is written. False when another run holds it
  // (Windows: or any other program writes it). A hold that cannot be taken for another reason (a
  // missing folder, no access) is not taken and true is returned: writing the script meets the
  // same reason and reports it.
  [[nodiscard]] bool Take(const std::string& path);
  // Once the script is written: from here on it is only read. False when another program has
  // opened it for writing meanwhile (Windows); always true on POSIX.
  [[nodiscard]] bool Seal();
  // The console's share of the run's hold on the script at `path`, which it runs: kept until
  // Release or the process's end, and inherited by no program it starts. False when a run is
  // writing the script right now (POSIX); true without a hold where none can be had.
  [[nodiscard]] bool Share(const std::string& path);
  // Lets the script go; another run may take it then. Nothing happens without a hold.
  void Release();

 private:
  // POSIX: opens `path` and takes a lock of `kind` (LOCK_EX or LOCK_SH) without waiting.
  bool Lock(const std::string& path, int open_flags, int kind);

  std::string path_;
  std::intptr_t file_ = -1;                    // the held file
  [[maybe_unused]] std::intptr_t guard_ = -1;  // Windows: the mutex owned between Take and Seal
};

}  // namespace korvu::platform
