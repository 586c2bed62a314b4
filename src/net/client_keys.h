// A client's key loop, on the session's main thread while the window is up: the player's keys
// (flip, pause, cheat) go to the server as they are pressed, F3 shows or hides the figures (with
// the round trip measured once a second while they show), and a spectator's keys change nothing
// in the match. It runs until the session ends (Escape, a stop signal or a failure).
#pragma once

#include <string>

#include "net/answer_replay.h"
#include "net/client_session.h"
#include "net/frame_fetch.h"
#include "net/server_objects.h"
#include "net/session_end.h"

void runKeyLoop(ServerObjects& server, const Fetcher& self, ClientRole role, SessionEnd& end,
                ClientFigures& figures, const std::string& address);
