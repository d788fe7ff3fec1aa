#pragma once

namespace korvu::enc {

// Catches the signals that end a console program (interrupt, hang-up, terminate), so that a run
// can stop between frames and clean up its working files instead of dying half-way.
void CatchStopSignals();

// The signal that asked the run to stop, 0 while none has.
int StopSignal();

}  // namespace korvu::enc
