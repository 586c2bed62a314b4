// The X input round of the graphics library's background thread, without a round trip to the X
// server when no event has arrived.
//
// Every 10 ms the library's background thread reads the window's X events (keys, focus, exposure,
// the close button). Its reader starts with XSync, a round trip to the server, whether or not
// anything arrived: a hundred round trips a second while nobody presses anything, about half of
// what that thread cost. readInputOnlyWhenPending() puts a hook of the library's in its
// place that first sends what Xlib holds and reads what the server has already sent, without
// waiting for an answer (XPending), and runs the library's own reader only when an event waits.
// Drawing requests still leave every round, and an event is still handled in the round it
// arrives in. Call it once the window is open (startGraphics does).
#pragma once

void readInputOnlyWhenPending();
// Gives the library its own reader back (before it stops).
void readInputEveryRound();
