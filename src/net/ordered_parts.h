// OrderedParts: the answers that several fetching threads receive at once, handed to the one
// replaying thread in the order the server numbered them ("part N"), whatever order they arrive.
// Each answer keeps the time it arrived, from which the replaying side paces its pictures.
//
// Two kinds of bound:
// - Back-pressure. The answers ready to be handed out (the awaited part and those that follow it
//   without a gap) are the client's backlog: while it is full, awaitRoom() holds the fetching
//   threads, so a client fetches no faster than it shows, however fast the server answers.
// - Refusal, for what no real server sends: a part further ahead of the awaited one than any
//   backlog and calls in flight explain, or more bytes than they could ever hold. put() then files
//   nothing and the server is not to be trusted further.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>

// How far ahead of the awaited part an answer may be: far more than the calls ever in flight.
constexpr size_t kMaxPartsWaiting = 256;
// The bytes that may wait: the backlog and every call in flight at its largest, many times over.
constexpr size_t kMaxBytesWaiting = 32u << 20;
// The backlog: ready answers that hold the fetching threads back.
constexpr size_t kBacklogParts = 4;
constexpr size_t kBacklogBytes = 4u << 20;

class OrderedParts {
  public:
    struct Answer {
        std::string body;
        int64_t arrivedMs = 0;     // clockMs() when it was filed
        bool opensStream = false;  // the first since the start or the last restartAt
    };

    explicit OrderedParts(uint64_t firstPart = 1, size_t maxParts = kMaxPartsWaiting,
                          size_t maxBytes = kMaxBytesWaiting)
        : expected(firstPart), freshFrom(firstPart), maxParts(maxParts), maxBytes(maxBytes) {}

    // Files answer `part`, arrived now. A part already handed out (or a repeat) is dropped. False
    // when the part is beyond any backlog or its bytes would pass the bound: then nothing is filed.
    bool put(uint64_t part, std::string body);
    // Holds a fetching thread while the backlog is full and `keepGoing()` says so.
    void awaitRoom(const std::function<bool()>& keepGoing);

    // The next answer in order; waits for it up to `waitMs` (forever when negative) while
    // `keepGoing()` says so, and gives nothing when it does not come in that time.
    std::optional<Answer> take(const std::function<bool()>& keepGoing, int64_t waitMs = -1);
    // The next answer's body, waiting for it while `keepGoing()` says so.
    std::optional<std::string> next(const std::function<bool()>& keepGoing);

    // From now on the answers go on from `part`: what waits is dropped, and so is every answer
    // numbered below it that comes later (a connection was recovered: see reconnection.h).
    void restartAt(uint64_t part);
    // Makes every waiting thread look at its keepGoing() again now.
    void wake();

  private:
    bool backlogFull() const;

    std::mutex lock;
    std::condition_variable arrived;
    std::condition_variable roomMade;
    std::map<uint64_t, Answer> waiting;
    size_t bytesWaiting = 0;
    uint64_t expected;
    uint64_t freshFrom;
    const size_t maxParts;
    const size_t maxBytes;
};
