// How a client fetches the drawing the server records for it, decided once, when it joins.
//
// A server that offers takeFrames is asked with several calls in flight: each call waits at the
// server for the next whole picture, so on a long link there is always a call there to carry a
// picture away the moment it is flushed, and the picture arrives half a round trip later. The
// answers are numbered, and OrderedParts puts them back in order. A server that only has
// getInstructions (it answers BAD_OPERATION to takeFrames) is asked one batch per call, as
// always.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "corrida.hh"
#include "net/ordered_parts.h"
#include "net/reconnection.h"
#include "stream/compressed_stream_reader.h"

struct FetchPlan {
    bool framesFetch = false;
    // The frames fetch compressed: delta-packed and deflated (takePackedFrames) where the server
    // has it, else deflated (takeDeflatedFrames).
    Compression compression = Compression::None;
    int callsInFlight = 1;
    std::string firstAnswer;  // the frames answer the probe brought, possibly ""
    uint64_t firstPart = 0;   // a compressed first answer's part (0: nothing)
};

// How long a frames call may wait at the server for a picture.
constexpr CORBA::UShort kFramesHoldMs = 250;

// Calls to keep in flight on a link of `roundTripMs`: enough that one waits at the server for
// every picture (one each 34 ms), with room for jitter.
int callsInFlightFor(int64_t roundTripMs);

// Who fetches: the player number and, for a client that joined with a secret, the secret, which
// the fetches then carry instead of the number.
struct Fetcher {
    CORBA::UShort player = 0;
    std::string secret;  // "" for a classic join
};

// One frames call for `fetcher`, held up to `waitMs` at the server.
std::string takeFramesFor(FifoServer_ptr fifo, const Fetcher& fetcher, CORBA::UShort waitMs);
// One compressed frames call (Deflated or Packed); the answer's bytes, its part number in `part`
// (0: nothing).
std::string takeCompressedFor(FifoServer_ptr fifo, const Fetcher& fetcher, CORBA::UShort waitMs,
                              uint64_t& part, Compression compression);

// Probes the server with one takeFrames call that does not wait, unless `framesAllowed` is false.
// Throws the CORBA exceptions other than BAD_OPERATION (the server is gone, for instance).
// The probe's round trip sets how many calls to keep in flight.
FetchPlan planFetch(FifoServer_ptr fifo, const Fetcher& fetcher, bool framesAllowed);

// What became of an answer given to fileFramesAnswer.
enum class Filing { Filed, NoPartHeader, TooMuchWaiting };

// Files a frames answer in `parts` under its part number ("" files nothing).
Filing fileFramesAnswer(const std::string& answer, OrderedParts& parts);

// The console messages of a server whose answers a client refuses.
extern const char* const kInvalidAnswerMessage;
extern const char* const kTooMuchWaitingMessage;
extern const char* const kPlaceLostMessage;

using KeepGoing = std::function<bool()>;
// Receives the console message of the failure that ended a fetch loop.
using ReportFailure = std::function<void(const std::string& message)>;

// The fetch loops' connection: the server's FifoServer, this player and the naming service's
// address (for the failure messages).
struct FetchLink {
    FifoServer_ptr fifo;
    Fetcher fetcher;
    std::string address;
    // Where a lost connection is recovered (a client that joined with a secret); nullptr: a lost
    // connection ends the fetch.
    Reconnection* reconnection = nullptr;
};

// Files a frames answer as the fetch loops do; false, with the failure reported, when it is
// refused.
// Files a compressed answer under its part; false (reported) when it would pass the bounds.
bool fileDeflatedOrReport(uint64_t part, std::string bytes, OrderedParts& parts,
                          const ReportFailure& fail);
bool fileAnswerOrReport(const std::string& answer, OrderedParts& parts, const ReportFailure& fail);

// One frames call after another, filing each answer in `parts`, until keepGoing() fails or a call
// fails (reported; a lost connection is first recovered where the link allows); a call waits while
// the backlog is full. Run it on callsInFlight threads.
void fetchFrames(const FetchLink& link, OrderedParts& parts, const KeepGoing& keepGoing,
                 const ReportFailure& fail, Compression compression = Compression::None);

// One getInstructions call after another, numbering the batches as parts from `firstPart`; a short
// rest after an empty one, and a wait while the backlog is full. Run it on one thread.
void fetchClassic(const FetchLink& link, OrderedParts& parts, uint64_t firstPart,
                  const KeepGoing& keepGoing, const ReportFailure& fail);
