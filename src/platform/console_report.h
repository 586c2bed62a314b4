// The console report: one line for the operator or the player on standard output, flushed at
// once, so that it reaches a pipe or a log before anything that follows (a crash, a kill, an exit).
#pragma once

#include <string>

// Prints `line` and a newline on standard output and flushes it.
void reportLine(const std::string& line);
