// The client's replaying thread: it takes the server's answers in order, inflates them where the
// fetch is compressed, and carries out their pictures on the window each when it is due
// (picture_schedule.h): pictures that arrive together are shown as far apart as they were drawn.
//
// With a shown log, each picture shown adds one line "N FLUSH_MS SHOWN_MS": its number, when the
// server flushed it and when the window showed it, both on the monotonic clock (comparable when
// server and client run on one machine). The replay log (frame_replayer.h) has every picture
// carried out, shown or skipped.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "net/ordered_parts.h"
#include "stream/compressed_stream_reader.h"

class RecordingWriter;

// What F3 shows over the picture, besides what the replaying thread measures itself. Off until F3.
struct ClientFigures {
    std::atomic<bool> shown{false};
    std::atomic<int64_t> roundTripMs{-1};  // -1: not measured
};

struct ReplayOptions {
    std::string logPath;       // the replay log; "" for none
    std::string namesPath;     // the bound names at the end (frame_replayer.h); "" for none
    std::string shownLogPath;  // the shown log; "" for none
    RecordingWriter* recording = nullptr;
    Compression compression = Compression::None;  // how the answers come
    // Puts a picture the client lacks into the cache (stage_level_fetch.h); unset: nothing.
    std::function<bool(const std::string&)> fetchMissingPicture;
};

// Replays every answer until `keepGoing()` fails, or an answer cannot be read (then `fail` is
// called with the console message).
void replayAnswers(OrderedParts& parts, const std::function<bool()>& keepGoing,
                   const std::function<void(const std::string&)>& fail,
                   const ReplayOptions& options, const ClientFigures& figures);
