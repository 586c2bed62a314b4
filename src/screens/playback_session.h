// The playback of a recording (corrida rever ARQUIVO): the match again in the window, at its
// recorded pace and with its sound.
//
// P pauses and resumes; Left and Right jump kJumpMs back and forward; Home goes back to the start;
// Esc leaves. At the end of the recording the playback ends by itself. A file that cannot be read
// gets one console line and no window; one that is cut short or broken part way plays up to there
// and says so.
#pragma once

#include <cstdint>
#include <string>

constexpr int64_t kJumpMs = 5000;

// The program's exit status: 0 when the recording played (to its end or until Esc), 1 when it
// could not be read.
int runPlayback(const std::string& path);
