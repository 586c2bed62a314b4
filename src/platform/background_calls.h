// The graphics library's background thread, made to sleep between its calls.
//
// On Unix the library runs its background functions (the X11 input and output handler, and a
// sound driver's mixing when there is one) on a thread of its own, once every 10 ms. Its own thread
// wakes every millisecond to see whether 10 ms have passed: a thousand wake-ups a second while the
// game does nothing. useSleepingBackgroundThread() puts, in place of the library's background
// manager, one that keeps the same calls at the same 10 ms cadence (the same locking against the
// library's DISABLE/ENABLE, all signals blocked on the thread) but sleeps until each call is due.
// Call it before the library starts (startGraphics does); it holds until the process ends.
#pragma once

void useSleepingBackgroundThread();

// How many times the background thread has run the library's functions since the library
// started (for a test: it grows by about 100 a second).
long backgroundRounds();
