#pragma once

#include <functional>
#include <string>

namespace korvu::enc {

// Catches what ends a console program (on POSIX the interrupt, hang-up and terminate signals; on
// Windows Ctrl+C, Ctrl+Break and the console's closing), so that a run can stop between frames
// and clean up its working files instead of dying half-way. On POSIX it also ignores the signal
// of the file size limit, so that a write past it fails with a reason instead of killing the run.
void CatchStopSignals();

// What asked the run to stop ("signal Interrupt", "Ctrl+C"), empty while nothing has.
std::string StopReason();

// Throws Error when a stop has come.
void ThrowIfStopped();

// Runs `commit`, the step that gives a run's files their names, unless a stop has come by then:
// a stop asked for before the end keeps nothing. Throws Error.
void CommitUnlessStopped(const std::function<void()>& commit);

}  // namespace korvu::enc
