// Ctrl+C (SIGINT) and SIGTERM as an orderly stop of the server mode.
//
// A server without a display cannot read Esc, so Ctrl+C is how its operator ends it. After
// catchStopSignals() the first such signal only raises a flag that the server's waits and race
// loop look at, so the server ends its stage, shuts its ORB down and returns to the console like
// after Esc; a second signal ends the process at once.
#pragma once

// Holds the two signals back in the calling thread and in every thread it starts from now on:
// they stay pending until catchStopSignals(). Call it first, so that a signal arriving while the
// graphics library has its own handlers installed (it aborts the process when the signal comes
// at the wrong moment) waits for ours instead, and lands in this thread, not in a library's.
void holdStopSignals();
// Installs the handler and lets the signals through to the calling thread; a flag already raised
// stays raised. Call again after anything that installs its own handlers (the graphics library
// does).
void catchStopSignals();
bool stopRequested();
// Raises the flag as the first signal does (Esc on the party's TV, corrida festa).
void requestStop();
// Back to the default handling, flag cleared (end of the server mode, and tests).
void releaseStopSignals();
