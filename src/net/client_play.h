// The window's life for a client that joined: the replaying thread (answer_replay.h), the fetching
// threads (frame_fetch.h), the key loop (client_keys.h) on the calling thread, and their ending.
#pragma once

#include <string>

#include "net/client_session.h"
#include "net/frame_fetch.h"
#include "net/server_objects.h"
#include "stream/recording_file.h"

struct PlayOutcome {
    std::string failure;         // the message of what ended the session; "" for Escape or a stop
    bool threadsFailed = false;  // a thread could not be started or joined
};

PlayOutcome play(ServerObjects& server, const Fetcher& self, const std::string& address,
                 FetchPlan plan, ClientRole role, RecordingWriter* recording);
