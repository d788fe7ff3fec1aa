#pragma once

#include <functional>

namespace korvu::enc {

// Catches the signals that end a console program (interrupt, hang-up, terminate), so that a run
// can stop between frames and clean up its working files instead of dying half-way. Ignores the
// signal of the file size limit, so that a write past it fails with a reason instead of killing
// the run silently.
void CatchStopSignals();

// The signal that asked the run to stop, 0 while none has.
int StopSignal();

// Throws Error when a stop signal has come.
void ThrowIfStopped();

// Runs `commit`, the step that gives a run's files their names, unless a stop signal has come
// by then: a stop asked for before the end keeps nothing. Throws Error.
void CommitUnlessStopped(const std::function<void()>& commit);

}  // namespace korvu::enc
